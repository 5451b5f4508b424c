// The machine after a run: files and their times, registry values, shortcuts.
#include "../shared/machine_helpers.h"
#include "driver.h"
#include "e2e.h"

#include <shlobj.h>

#include <cstdio>
#include <map>

namespace {
void collectFiles(const std::string& folder, std::map<std::string, std::string>& files)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files[path + "\\"] = "folder";
            collectFiles(path, files);
        } else {
            unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
            files[path] = std::to_string(size) + " bytes, written " + describeFileTime(found.ftLastWriteTime);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string registryData(DWORD type, const std::vector<BYTE>& data, DWORD size)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::string text(reinterpret_cast<const char*>(data.data()), size);
        return std::string(type == REG_SZ ? "REG_SZ" : "REG_EXPAND_SZ") + " \"" + text.c_str() + "\" (" +
               std::to_string(size) + " bytes)";
    }
    if (type == REG_DWORD && size == 4) {
        DWORD value;
        memcpy(&value, data.data(), 4);
        return "REG_DWORD " + std::to_string(value);
    }
    return "type " + std::to_string(type) + ", " + std::to_string(size) + " bytes";
}
} // namespace

bool readFile(const std::string& path, std::string& contents)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    contents.clear();
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.append(buffer, count);
    }
    bool complete = !ferror(file);
    fclose(file);
    return complete;
}

bool readFileTimes(const std::string& path, FileTimes& times)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool read = GetFileTime(file, &times.created, &times.accessed, &times.written);
    CloseHandle(file);
    return read;
}

std::string describeFileTime(const FILETIME& time)
{
    FILETIME local;
    SYSTEMTIME parts;
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts)) {
        return "(no time)";
    }
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
             parts.wMinute, parts.wSecond);
    return text;
}

bool readRegistryString(HKEY root, const char* key, const char* valueName, std::string& data)
{
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_READ | registryView(root), &opened) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = 0;
    bool found = RegQueryValueExA(opened, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                 type == REG_SZ;
    if (found) {
        std::vector<BYTE> bytes(size + 1, 0);
        found = RegQueryValueExA(opened, valueName, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS;
        data.assign(reinterpret_cast<const char*>(bytes.data()));
    }
    RegCloseKey(opened);
    return found;
}

bool readShortcut(const std::string& path, ShortcutSeen& shortcut)
{
    bool read = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring widePath(path.begin(), path.end());
            if (SUCCEEDED(file->Load(widePath.c_str(), STGM_READ))) {
                char text[MAX_PATH * 2] = "";
                link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
                shortcut.target = text;
                text[0] = '\0';
                link->GetArguments(text, sizeof text);
                shortcut.arguments = text;
                text[0] = '\0';
                link->GetWorkingDirectory(text, sizeof text);
                shortcut.workingFolder = text;
                text[0] = '\0';
                link->GetDescription(text, sizeof text);
                shortcut.description = text;
                text[0] = '\0';
                shortcut.iconIndex = 0;
                link->GetIconLocation(text, sizeof text, &shortcut.iconIndex);
                shortcut.iconPath = text;
                read = true;
            }
            file->Release();
        }
        link->Release();
    }
    return read;
}

FileSnapshot snapshotDriveC()
{
    std::map<std::string, std::string> files;
    collectFiles("C:", files);
    return FileSnapshot{{files.begin(), files.end()}};
}

std::vector<FileChange> changedFiles(const FileSnapshot& before, const FileSnapshot& after)
{
    std::map<std::string, std::string> earlier(before.entries.begin(), before.entries.end());
    std::map<std::string, std::string> later(after.entries.begin(), after.entries.end());
    std::vector<FileChange> changes;
    for (const auto& [path, state] : later) {
        auto old = earlier.find(path);
        if (old == earlier.end()) {
            changes.push_back({"added", path, state});
        } else if (old->second != state) {
            changes.push_back({"changed", path, state});
        }
    }
    for (const auto& [path, state] : earlier) {
        if (!later.count(path)) {
            changes.push_back({"removed", path, state});
        }
    }
    return changes;
}

void reportFileChanges(const FileSnapshot& before)
{
    std::vector<FileChange> changes = changedFiles(before, snapshotDriveC());
    reportLine("files on drive C: that the run added, changed or removed: %lu",
               static_cast<unsigned long>(changes.size()));
    CoInitialize(nullptr);
    for (const FileChange& change : changes) {
        reportLine("  %-7s %s  %s", change.kind.c_str(), change.path.c_str(), change.state.c_str());
        FileTimes times;
        if (change.kind != "removed" && change.path.back() != '\\' && readFileTimes(change.path, times)) {
            reportLine("      created %s, accessed %s, written %s", describeFileTime(times.created).c_str(),
                       describeFileTime(times.accessed).c_str(), describeFileTime(times.written).c_str());
        }
        ShortcutSeen shortcut;
        if (change.kind != "removed" && change.path.size() > 4 &&
            _stricmp(change.path.c_str() + change.path.size() - 4, ".lnk") == 0 && readShortcut(change.path, shortcut)) {
            reportLine("      shortcut to \"%s\" arguments \"%s\" in \"%s\", icon \"%s\",%d, description \"%s\"",
                       shortcut.target.c_str(), shortcut.arguments.c_str(), shortcut.workingFolder.c_str(),
                       shortcut.iconPath.c_str(), shortcut.iconIndex, shortcut.description.c_str());
        }
    }
    CoUninitialize();
}

std::vector<std::string> registryListing(HKEY root, const std::string& key)
{
    const char* rootName = root == HKEY_LOCAL_MACHINE ? "HKLM" : root == HKEY_CURRENT_USER ? "HKCU" : "HK?";
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | registryView(root), &opened) != ERROR_SUCCESS) {
        return {std::string(rootName) + "\\" + key + ": absent"};
    }
    std::vector<std::string> lines = {std::string(rootName) + "\\" + key};
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        DWORD type = 0;
        std::vector<BYTE> data(4096);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegEnumValueA(opened, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
            break;
        }
        lines.push_back("  \"" + std::string(name) + "\" = " + registryData(type, data, size));
    }
    std::vector<std::string> subkeys;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        if (RegEnumKeyExA(opened, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        subkeys.push_back(name);
    }
    RegCloseKey(opened);
    for (const std::string& subkey : subkeys) {
        const std::vector<std::string> below = registryListing(root, key + "\\" + subkey);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    return lines;
}

void reportRegistryKey(HKEY root, const std::string& key)
{
    for (const std::string& line : registryListing(root, key)) {
        reportLine("%s", line.c_str());
    }
}
