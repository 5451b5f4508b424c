#include "engine/install_files.h"

#include <cstring>

#include "engine/decode_to_file.h"
#include "engine/portable/install_rules.h"
#include "engine/portable/paths.h"
#include "pages/progress.h"
#include "resource.h"
#include "shell/wizard.h"

namespace {
constexpr DWORD SEQUENTIAL_NORMAL = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;
constexpr char createFailedText[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
constexpr char writeFailedText[] = "Unable to write destination file!\r\nInstallation will now be aborted.";
constexpr char damagedText[] = "Installation data is damaged!\r\nInstallation will now be aborted.";

int abortInstallation(HWND page, const char* text)
{
    MessageBoxA(page, text, setupTitle, MB_ICONERROR);
    return -1;
}

// The fixed stamp is local time; files carry it as UTC.
FILETIME fileStampUtc()
{
    SYSTEMTIME stamp;
    static_assert(sizeof stamp == sizeof installConfig.fileStamp, "the stamp has the layout of SYSTEMTIME");
    std::memcpy(&stamp, &installConfig.fileStamp, sizeof stamp);
    FILETIME local = {};
    FILETIME utc = {};
    SystemTimeToFileTime(&stamp, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

// The row's packed stream, or null when its resource is missing or its size
// is not the row's packedSize.
const uint8_t* packedStream(const PayloadEntry& row)
{
    HRSRC resource = FindResourceA(programInstance, row.resourceName, MAKEINTRESOURCEA(10));
    if (resource == nullptr || SizeofResource(programInstance, resource) != row.packedSize) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(programInstance, resource);
    return loaded == nullptr ? nullptr : static_cast<const uint8_t*>(LockResource(loaded));
}

// Writes one row's file; the text of the error to show, or null.
const char* writeRow(HWND page, const PayloadEntry& row, const char* target, const FILETIME& stamp)
{
    const uint8_t* packed = packedStream(row);
    if (packed == nullptr) {
        return damagedText;
    }
    // A read-only file of an earlier installation is replaced like any other:
    // creating over it would fail and end the setup at every attempt.
    SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL);
    HANDLE file =
        CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, SEQUENTIAL_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return createFailedText;
    }
    const bool written = decodeToFile(page, packed, row.packedSize, row.unpackedSize, file);
    if (written) {
        SetFileTime(file, &stamp, &stamp, &stamp);
    }
    CloseHandle(file);
    return written ? nullptr : writeFailedText;
}
} // namespace

int installFiles(HWND page) { return installRows(page, installConfig.files, installConfig.fileCount); }

int installRows(HWND page, const PayloadEntry* rows, int count)
{
    if (pathExists(installPaths.installDir)) {
        clearOldInstall(installPaths.installDir);
    } else {
        createFolderPath(installPaths.installDir);
    }
    const FILETIME stamp = fileStampUtc();
    for (int i = 0; i < count; ++i) {
        progressTotal += rows[i].unpackedSize;
    }
    setDlgItemNumber(page, IDC_TOTAL_SIZE, progressTotal);
    setDlgItemNumber(page, IDC_TOTAL_FILES, static_cast<uint32_t>(count));

    for (int i = 0; i < count; ++i) {
        const PayloadEntry& row = rows[i];
        const char* folder = (row.flags & FILE_IN_WINDOWS_DIR) ? installPaths.windowsDir : installPaths.installDir;
        char target[MAX_PATH];
        const bool fits = joinPath(target, sizeof target, folder, row.fileName, 0);
        SetDlgItemTextA(page, IDC_EXTRACTING, target);
        setDlgItemNumber(page, IDC_CURRENT_FILE, static_cast<uint32_t>(i + 1));
        pumpMessagesFor(page, 500);
        // A path too long for its buffer is a destination that cannot be created.
        if (!fits) {
            return abortInstallation(page, createFailedText);
        }
        if (!shouldWriteFile(target, row)) {
            addProgress(page, row.unpackedSize);
            continue;
        }
        if (const char* failure = writeRow(page, row, target, stamp)) {
            return abortInstallation(page, failure);
        }
    }
    return 1;
}

bool pathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void createFolderPath(const char* path)
{
    char buffer[256];
    if (std::strlen(path) >= sizeof buffer) {
        return;
    }
    std::strcpy(buffer, path);
    const int levels = cutFolderLevels(buffer);
    for (int level = 0; level < levels; ++level) {
        CreateDirectoryA(buffer, nullptr); // a level that exists already just fails
        if (level + 1 < levels) {
            buffer[std::strlen(buffer)] = '\\';
        }
    }
}

void clearOldInstall(const char* folder)
{
    char pattern[MAX_PATH];
    if (!joinPath(pattern, sizeof pattern, folder, "*.*", 0)) {
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link may lead out of the install folder: leave it and what it leads to.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || (isFolder && entry.cFileName[0] == '.')) {
            continue;
        }
        char path[MAX_PATH];
        if (!joinPath(path, sizeof path, folder, entry.cFileName, 0)) {
            continue;
        }
        if (isFolder) {
            clearOldInstall(path);
        } else if (shouldDeleteOnClear(entry.cFileName)) {
            SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL); // so that a read-only file can go
            DeleteFileA(path);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

bool shouldDeleteOnClear(const char* name)
{
    return !hasPreservedExtension(name, preservedExtensions, PRESERVED_EXTENSION_COUNT);
}

bool shouldWriteFile(const char* target, const PayloadEntry& row)
{
    if (row.flags & FILE_OVERWRITE) {
        return true;
    }
    HANDLE existing =
        CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, SEQUENTIAL_NORMAL, nullptr);
    if (existing == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(existing);
    return false;
}
