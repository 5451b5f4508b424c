#include "uninstall/removal.h"

#include <cstring>

#include "engine/portable/install_rules.h"
#include "engine/portable/paths.h"
#include "engine/portable/registration_texts.h"
#include "engine/registration.h"
#include "engine/safe_paths.h"
#include "engine/system_folders.h"
#include "pages/portable/link_path.h"
#include "shell/config.h"

LeftBehind leftBehind;
char keptFolder[PATH_BUFFER_SIZE];

namespace {
// The recorded group's folder; empty when the group is not the setup's.
char groupFolder[PATH_BUFFER_SIZE];
// This program's file, and whether it is the installed uninstaller.
char runningPath[MAX_PATH];
bool runsFromInstalledFile;
// The path the current step works on.
char stepPath[MAX_PATH];

HKEY openMachineKey(const char* path, REGSAM access)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access | MACHINE_VIEW, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// Only a text exactly as the setup wrote it counts; anything else reads as
// missing, and out is then empty.
bool readExactText(HKEY key, const char* name, char* out, DWORD capacity)
{
    DWORD type = REG_NONE;
    DWORD size = capacity;
    const bool exact =
        key != nullptr &&
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size) == ERROR_SUCCESS &&
        type == REG_SZ && isExactRegistryText(out, size);
    if (!exact) {
        out[0] = '\0';
    }
    return exact;
}

// The install folder is the setup's when the entry and the publisher value
// name the same canonical folder; one reached through a link is left alone
// and reported, so that the entry stays for a later run. installDir stays
// empty unless the folder is the setup's.
void readInstallFolder(HKEY entry)
{
    char publisherValue[PATH_BUFFER_SIZE];
    HKEY publisher = openMachineKey(publisherKey, KEY_READ);
    const bool recorded =
        readExactText(entry, programPathValue, installPaths.installDir, sizeof installPaths.installDir) &&
        readExactText(publisher, installConfig.productName, publisherValue, sizeof publisherValue) &&
        isUsableRecordedFolder(installPaths.installDir) && compareNoCase(installPaths.installDir, publisherValue) == 0;
    if (publisher != nullptr) {
        RegCloseKey(publisher);
    }
    const bool linked = recorded && passesThroughLink(installPaths.installDir);
    if (linked) {
        addLeftBehind(leftBehind, installPaths.installDir);
    }
    if (!recorded || linked) {
        installPaths.installDir[0] = '\0';
    }
}

void readGroupFolder(HKEY entry)
{
    fillProgramsDir(nullptr);
    if (readExactText(entry, programGroupValue, installPaths.groupName, sizeof installPaths.groupName) &&
        composeGroupFolder(groupFolder, installPaths.programsDir, installPaths.groupName) &&
        passesThroughLink(groupFolder)) {
        addLeftBehind(leftBehind, groupFolder);
        groupFolder[0] = '\0';
    }
}

// A file with a preserved extension is the user's data unless it still
// carries the stamp that the setup gave it.
bool isUserData(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    const FILETIME stamp = fileStampUtc();
    return hasPreservedExtension(path, preservedExtensions, PRESERVED_EXTENSION_COUNT) &&
           (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
            CompareFileTime(&data.ftLastWriteTime, &stamp) != 0);
}

// Deletes one file that the setup made. A missing file is gone already; a
// link, or a file that cannot be deleted (held open), is reported.
void removeInstalledFile(const char* path)
{
    if (!pathExists(path) || isUserData(path)) {
        return;
    }
    if (isLink(path)) {
        addLeftBehind(leftBehind, path);
        return;
    }
    clearReadOnly(path);
    if (!DeleteFileA(path)) {
        addLeftBehind(leftBehind, path);
    }
}

// Removes the folder when it is empty and, judged again now, not a link.
void removeEmptyFolder(const char* folder)
{
    if (folder[0] != '\0' && pathExists(folder) && !isLink(folder)) {
        RemoveDirectoryA(folder);
    }
}

// A path that does not fit its buffer is one the setup could not make either.
void removeShortcut(int row)
{
    if (groupFolder[0] != '\0' && buildLinkPath(stepPath, sizeof stepPath, installPaths.programsDir,
                                                installPaths.groupName, installConfig.files[row].shortcutCaption)) {
        removeInstalledFile(stepPath);
    }
}

