#include "engine/install_files.h"

#include "engine/decode_to_file.h"
#include "engine/install_record.h"
#include "engine/payload_check.h"
#include "engine/registration.h"
#include "rules/install_rules.h"
#include "rules/paths.h"

namespace {
// Each row stays on screen this long before its file is written.
constexpr uint32_t ROW_PAUSE_MS = 500;

// The folder of the installation that the publisher key records: only an
// administrator can have written it.
bool isRecordedInstallation(const char* folder)
{
    char recorded[PATH_BUFFER_SIZE];
    return readPreviousFolder(recorded) && compareNoCase(recorded, folder) == 0;
}

// A recorded file goes when it is unchanged; a changed one is the user's
// and stays, and is no longer recorded. Data files stay as they are.
void clearRecordedItem(void* context, const wchar_t* path, const RecordItem& item)
{
    const HeldFolder& folder = *static_cast<const HeldFolder*>(context);
    const wchar_t* name = nameInFolder(path, folder.path);
    if (item.kind != RECORD_FILE || name == nullptr || !shouldDeleteOnClear(name)) {
        return;
    }
    if (deleteFileIn(folder, name, &item) != DELETE_FAILED) {
        forgetRecordedItem(path);
    }
}

bool isRecordedFile(const HeldFolder& folder, const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    RecordItem item;
    return !pathInFolder(folder, name, path) || readRecordedItem(path, &item);
}

// A file that a row keeps stays recorded only while it is what the setup wrote.
void forgetChangedFile(const HeldFolder& folder, const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    RecordItem item;
    uint32_t size = 0;
    uint32_t crc = 0;
    if (pathInFolder(folder, name, path) && readRecordedItem(path, &item) &&
        !(measureFileIn(folder, name, &size, &crc) && isUnchangedFile(item, size, crc))) {
        forgetRecordedItem(path);
    }
}

// Writes one row's file through the held folder and records it.
InstallResult writeRow(EngineCaller& caller, const PayloadEntry& row, const HeldFolder& folder, const wchar_t* name,
                       const FILETIME& stamp)
{
    const uint8_t* packed = checkedPackedStream(row);
    if (packed == nullptr) {
        return INSTALL_DAMAGED;
    }
    wchar_t path[MAX_PATH];
    HANDLE file = pathInFolder(folder, name, path) ? createFileIn(folder, name, protectedFileAccess) : nullptr;
    if (file == nullptr) {
        return INSTALL_CREATE_FAILED;
    }
    DecodeResult result = decodeToFile(caller, packed, row, file);
    if (result == DECODE_WRITTEN && !endWrittenFile(file, protectedFileAccess)) {
        result = DECODE_WRITE_FAILED;
    }
    if (result == DECODE_WRITTEN) {
        SetFileTime(file, &stamp, &stamp, &stamp);
    }
    CloseHandle(file);
    switch (result) {
    case DECODE_WRITTEN:
        recordItem(path, {RECORD_FILE, row.unpackedSize, row.unpackedCrc});
        return INSTALL_DONE;
    case DECODE_WRITE_FAILED:
        return INSTALL_WRITE_FAILED;
    default:
        return INSTALL_DAMAGED;
    }
}

// Handles one row.
InstallResult installRow(EngineCaller& caller, const PayloadEntry& row, const HeldFolder& folder, const FILETIME& stamp)
{
    wchar_t name[MAX_PATH];
    if (!isHeld(folder) || !widenPath(row.fileName, name)) {
        return INSTALL_CREATE_FAILED;
    }
    if (!shouldWriteFile(folder, name, row)) {
        forgetChangedFile(folder, name);
        caller.progressed(row.unpackedSize);
        return INSTALL_DONE;
    }
    return writeRow(caller, row, folder, name, stamp);
}

InstallResult installHeldRows(EngineCaller& caller, const PayloadEntry* rows, int count,
                              const HeldFolder& installFolder, const HeldFolder& windowsFolder)
{
    const FILETIME stamp = fileStampUtc();
    uint32_t total = 0;
    for (int i = 0; i < count; ++i) {
        total += rows[i].unpackedSize;
    }
    caller.workStarted(total, count);

    for (int i = 0; i < count; ++i) {
        const PayloadEntry& row = rows[i];
        const bool inWindows = (row.flags & FILE_IN_WINDOWS_DIR) != 0;
        char target[MAX_PATH];
        const bool fits = joinPath(target, sizeof target, inWindows ? installPaths.windowsDir : installPaths.installDir,
                                   row.fileName, 0);
        caller.stepStarted(i, target);
        caller.pause(ROW_PAUSE_MS);
        // A path too long for its buffer is a destination that cannot be created.
        const InstallResult result =
            fits ? installRow(caller, row, inWindows ? windowsFolder : installFolder, stamp) : INSTALL_CREATE_FAILED;
        if (result != INSTALL_DONE) {
            return result;
        }
    }
    return INSTALL_DONE;
}

// The path of the first row's file that another program has open (a running
// Tidy Kit.exe); false when there is none.
bool findRowInUse(const PayloadEntry* rows, int count, char (&path)[MAX_PATH])
{
    HeldFolder installFolder = {};
    HeldFolder windowsFolder = {};
    holdFolder(installFolder, installPaths.installDir, nullptr);
    holdFolder(windowsFolder, installPaths.windowsDir, nullptr);
    bool found = false;
    for (int i = 0; i < count && !found; ++i) {
        const bool inWindows = (rows[i].flags & FILE_IN_WINDOWS_DIR) != 0;
        const HeldFolder& folder = inWindows ? windowsFolder : installFolder;
        wchar_t name[MAX_PATH];
        found = isHeld(folder) && widenPath(rows[i].fileName, name) && isFileInUse(folder, name) &&
                joinPath(path, sizeof path, inWindows ? installPaths.windowsDir : installPaths.installDir,
                         rows[i].fileName, 0);
    }
    releaseFolder(installFolder);
    releaseFolder(windowsFolder);
    return found;
}

// A running program's file cannot be replaced: rather than stop half-way,
// nothing is changed until the user has closed it, or chosen to stop here.
bool waitUntilRowsAreFree(EngineCaller& caller, const PayloadEntry* rows, int count)
{
    char path[MAX_PATH];
    while (findRowInUse(rows, count, path)) {
        if (!caller.retryFileInUse(path)) {
            return false;
        }
    }
    return true;
}
} // namespace

