#include "engine/removal.h"

#include <cstring>
#include <cwchar>

#include "engine/group_folder.h"
#include "engine/held_folder.h"
#include "engine/install_record.h"
#include "engine/registration.h"
#include "engine/safe_paths.h"
#include "engine/system_folders.h"
#include "product/config.h"
#include "rules/install_rules.h"
#include "rules/link_path.h"
#include "rules/paths.h"
#include "rules/registration_texts.h"

PathList leftBehind;
PathList keptFolders;

namespace {
// The folders the steps work in, held from the start to the end of the
// removal; one that is not held is not the setup's, or is gone.
HeldFolder installFolder;
HeldFolder windowsFolder;
HeldFolder groupFolder;
// The programs folder as the shell gives it, held while the group's levels
// below it are removed, and above which no recorded folder is ever removed.
HeldFolder programsFolder;
// Whether the install record could be read whole: only then is a product
// file that it does not name not the setup's (one the setup found and kept).
bool recordIsWhole;
// This program's file, and whether it is the installed uninstaller.
wchar_t runningPath[MAX_PATH];
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

// True when the recorded folder is held or not there at all. Holding refuses
// every level that is a link; a folder that is there but could not be held
// (a link, or below one) is left alone and reported, so that the entry stays
// for a later run.
bool heldOrGone(const char* folder, bool held)
{
    const bool leftAlone = !held && (passesThroughLink(folder) || pathExists(folder));
    if (leftAlone) {
        addLeftBehind(leftBehind, folder, LEFT_LINK);
    }
    return !leftAlone;
}

// A folder that the entry and the publisher value disagree on is not worked
// in; while it still holds a file of the product's, it is named.
void nameDisputedFolder(const char* folder)
{
    char path[MAX_PATH];
    if (!isUsableRecordedFolder(folder)) {
        return;
    }
    for (int row = 0; row < installConfig.fileCount; ++row) {
        const PayloadEntry& entry = installConfig.files[row];
        if ((entry.flags & FILE_IN_WINDOWS_DIR) == 0 && joinPath(path, sizeof path, folder, entry.fileName, 0) &&
            pathExists(path)) {
            addLeftBehind(leftBehind, folder, LEFT_OUT_OF_REACH);
            return;
        }
    }
}

// The install folder is the setup's when the entry and the publisher value
// name the same canonical folder. installDir stays empty unless the folder is
// the setup's.
void readInstallFolder(HKEY entry)
{
    char publisherValue[PATH_BUFFER_SIZE];
    HKEY publisher = openMachineKey(publisherKey, KEY_READ);
    readExactText(entry, programPathValue, installPaths.installDir, sizeof installPaths.installDir);
    readExactText(publisher, installConfig.productName, publisherValue, sizeof publisherValue);
    if (publisher != nullptr) {
        RegCloseKey(publisher);
    }
    const bool agreed =
        isUsableRecordedFolder(installPaths.installDir) && compareNoCase(installPaths.installDir, publisherValue) == 0;
    if (!agreed) {
        nameDisputedFolder(installPaths.installDir);
        nameDisputedFolder(publisherValue);
    }
    if (!agreed || !heldOrGone(installPaths.installDir, holdFolder(installFolder, installPaths.installDir, nullptr))) {
        installPaths.installDir[0] = '\0';
    }
}

// The group is found below the programs folder as the setup found it, and
// only its own levels are judged for links.
void readGroupFolder(HKEY entry)
{
    fillProgramsDir();
    char folder[PATH_BUFFER_SIZE];
    if (readExactText(entry, programGroupValue, installPaths.groupName, sizeof installPaths.groupName) &&
        composeGroupFolder(folder, installPaths.programsDir, installPaths.groupName) &&
        holdShellFolder(programsFolder, installPaths.programsDir) &&
        !holdFolderBelow(groupFolder, programsFolder, folder, nullptr) && pathExists(folder)) {
        addLeftBehind(leftBehind, folder, LEFT_LINK);
    }
}

// Deletes one file that the record says the setup wrote, through its held
// folder, when it is unchanged. A changed file is the user's and stays; a
// link, or a file that cannot be deleted (held open), is named. Without a
// whole record a product file there may be anyone's: it stays, and is named.
void removeRecordedFile(const HeldFolder& folder, const wchar_t* name, RecordKind kind)
{
    wchar_t path[MAX_PATH];
    RecordItem item;
    if (!isHeld(folder) || !pathInFolder(folder, name, path)) {
        return;
    }
    if (!readRecordedItem(path, &item) || item.kind != kind) {
        if (!recordIsWhole && readableFileState(folder, name) != FILE_ABSENT) {
            addLeftBehind(leftBehind, stepPath, LEFT_UNRECORDED);
        }
        return;
    }
    switch (deleteFileIn(folder, name, &item)) {
    case DELETE_LINK:
        addLeftBehind(leftBehind, stepPath, LEFT_LINK);
        return;
    case DELETE_FAILED:
        addLeftBehind(leftBehind, stepPath, LEFT_IN_USE);
        return;
    default:
        forgetRecordedItem(path);
    }
}

// A recorded path as the closing message shows it, when something is there;
// the text only names it and never becomes a path again.
bool shownIfThere(const wchar_t* path, char (&shown)[MAX_PATH])
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES &&
           WideCharToMultiByte(CP_ACP, 0, path, -1, shown, sizeof shown, nullptr, nullptr) != 0;
}

