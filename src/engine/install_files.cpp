#include "engine/install_files.h"

#include "engine/decode_to_file.h"
#include "engine/install_record.h"
#include "engine/payload_check.h"
#include "engine/portable/install_rules.h"
#include "engine/portable/paths.h"
#include "pages/location_page.h"
#include "pages/progress.h"
#include "resource.h"
#include "shell/wizard.h"

namespace {
constexpr char createFailedText[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
constexpr char writeFailedText[] = "Unable to write destination file!\r\nInstallation will now be aborted.";
constexpr char recordFailedText[] = "Unable to record the installation!\r\nInstallation will now be aborted.";
constexpr char setupCancelMeaning[] = "ends the setup; nothing has been changed";

int abortInstallation(HWND page, const char* text)
{
    MessageBoxA(page, text, setupTitle, MB_ICONERROR);
    return -1;
}

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

// Writes one row's file through the held folder and records it; the text of
// the error to show, or null.
const char* writeRow(HWND page, const PayloadEntry& row, const HeldFolder& folder, const wchar_t* name,
                     const FILETIME& stamp)
{
    const uint8_t* packed = checkedPackedStream(row);
    if (packed == nullptr) {
        return damagedPayloadText;
    }
    wchar_t path[MAX_PATH];
    HANDLE file = pathInFolder(folder, name, path) ? createFileIn(folder, name, protectedFileAccess) : nullptr;
    if (file == nullptr) {
        return createFailedText;
    }
    DecodeResult result = decodeToFile(page, packed, row, file);
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
        return nullptr;
    case DECODE_WRITE_FAILED:
        return writeFailedText;
    default:
        return damagedPayloadText;
    }
}

// Handles one row; the text of the error to show, or null.
const char* installRow(HWND page, const PayloadEntry& row, const HeldFolder& folder, const FILETIME& stamp)
{
    wchar_t name[MAX_PATH];
    if (!isHeld(folder) || !widenPath(row.fileName, name)) {
        return createFailedText;
    }
    if (!shouldWriteFile(folder, name, row)) {
        forgetChangedFile(folder, name);
        addProgress(page, row.unpackedSize);
        return nullptr;
    }
    return writeRow(page, row, folder, name, stamp);
}

int installHeldRows(HWND page, const PayloadEntry* rows, int count, const HeldFolder& installFolder,
                    const HeldFolder& windowsFolder)
{
    const FILETIME stamp = fileStampUtc();
    for (int i = 0; i < count; ++i) {
        progressTotal += rows[i].unpackedSize;
    }
    setDlgItemNumber(page, IDC_TOTAL_SIZE, progressTotal);
    setDlgItemNumber(page, IDC_TOTAL_FILES, static_cast<uint32_t>(count));

    for (int i = 0; i < count; ++i) {
        const PayloadEntry& row = rows[i];
        const bool inWindows = (row.flags & FILE_IN_WINDOWS_DIR) != 0;
        char target[MAX_PATH];
        const bool fits = joinPath(target, sizeof target, inWindows ? installPaths.windowsDir : installPaths.installDir,
                                   row.fileName, 0);
        SetDlgItemTextA(page, IDC_EXTRACTING, target);
        setDlgItemNumber(page, IDC_CURRENT_FILE, static_cast<uint32_t>(i + 1));
        pumpMessagesFor(page, 500);
        // A path too long for its buffer is a destination that cannot be created.
        const char* failure =
            fits ? installRow(page, row, inWindows ? windowsFolder : installFolder, stamp) : createFailedText;
        if (failure != nullptr) {
            return abortInstallation(page, failure);
        }
    }
    return 1;
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
bool waitUntilRowsAreFree(HWND page, const PayloadEntry* rows, int count)
{
    char path[MAX_PATH];
    while (findRowInUse(rows, count, path)) {
        char text[IN_USE_MESSAGE_SIZE];
        composeInUseMessage(text, path, installConfig.productName, setupCancelMeaning);
        if (MessageBoxA(page, text, setupTitle, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) {
            return false;
        }
    }
    return true;
}
} // namespace

int installFiles(HWND page) { return installRows(page, installConfig.files, installConfig.fileCount); }

// Both folders are held from the start to the end of the work, so that the
// folders judged are the folders written to. Nothing is written that the
// install record could not name, since a reinstall and the uninstaller
// remove by it.
int installRows(HWND page, const PayloadEntry* rows, int count)
{
    if (!waitUntilRowsAreFree(page, rows, count)) {
        return -1;
    }
    if (!openInstallRecord(true)) {
        return abortInstallation(page, recordFailedText);
    }
    HeldFolder installFolder = {};
    HeldFolder windowsFolder = {};
    const int result = prepareInstallFolder(installFolder, installPaths.installDir) &&
                               holdFolder(windowsFolder, installPaths.windowsDir, nullptr)
                           ? installHeldRows(page, rows, count, installFolder, windowsFolder)
                           : abortInstallation(page, createFailedText);
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