InstallResult installFiles(EngineCaller& caller)
{
    return installRows(caller, installConfig.files, installConfig.fileCount);
}

// Both folders are held from the start to the end of the work, so that the
// folders judged are the folders written to. Nothing is written that the
// install record could not name, since a reinstall and the uninstaller
// remove by it.
InstallResult installRows(EngineCaller& caller, const PayloadEntry* rows, int count)
{
    if (!waitUntilRowsAreFree(caller, rows, count)) {
        return INSTALL_STOPPED;
    }
    if (!openInstallRecord(true)) {
        return INSTALL_RECORD_FAILED;
    }
    HeldFolder installFolder = {};
    HeldFolder windowsFolder = {};
    const InstallResult result = prepareInstallFolder(installFolder, installPaths.installDir) &&
                                         holdFolder(windowsFolder, installPaths.windowsDir, nullptr)
                                     ? installHeldRows(caller, rows, count, installFolder, windowsFolder)
                                     : INSTALL_CREATE_FAILED;
    releaseFolder(installFolder);
    releaseFolder(windowsFolder);
    return result;
}

// A folder that cannot be made (a file in the way) is not refused here: the
// rows before its first one are written, and that one reports it.
bool prepareInstallFolder(HeldFolder& folder, const char* path)
{
    const bool earlier = installRecordExists() && isRecordedInstallation(path);
    if (!openInstallRecord(true)) {
        return false;
    }
    if (!holdFolder(folder, path, recordCreatedFolder)) {
        return !passesThroughLink(path);
    }
    if (!isHeldFolderLeftToAdministrators(folder.handle, path)) {
        releaseFolder(folder);
        return false;
    }
    if (earlier) {
        RecordItem item;
        if (readRecordedItem(folder.path, &item) && item.kind == RECORD_FOLDER) {
            clearOldInstall(folder);
        }
        visitInstallRecord(clearRecordedItem, &folder);
    }
    return true;
}

namespace {
// Only administrators can write below a folder the setup created: what lies
// there besides the user's data is an earlier version's. Recorded files are
// judged by the record instead.
void clearEntry(void*, const HeldFolder& folder, const wchar_t* name, uint32_t attributes, uint32_t reparseTag)
{
    if (isLinkEntry(attributes, reparseTag)) {
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        if (shouldDeleteOnClear(name) && !isRecordedFile(folder, name)) {
            deleteFileIn(folder, name, nullptr);
        }
        return;
    }
    HeldFolder subfolder = {};
    if (name[0] != L'.' && holdSubfolder(subfolder, folder, name)) {
        clearOldInstall(subfolder);
    }
    releaseFolder(subfolder);
}
} // namespace

void clearOldInstall(const HeldFolder& folder) { listHeldFolder(folder, clearEntry, nullptr); }

bool shouldDeleteOnClear(const wchar_t* name)
{
    return !hasPreservedExtension(name, preservedExtensions, PRESERVED_EXTENSION_COUNT);
}

bool shouldWriteFile(const HeldFolder& folder, const wchar_t* name, const PayloadEntry& row)
{
    if (row.flags & FILE_OVERWRITE) {
        return true;
    }
    const FileState state = readableFileState(folder, name);
    return state == FILE_ABSENT || state == FILE_UNREADABLE;
}