// The running uninstaller's own file is removed last, and only after
// everything else: it is what a second run needs.
void removeRowFile(int row)
{
    const PayloadEntry& entry = installConfig.files[row];
    const char* folder = (entry.flags & FILE_IN_WINDOWS_DIR) ? installPaths.windowsDir : installPaths.installDir;
    if (folder[0] == '\0' || !joinPath(stepPath, sizeof stepPath, folder, entry.fileName, 0)) {
        return;
    }
    if (runningPath[0] != '\0' && compareNoCase(stepPath, runningPath) == 0) {
        runsFromInstalledFile = true;
    } else {
        removeInstalledFile(stepPath);
    }
}

// Deletes the machine key at path when it holds no value and no subkey,
// through its parent opened in the machine view. True when it is gone.
bool deleteKeyIfEmpty(char* path)
{
    HKEY key = openMachineKey(path, KEY_READ);
    if (key == nullptr) {
        return true;
    }
    DWORD subkeys = 1;
    DWORD values = 1;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    char* name = std::strrchr(path, '\\');
    if (subkeys != 0 || values != 0 || name == nullptr) {
        return false;
    }
    *name = '\0';
    HKEY parent = openMachineKey(path, KEY_ALL_ACCESS);
    const bool deleted = parent != nullptr && RegDeleteKeyA(parent, name + 1) == ERROR_SUCCESS;
    if (parent != nullptr) {
        RegCloseKey(parent);
    }
    *name = '\\';
    return deleted;
}

void deleteMachineValue(const char* path, const char* name)
{
    HKEY key = openMachineKey(path, KEY_ALL_ACCESS);
    if (key != nullptr) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

// The entry, the version value with its keys up to the publisher key while
// they are empty, and the publisher value when it named the install folder.
void removeRecords()
{
    HKEY list = openMachineKey(uninstallListKey, KEY_ALL_ACCESS);
    if (list != nullptr) {
        RegDeleteKeyA(list, installConfig.productName);
        RegCloseKey(list);
    }
    char path[REGISTRY_TEXT_SIZE];
    if (concatenateTexts(path, sizeof path, {publisherKey, versionKeySuffix})) {
        deleteMachineValue(path, programVersionValue);
        while (std::strlen(path) > std::strlen(publisherKey) && deleteKeyIfEmpty(path)) {
            *std::strrchr(path, '\\') = '\0';
        }
    }
    if (installPaths.installDir[0] != '\0') {
        deleteMachineValue(publisherKey, installConfig.productName);
    }
    char publisherPath[sizeof publisherKey];
    std::memcpy(publisherPath, publisherKey, sizeof publisherKey);
    deleteKeyIfEmpty(publisherPath);
}

// The folders once their files are gone; the default root, which the setup
// created, too when it is then empty. Only when nothing is left but the
// user's data do the records and the uninstaller itself go.
void finishRemoval()
{
    removeEmptyFolder(groupFolder);
    removeEmptyFolder(installPaths.installDir);
    if (isDirectSubfolder(installPaths.installDir, defaultInstallRoot) && !pathExists(installPaths.installDir)) {
        removeEmptyFolder(defaultInstallRoot);
    }
    if (leftBehind.count != 0) {
        return;
    }
    // With nothing of the product left, what still holds the folder is the user's.
    if (installPaths.installDir[0] != '\0' && pathExists(installPaths.installDir)) {
        lstrcpynA(keptFolder, installPaths.installDir, sizeof keptFolder);
    }
    removeRecords();
    // A running program cannot delete its own file: it goes at the next start of Windows.
    if (runsFromInstalledFile) {
        MoveFileExA(runningPath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
}
} // namespace

bool readInstallation()
{
    char entryPath[REGISTRY_TEXT_SIZE];
    HKEY entry = concatenateTexts(entryPath, sizeof entryPath, {uninstallListKey, "\\", installConfig.productName})
                     ? openMachineKey(entryPath, KEY_READ)
                     : nullptr;
    if (entry == nullptr) {
        return false;
    }
    const DWORD length = GetModuleFileNameA(nullptr, runningPath, sizeof runningPath);
    if (length == 0 || length >= sizeof runningPath) {
        runningPath[0] = '\0';
    }
    fillWindowsDir();
    readInstallFolder(entry);
    readGroupFolder(entry);
    RegCloseKey(entry);
    return true;
}

int removalStepCount() { return installConfig.shortcutCount + installConfig.fileCount + 1; }

const char* runRemovalStep(int step)
{
    stepPath[0] = '\0';
    if (step < installConfig.shortcutCount) {
        removeShortcut(step);
    } else if (step < installConfig.shortcutCount + installConfig.fileCount) {
        removeRowFile(step - installConfig.shortcutCount);
    } else {
        finishRemoval();
    }
    return stepPath;
}