// Recorded files and shortcuts that no step reaches (in another user's Start
// Menu, in a folder the records disagree on, or all of them when the setup
// never registered the installation) are named while they are there.
void nameUnreachedItem(void* context, const wchar_t* path, const RecordItem& item)
{
    const LeftReason reason = *static_cast<const LeftReason*>(context);
    char shown[MAX_PATH];
    const bool reached = nameInFolder(path, installFolder.path) != nullptr ||
                         nameInFolder(path, windowsFolder.path) != nullptr ||
                         nameInFolder(path, groupFolder.path) != nullptr;
    if (item.kind != RECORD_FOLDER && !reached && shownIfThere(path, shown)) {
        addLeftBehind(leftBehind, shown, reason);
    }
}

void nameUnreachedItems(LeftReason reason) { visitInstallRecord(nameUnreachedItem, &reason); }

void ignoreItem(void*, const wchar_t*, const RecordItem&) {}

// A path that does not fit its buffer is one the setup could not make either.
void removeShortcut(int row)
{
    const char* caption = installConfig.files[row].shortcutCaption;
    wchar_t name[MAX_PATH];
    if (isHeld(groupFolder) &&
        buildLinkPath(stepPath, sizeof stepPath, installPaths.programsDir, installPaths.groupName, caption) &&
        shortcutFileName(caption, name)) {
        removeRecordedFile(groupFolder, name, RECORD_SHORTCUT);
    }
}

