// Small helpers that the Windows tests and the end-to-end scenarios both use
// to prepare and inspect the machine and its screen.
#pragma once
#include <windows.h>
// These need windows.h first.
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/install_record.h"
#include "product/config.h"

// The Windows form of a path of the Linux side, through drive Z:.
inline std::string linuxPath(const std::string& path)
{
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

// The files (or, with folders, the subfolders not beginning with a dot) of a
// folder, sorted by name.
inline std::vector<std::string> entriesIn(const std::string& folder, bool folders = false)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == folders && entry.cFileName[0] != '.') {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// A file's or folder's access list in SDDL, or the empty text.
inline std::string accessListOf(const std::string& path)
{
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    char* text = nullptr;
    std::string result;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                              nullptr, &descriptor) == ERROR_SUCCESS &&
        ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        result = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return result;
}

// The shipped setup is 32-bit: its machine keys are those of the 32-bit
// view, and so are the ones the tests prepare and check. The current user's
// keys have one view only.
inline REGSAM registryView(HKEY root) { return root == HKEY_CURRENT_USER ? 0 : KEY_WOW64_32KEY; }

// A REG_SZ value with its NUL, the key created as needed; false when the key
// cannot be created.
inline bool setRegistryText(HKEY root, const char* key, const char* name, const char* text)
{
    HKEY opened;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS | registryView(root), nullptr, &opened, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(lstrlenA(text) + 1));
    RegCloseKey(opened);
    return true;
}

// A folder item's bytes at the path in the product's install record, as a
// value of the given type (the setup writes REG_BINARY); false when the
// record cannot be created or written.
inline bool writeFolderItem(const std::string& path, DWORD type)
{
    const std::string recordKey =
        std::string(publisherKey) + "\\" + installRecordFolderKey + "\\" + installConfig.productName;
    const std::wstring widePath(path.begin(), path.end());
    uint8_t item[RECORD_ITEM_BYTES];
    encodeRecordItem({RECORD_FOLDER, 0, 0}, item);
    HKEY record;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, recordKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                        &record, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool written = RegSetValueExW(record, widePath.c_str(), 0, type, item, sizeof item) == ERROR_SUCCESS;
    RegCloseKey(record);
    return written;
}

// What draw paints on a width x height 32-bit picture compatible with the
// given device context: top-down rows of 0x00RRGGBB pixels, or nothing when
// the picture cannot be made.
inline std::vector<uint32_t> drawnPixels(HDC compatible, int width, int height, const std::function<void(HDC)>& draw)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(compatible, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return {};
    }
    HDC memory = CreateCompatibleDC(compatible);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> pixels(first, first + static_cast<size_t>(width) * height);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

inline COLORREF pixelColor(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

inline void deleteRegistryTree(HKEY root, const char* key, REGSAM view)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS | view, &opened) == ERROR_SUCCESS) {
        char child[256];
        DWORD length = sizeof child;
        while (RegEnumKeyExA(opened, 0, child, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            deleteRegistryTree(opened, child, view);
            length = sizeof child;
        }
        RegCloseKey(opened);
    }
    RegDeleteKeyExA(root, key, view, 0);
}

inline void deleteRegistryTree(HKEY root, const char* key) { deleteRegistryTree(root, key, registryView(root)); }