// The running uninstaller's own file is removed last, and only after
// everything else: it is what a second run needs.
void removeRowFile(int row)
{
    const PayloadEntry& entry = installConfig.files[row];
    const bool inWindows = (entry.flags & FILE_IN_WINDOWS_DIR) != 0;
    const char* folder = inWindows ? installPaths.windowsDir : installPaths.installDir;
    const HeldFolder& held = inWindows ? windowsFolder : installFolder;
    wchar_t name[MAX_PATH];
    wchar_t path[MAX_PATH];
    if (folder[0] == '\0' || !joinPath(stepPath, sizeof stepPath, folder, entry.fileName, 0) ||
        !widenPath(entry.fileName, name) || !pathInFolder(held, name, path)) {
        return;
    }
    if (runningPath[0] != L'\0' && samePath(path, runningPath)) {
        runsFromInstalledFile = true;
    } else {
        removeRecordedFile(held, name, RECORD_FILE);
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
// they are empty, the install record's folder key when it is empty, and the
// publisher value when it named the install folder.
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
    if (concatenateTexts(path, sizeof path, {publisherKey, "\\", installRecordFolderKey})) {
        deleteKeyIfEmpty(path);
    }
    if (installPaths.installDir[0] != '\0') {
        deleteMachineValue(publisherKey, installConfig.productName);
    }
    char publisherPath[sizeof publisherKey];
    std::memcpy(publisherPath, publisherKey, sizeof publisherKey);
    deleteKeyIfEmpty(publisherPath);
}

// A folder level the setup created goes once it is empty: the install
// folder and the levels above it, the group folder and the levels above it
// inside the programs folder.
struct FolderRemoval {
    wchar_t install[MAX_PATH];
    wchar_t group[MAX_PATH];
    bool removedAny;
};

void removeCreatedFolder(void* context, const wchar_t* path, const RecordItem& item)
{
    FolderRemoval& removal = *static_cast<FolderRemoval*>(context);
    const bool inGroup = isFolderOrAbove(path, removal.group) && !isFolderOrAbove(path, programsFolder.path);
    if (item.kind != RECORD_FOLDER || !(inGroup || isFolderOrAbove(path, removal.install))) {
        return;
    }
    if (inGroup ? removeFolderBelowIfEmpty(programsFolder, path) : removeFolderIfEmpty(path)) {
        forgetRecordedItem(path);
        removal.removedAny = true;
    }
}

// Each pass removes the deepest empty level of each chain, until a pass
// removes nothing.
void removeCreatedFolders()
{
    FolderRemoval removal = {};
    std::wcscpy(removal.install, installFolder.path);
    std::wcscpy(removal.group, groupFolder.path);
    releaseFolder(installFolder);
    releaseFolder(groupFolder);
    do {
        removal.removedAny = false;
        visitInstallRecord(removeCreatedFolder, &removal);
    } while (removal.removedAny);
    releaseFolder(programsFolder);
}

// A running program cannot delete its own file. It is renamed aside, so that
// its place is free at once: a reinstall before the next restart of Windows
// writes a new uninstaller there, which that restart leaves alone. The
// renamed file goes at the restart.
void removeRunningFile()
{
    constexpr wchar_t asideSuffix[] = L".removed";
    wchar_t aside[MAX_PATH];
    if (std::wcslen(runningPath) + std::wcslen(asideSuffix) < MAX_PATH) {
        std::wcscpy(aside, runningPath);
        std::wcscat(aside, asideSuffix);
        if (MoveFileExW(runningPath, aside, MOVEFILE_REPLACE_EXISTING)) {
            MoveFileExW(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            return;
        }
    }
    MoveFileExW(runningPath, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// A folder level the setup created that is still there holds what is not
// the product's. The levels are visited from the last one recorded, the
// deepest of each chain first: one above a folder already named is not.
void nameKeptFolder(void* context, const wchar_t* path, const RecordItem& item)
{
    wchar_t* lastNamed = static_cast<wchar_t*>(context);
    char shown[MAX_PATH];
    if (item.kind == RECORD_FOLDER && !isFolderOrAbove(path, lastNamed) && shownIfThere(path, shown)) {
        addPath(keptFolders, shown);
        std::wcscpy(lastNamed, path);
    }
}

// With nothing of the product left, what still holds its folders is the
// user's: the install folder, and the deepest levels the setup created.
void nameKeptFolders()
{
    wchar_t lastNamed[MAX_PATH] = L"";
    if (installPaths.installDir[0] != '\0' && pathExists(installPaths.installDir) &&
        widenPath(installPaths.installDir, lastNamed)) {
        addPath(keptFolders, installPaths.installDir);
    }
    visitInstallRecord(nameKeptFolder, lastNamed);
}

// The folders once their files are gone. Only when nothing is left but the
// user's data do the records and the uninstaller itself go.
void finishRemoval()
{
    nameUnreachedItems(LEFT_OUT_OF_REACH);
    releaseFolder(windowsFolder);
    removeCreatedFolders();
    if (leftBehind.count != 0) {
        return;
    }
    nameKeptFolders();
    deleteInstallRecord();
    removeRecords();
    if (runsFromInstalledFile) {
        removeRunningFile();
    }
}
} // namespace

bool readInstallation()
{
    char entryPath[REGISTRY_TEXT_SIZE];
    HKEY entry = concatenateTexts(entryPath, sizeof entryPath, {uninstallListKey, "\\", installConfig.productName})
                     ? openMachineKey(entryPath, KEY_READ)
                     : nullptr;
    // A setup that stopped before it registered the installation leaves its
    // record and files but no entry: they are named, not called absent.
    if (entry == nullptr) {
        if (openInstallRecord(false)) {
            nameUnreachedItems(LEFT_UNFINISHED);
        }
        return false;
    }
    const DWORD length = GetModuleFileNameW(nullptr, runningPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        runningPath[0] = L'\0';
    }
    recordIsWhole = openInstallRecord(false) && visitInstallRecord(ignoreItem, nullptr);
    fillWindowsDir();
    holdFolder(windowsFolder, installPaths.windowsDir, nullptr);
    readInstallFolder(entry);
    readGroupFolder(entry);
    RegCloseKey(entry);
    return true;
}

// The uninstaller's own running file is not judged: it is renamed aside at the end.
const char* findFileInUse()
{
    static char path[MAX_PATH];
    for (int row = 0; row < installConfig.fileCount; ++row) {
        const PayloadEntry& entry = installConfig.files[row];
        const bool inWindows = (entry.flags & FILE_IN_WINDOWS_DIR) != 0;
        const HeldFolder& folder = inWindows ? windowsFolder : installFolder;
        wchar_t name[MAX_PATH];
        wchar_t fullPath[MAX_PATH];
        if (isHeld(folder) && widenPath(entry.fileName, name) && pathInFolder(folder, name, fullPath) &&
            !(runningPath[0] != L'\0' && samePath(fullPath, runningPath)) && isFileInUse(folder, name) &&
            joinPath(path, sizeof path, inWindows ? installPaths.windowsDir : installPaths.installDir, entry.fileName,
                     0)) {
            return path;
        }
    }
    return nullptr;
}

void abandonRemoval()
{
    releaseFolder(installFolder);
    releaseFolder(windowsFolder);
    releaseFolder(groupFolder);
    releaseFolder(programsFolder);
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
