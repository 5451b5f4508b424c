// File installation on real folders of the test prefix: clearing an earlier
// installation, creating the folder, extracting the payload and its failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "../shared/recording_caller.h"
#include "engine/install_files.h"
#include "engine/install_record.h"
#include "engine/payload_check.h"
#include "product/config.h"
#include "rules/crc32.h"

namespace {
std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& contents, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    std::ofstream(path, std::ios::binary) << contents;
    SetFileAttributesA(path.c_str(), attributes);
}

bool exists(const std::string& path) { return pathExists(path.c_str()); }

uint32_t fileCrc(const std::string& path)
{
    const std::string bytes = readFile(path);
    return crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

class Installation : public ::testing::Test {
  protected:
    void SetUp() override { caller = RecordingCaller(); }

    void setFolders(const std::string& install, const std::string& windows)
    {
        lstrcpyA(installPaths.installDir, install.c_str());
        lstrcpyA(installPaths.windowsDir, windows.c_str());
    }
    PayloadEntry row(int index) { return installConfig.files[index]; }

    RecordingCaller caller;
};

// Clears the folder as a reinstall clears one the setup created.
void clearFolder(const std::string& path)
{
    HeldFolder folder = {};
    ASSERT_TRUE(holdFolder(folder, path.c_str(), nullptr)) << path;
    clearOldInstall(folder);
    releaseFolder(folder);
}

std::wstring widePath(const std::string& path) { return std::wstring(path.begin(), path.end()); }

void recordFile(const std::string& path, const std::string& contents)
{
    const uint32_t crc = crc32(reinterpret_cast<const uint8_t*>(contents.data()), contents.size());
    recordItem(widePath(path).c_str(), {RECORD_FILE, static_cast<uint32_t>(contents.size()), crc});
}

void forgetEarlierInstallation()
{
    closeInstallRecord();
    deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
}

FILETIME writtenTime(const std::string& path)
{
    FILETIME written = {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return written;
}

// The file's three times, all equal, and the local time they stand for.
void expectStamped(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    FILETIME created, accessed, written;
    GetFileTime(file, &created, &accessed, &written);
    CloseHandle(file);
    EXPECT_EQ(CompareFileTime(&created, &written), 0) << path;
    EXPECT_EQ(CompareFileTime(&accessed, &written), 0) << path;
    SYSTEMTIME utc, local;
    FileTimeToSystemTime(&written, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    const StampTime& stamp = installConfig.fileStamp;
    EXPECT_EQ(local.wYear, stamp.year);
    EXPECT_EQ(local.wMonth, stamp.month);
    EXPECT_EQ(local.wDay, stamp.day);
    EXPECT_EQ(local.wHour, stamp.hour);
    EXPECT_EQ(local.wMinute, stamp.minute);
    EXPECT_EQ(local.wSecond, stamp.second);
}
} // namespace

TEST_F(Installation, ExtractsEveryRowIntoNewFolders)
{
    CreateDirectoryA("C:\\Test Windows", nullptr);
    setFolders("C:\\Tidy Test\\Level A\\Level B", "C:\\Test Windows");
    EXPECT_EQ(installFiles(caller), INSTALL_DONE);

    uint32_t total = 0;
    for (int i = 0; i < installConfig.fileCount; ++i) {
        const PayloadEntry& entry = installConfig.files[i];
        const std::string path = installedPath(entry);
        expectStamped(path); // before any read moves the access time
        EXPECT_EQ(readFile(path).size(), entry.unpackedSize) << entry.fileName;
        EXPECT_EQ(fileCrc(path), entry.unpackedCrc) << entry.fileName;
        RecordItem item = {};
        EXPECT_TRUE(readRecordedItem(widePath(path).c_str(), &item)) << entry.fileName;
        EXPECT_EQ(item.kind, RECORD_FILE) << entry.fileName;
        EXPECT_EQ(item.size, entry.unpackedSize) << entry.fileName << " is recorded with the size it was written with";
        EXPECT_EQ(item.crc, entry.unpackedCrc) << entry.fileName;
        const bool inWindows = (entry.flags & FILE_IN_WINDOWS_DIR) != 0;
        const std::string otherFolder = inWindows ? installPaths.installDir : installPaths.windowsDir;
        EXPECT_FALSE(exists(otherFolder + "\\" + entry.fileName)) << entry.fileName << " goes to its own folder only";
        total += entry.unpackedSize;
    }

    EXPECT_EQ(caller.total, total);
    EXPECT_EQ(caller.done, total);
    EXPECT_EQ(caller.stepCount, installConfig.fileCount);
    EXPECT_EQ(caller.lastStep, installConfig.fileCount - 1);
    EXPECT_EQ(caller.lastShown, installedPath(row(installConfig.fileCount - 1)));
}

TEST_F(Installation, ClearingKeepsPreservedFilesAndEveryFolder)
{
    const std::string old = "C:\\Old Install\\";
    for (const char* folder : {"", "sub", "sub\\deeper", ".cache"}) {
        CreateDirectoryA((old + folder).c_str(), nullptr);
    }
    // Each preserved extension in upper and lower case, in every folder, and
    // names that only begin with one.
    std::vector<std::string> deleted = {"a.txt",  "ro.exe",     "hidden.doc",        ".profile",
                                        "README", "sub\\b.txt", "sub\\deeper\\c.bin"};
    std::vector<std::string> kept = {".cache\\d.txt"};
    for (int i = 0; i < PRESERVED_EXTENSION_COUNT; ++i) {
        const std::string extension = preservedExtensions[i];
        std::string upper = extension;
        CharUpperA(upper.data());
        kept.push_back("p" + std::to_string(i) + upper);
        kept.push_back("sub\\p" + std::to_string(i) + lowerCase(extension));
        kept.push_back("sub\\deeper\\p" + std::to_string(i) + extension);
        deleted.push_back("x" + extension + ".bak");
        deleted.push_back("x" + extension + "s");
    }
    for (const std::string& name : deleted) {
        writeFile(old + name, "old");
    }
    for (const std::string& name : kept) {
        writeFile(old + name, "old");
    }
    SetFileAttributesA((old + "ro.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((old + "hidden.doc").c_str(), FILE_ATTRIBUTE_HIDDEN);

    clearFolder("C:\\Old Install");
    for (const std::string& name : deleted) {
        EXPECT_FALSE(exists(old + name)) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_TRUE(exists(old + name)) << name;
    }
    EXPECT_TRUE(exists(old + "sub\\deeper"));
}

// A file of an earlier installation that a row replaces may be read-only
// (copied from a CD, or marked by the user): the row writes it all the same,
// in the install folder (a kept data file) and in the Windows folder (never
// cleared).
TEST_F(Installation, ReadOnlyFilesThatRowsReplaceAreWritten)
{
    const int windowsRow = findRow([](const PayloadEntry& entry) { return (entry.flags & FILE_IN_WINDOWS_DIR) != 0; });
    const int dataRow =
        findRow([](const PayloadEntry& entry) { return isInInstallFolder(entry) && isPreservedFile(entry); });
    if (windowsRow < 0 || dataRow < 0) {
        GTEST_SKIP() << "the product lacks a Windows-folder row or a kept data file in the install folder";
    }
    CreateDirectoryA("C:\\RO Windows", nullptr);
    CreateDirectoryA("C:\\RO Install", nullptr);
    setFolders("C:\\RO Install", "C:\\RO Windows");
    const std::string paths[] = {installedPath(row(windowsRow)), installedPath(row(dataRow))};
    for (const std::string& path : paths) {
        writeFile(path, "old", FILE_ATTRIBUTE_READONLY);
    }
    clearFolder(installPaths.installDir);
    EXPECT_EQ(installFiles(caller), INSTALL_DONE);
    for (const std::string& path : paths) {
        expectStamped(path);
        EXPECT_NE(readFile(path), "old") << path;
        EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << path;
    }
}

TEST_F(Installation, ClearingNeverFollowsAFolderLink)
{
    const std::string fixtures = linuxPath(ENGINE_FIXTURES);
    writeFile(fixtures + "\\outside\\precious.txt", "not part of the installation");
    writeFile(fixtures + "\\linked\\old.txt", "old");
    ASSERT_NE(GetFileAttributesA((fixtures + "\\linked\\link").c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);

    clearFolder(fixtures + "\\linked");
    EXPECT_FALSE(exists(fixtures + "\\linked\\old.txt"));
    EXPECT_TRUE(exists(fixtures + "\\linked\\link"));
    EXPECT_EQ(readFile(fixtures + "\\outside\\precious.txt"), "not part of the installation");
}

// What a reinstall clears is what the record says the setup wrote: the
// recorded files that are unchanged. A changed file and the user's own files
// in a folder the user chose stay; only in a folder the setup created does
// the rest go too. A folder recorded without a record, a parent of the
// recorded folder and an unrecorded folder are not cleared at all, nor is a
// folder whose item in the record is a value of another type (not the setup's).
TEST_F(Installation, ReinstallClearsByTheRecord)
{
    for (const std::string folder : {"C:\\Adopted", "C:\\Recorded", "C:\\Recorded\\Nested", "C:\\Created"}) {
        CreateDirectoryA(folder.c_str(), nullptr);
        writeFile(folder + "\\ours.txt", "ours");
        writeFile(folder + "\\changed.txt", "changed by the user");
        writeFile(folder + "\\letter.txt", "the user's letter");
    }
    HeldFolder held = {};
    ASSERT_TRUE(setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, "C:\\Recorded"));
    EXPECT_TRUE(prepareInstallFolder(held, "C:\\Recorded"));
    releaseFolder(held);
    EXPECT_EQ(entriesIn("C:\\Recorded").size(), 3u) << "a recorded folder without a record is not the setup's";

    for (const std::string folder : {"C:\\Adopted", "C:\\Recorded\\Nested", "C:\\Created"}) {
        recordFile(folder + "\\ours.txt", "ours");
        recordFile(folder + "\\changed.txt", "as the setup wrote it");
    }
    recordCreatedFolder(L"C:\\Created");
    ASSERT_TRUE(writeFolderItem("C:\\Adopted", REG_SZ));
    ASSERT_TRUE(setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, "C:\\Recorded\\Nested"));
    EXPECT_TRUE(prepareInstallFolder(held, "C:\\Recorded"));
    releaseFolder(held);
    EXPECT_TRUE(exists("C:\\Recorded\\Nested\\ours.txt")) << "the parent of the recorded folder is not cleared";

    for (const std::string folder : {"c:\\adopted", "C:\\Created"}) {
        ASSERT_TRUE(setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, folder.c_str()));
        EXPECT_TRUE(prepareInstallFolder(held, folder.c_str()));
        releaseFolder(held);
        EXPECT_FALSE(exists(folder + "\\ours.txt")) << folder;
        EXPECT_EQ(readFile(folder + "\\changed.txt"), "changed by the user") << folder;
    }
    EXPECT_EQ(readFile("C:\\Adopted\\letter.txt"), "the user's letter") << "a REG_SZ item is not a created folder";
    EXPECT_FALSE(exists("C:\\Created\\letter.txt")) << "below a folder the setup created, the rest goes too";
    RecordItem item;
    EXPECT_FALSE(readRecordedItem(L"C:\\Adopted\\changed.txt", &item)) << "a changed file is no longer the setup's";
    EXPECT_TRUE(readRecordedItem(L"C:\\Recorded\\Nested\\ours.txt", &item));
    forgetEarlierInstallation();
}

// A linked install folder and a folder below a link are left alone, even
// when the link is the recorded folder.
TEST_F(Installation, NothingIsCreatedClearedOrWrittenThroughALink)
{
    const std::string fixtures = linuxPath(ENGINE_FIXTURES);
    const std::string linked = fixtures + "\\linked\\link";
    writeFile(fixtures + "\\outside\\precious.txt", "not part of the installation");
    ASSERT_TRUE(setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, linked.c_str()));
    HeldFolder held = {};
    EXPECT_FALSE(prepareInstallFolder(held, linked.c_str()));
    EXPECT_FALSE(prepareInstallFolder(held, (linked + "\\" + installConfig.productName).c_str()));
    EXPECT_FALSE(isHeld(held));
    EXPECT_FALSE(exists(fixtures + "\\outside\\" + installConfig.productName));
    setFolders(linked, linked);
    PayloadEntry rows[1] = {row(README_ROW)};
    EXPECT_EQ(installRows(caller, rows, 1), INSTALL_CREATE_FAILED);
    EXPECT_EQ(entriesIn(fixtures + "\\outside"), std::vector<std::string>{"precious.txt"});
    EXPECT_EQ(readFile(fixtures + "\\outside\\precious.txt"), "not part of the installation");
    forgetEarlierInstallation();
}

// In a folder the setup adopts, a row's name that is a hard link to a file
// elsewhere on the volume is not the setup's to write: the installation
// stops at that row and the other file keeps its bytes and time. A recorded
// file that has gained a second name is not deleted either.
TEST_F(Installation, NoRowIsWrittenIntoOrDeletedThroughAHardLink)
{
    CreateDirectoryA("C:\\HL System", nullptr);
    CreateDirectoryA("C:\\HL Install", nullptr);
    writeFile("C:\\HL System\\victim.ini", "the system's settings");
    PayloadEntry rows[2] = {row(UNINSTALL_ROW), row(README_ROW)};
    rows[0].flags &= ~FILE_IN_WINDOWS_DIR;
    const std::string written = std::string("C:\\HL Install\\") + rows[0].fileName;
    const std::string linked = std::string("C:\\HL Install\\") + rows[1].fileName;
    ASSERT_TRUE(CreateHardLinkA(linked.c_str(), "C:\\HL System\\victim.ini", nullptr));
    const FILETIME before = writtenTime("C:\\HL System\\victim.ini");
    setFolders("C:\\HL Install", "C:\\HL Install");
    EXPECT_EQ(installRows(caller, rows, 2), INSTALL_CREATE_FAILED);
    EXPECT_EQ(readFile("C:\\HL System\\victim.ini"), "the system's settings");
    const FILETIME after = writtenTime("C:\\HL System\\victim.ini");
    EXPECT_EQ(CompareFileTime(&before, &after), 0) << "the other file is not stamped";
    EXPECT_EQ(fileCrc(written), rows[0].unpackedCrc);

    ASSERT_TRUE(CreateHardLinkA("C:\\HL System\\second name.txt", written.c_str(), nullptr));
    HeldFolder folder = {};
    ASSERT_TRUE(holdFolder(folder, "C:\\HL Install", nullptr));
    RecordItem item;
    ASSERT_TRUE(readRecordedItem(widePath(written).c_str(), &item));
    EXPECT_EQ(deleteFileIn(folder, widePath(rows[0].fileName).c_str(), &item), DELETE_LINK);
    releaseFolder(folder);
    EXPECT_TRUE(exists(written));
    forgetEarlierInstallation();
}

// Wine keeps no access list of its own (it reports one made from the Unix
// permissions), so what is shown here is the list the setup asks for:
// protected from inheritance, full control for Administrators and SYSTEM,
// read and execute for Users; and that it is not what a plainly made folder gets.
TEST_F(Installation, CreatedFoldersAskForAProtectedAccessList)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(protectedFolderAccess, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    char* text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &text, nullptr));
    EXPECT_STREQ(text, "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)");
    LocalFree(text);
    LocalFree(descriptor);
    HeldFolder held = {};
    EXPECT_TRUE(prepareInstallFolder(held, "C:\\Protected Root\\Install"));
    releaseFolder(held);
    EXPECT_TRUE(exists("C:\\Protected Root\\Install"));
    CreateDirectoryA("C:\\Plain Root", nullptr);
    EXPECT_NE(accessListOf("C:\\Protected Root"), accessListOf("C:\\Plain Root"));
    RecordItem item;
    EXPECT_TRUE(readRecordedItem(L"C:\\Protected Root", &item) && item.kind == RECORD_FOLDER);
    EXPECT_TRUE(readRecordedItem(L"C:\\Protected Root\\Install", &item) && item.kind == RECORD_FOLDER);
    forgetEarlierInstallation();
}

TEST_F(Installation, KeptRowStaysUntouchedAndStillCounts)
{
    CreateDirectoryA("C:\\Keep Windows", nullptr);
    setFolders("C:\\Keep Install", "C:\\Keep Windows");
    writeFile("C:\\Keep Windows\\Kept.txt", "the user's own");
    HANDLE file = CreateFileA("C:\\Keep Windows\\Kept.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME before = {0x12345678, 0x01C00000};
    SetFileTime(file, &before, &before, &before);
    CloseHandle(file);

    PayloadEntry rows[2] = {row(README_ROW), row(README_ROW)};
    lstrcpyA(rows[0].fileName, "Written.txt");
    rows[0].flags = FILE_IN_WINDOWS_DIR;
    lstrcpyA(rows[1].fileName, "Kept.txt");
    rows[1].flags = FILE_IN_WINDOWS_DIR;
    EXPECT_EQ(installRows(caller, rows, 2), INSTALL_DONE);

    EXPECT_EQ(caller.lastShown, "C:\\Keep Windows\\Kept.txt") << "a kept row still shows its path";
    EXPECT_EQ(readFile("C:\\Keep Windows\\Kept.txt"), "the user's own");
    file = CreateFileA("C:\\Keep Windows\\Kept.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME written;
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    EXPECT_EQ(CompareFileTime(&written, &before), 0);
    EXPECT_EQ(readFile("C:\\Keep Windows\\Written.txt").size(), rows[0].unpackedSize);
    EXPECT_EQ(caller.done, 2 * rows[0].unpackedSize);
    RecordItem item;
    EXPECT_TRUE(readRecordedItem(L"C:\\Keep Windows\\Written.txt", &item) && item.kind == RECORD_FILE);
    EXPECT_FALSE(readRecordedItem(L"C:\\Keep Windows\\Kept.txt", &item)) << "a kept file is never the setup's";
    forgetEarlierInstallation();
}

// While the setup works in a folder, nobody may rename or delete it; the
// handle is all it takes, and releasing it ends that.
TEST_F(Installation, AHeldFolderCannotBeRenamedOrDeleted)
{
    HeldFolder held = {};
    ASSERT_TRUE(prepareInstallFolder(held, "C:\\Held Install"));
    EXPECT_FALSE(MoveFileA("C:\\Held Install", "C:\\Moved Install"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\Held Install"));
    releaseFolder(held);
    EXPECT_TRUE(MoveFileA("C:\\Held Install", "C:\\Moved Install"));
    forgetEarlierInstallation();
}

// A reinstall while the product runs (its program file mapped, its read-me
// open) changes nothing until the user has closed it: the question names the
// file, and Cancel stops with every file as it was. Once the program has
// ended, the same reinstall goes through.
TEST_F(Installation, AReinstallWhileTheProductRunsChangesNothingUntilItEnds)
{
    CreateDirectoryA("C:\\Running Windows", nullptr);
    setFolders("C:\\Running Install", "C:\\Running Windows");
    ASSERT_EQ(installFiles(caller), INSTALL_DONE);
    const int program = findRow([](const PayloadEntry& entry) {
        return isInInstallFolder(entry) && std::string(entry.fileName).find(".exe") != std::string::npos;
    });
    ASSERT_GE(program, 0);
    const std::string programPath = installedPath(row(program));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION running;
    ASSERT_TRUE(
        CreateProcessA(programPath.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &running));
    WaitForInputIdle(running.hProcess, 10000);
    writeFile(installedPath(row(program)) + ".notes", "the user's notes");
    const std::vector<std::string> before = entriesIn("C:\\Running Install");
    EXPECT_EQ(installFiles(caller), INSTALL_STOPPED);
    EXPECT_EQ(caller.filesInUse, std::vector<std::string>{programPath});
    EXPECT_EQ(entriesIn("C:\\Running Install"), before);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        EXPECT_EQ(fileCrc(installedPath(row(i))), row(i).unpackedCrc) << row(i).fileName;
    }
    TerminateProcess(running.hProcess, 0);
    WaitForSingleObject(running.hProcess, 10000);
    CloseHandle(running.hProcess);
    CloseHandle(running.hThread);
    EXPECT_EQ(installFiles(caller), INSTALL_DONE);
    forgetEarlierInstallation();
}

TEST_F(Installation, NoRowsShowZeroAndSucceed)
{
    setFolders("C:\\Empty Install", "C:\\Empty Install");
    EXPECT_EQ(installRows(caller, nullptr, 0), INSTALL_DONE);
    EXPECT_EQ(caller.total, 0u);
    EXPECT_EQ(caller.stepCount, 0);
    EXPECT_TRUE(exists("C:\\Empty Install"));
    EXPECT_TRUE(entriesIn("C:\\Empty Install").empty()) << "nothing is written";
}

TEST_F(Installation, DestinationThatCannotBeCreatedStopsAtItsRow)
{
    const int blocked = findRow(isInInstallFolder);
    if (blocked < 1) {
        GTEST_SKIP() << "the product has no install-folder row after its first row";
    }
    CreateDirectoryA("C:\\Blocked Windows", nullptr);
    CreateDirectoryA("C:\\Blocked", nullptr);
    setFolders("C:\\Blocked", "C:\\Blocked Windows");
    CreateDirectoryA(installedPath(row(blocked)).c_str(), nullptr); // a folder where the file should go
    EXPECT_EQ(installFiles(caller), INSTALL_CREATE_FAILED);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        if (i != blocked) {
            EXPECT_EQ(exists(installedPath(row(i))), i < blocked) << row(i).fileName;
        }
    }
}

TEST_F(Installation, PathTooLongCountsAsADestinationThatCannotBeCreated)
{
    const std::string longFolder = "C:\\" + std::string(250, 'L');
    setFolders(longFolder, longFolder);
    PayloadEntry rows[1] = {row(README_ROW)};
    EXPECT_EQ(installRows(caller, rows, 1), INSTALL_CREATE_FAILED);

    // A full path of MAX_PATH - 1 characters fits with its NUL; one more does not.
    HeldFolder folder = {};
    const std::wstring name(MAX_PATH - 1 - 1 - widePath(longFolder).size(), L'n');
    lstrcpyW(folder.path, widePath(longFolder).c_str());
    wchar_t path[MAX_PATH];
    EXPECT_TRUE(pathInFolder(folder, name.c_str(), path));
    EXPECT_EQ(std::wstring(path), widePath(longFolder) + L"\\" + name);
    EXPECT_FALSE(pathInFolder(folder, (name + L"n").c_str(), path)) << "a path of MAX_PATH characters";
    EXPECT_EQ(path[0], L'\0');
}

TEST_F(Installation, DamagedDataIsReportedWithoutCreatingTheFile)
{
    setFolders("C:\\Damaged", "C:\\Damaged");
    PayloadEntry missing = row(README_ROW);
    lstrcpyA(missing.resourceName, "NOSUCH");
    PayloadEntry misSized = row(README_ROW);
    ++misSized.packedSize;
    // Only the size check keeps the checksum from reading far past the resource.
    PayloadEntry farBeyond = row(README_ROW);
    farBeyond.packedSize = 0x40000000u;
    PayloadEntry altered = row(README_ROW);
    altered.packedCrc ^= 1;
    for (const PayloadEntry& entry : {missing, misSized, farBeyond, altered}) {
        EXPECT_EQ(installRows(caller, &entry, 1), INSTALL_DAMAGED);
        EXPECT_FALSE(exists(installedPath(entry)));
    }
}

// The decoder's output is checked too: bytes that are not the row's are
// reported, never taken for an installed file.
TEST_F(Installation, DecodedBytesOfAnotherChecksumAreReported)
{
    setFolders("C:\\Decoded", "C:\\Decoded");
    PayloadEntry rows[1] = {row(README_ROW)};
    rows[0].unpackedCrc ^= 1;
    EXPECT_EQ(installRows(caller, rows, 1), INSTALL_DAMAGED);
}

TEST(PayloadCheck, ShippedRowsAreIntactAndAnAlteredOneIsNot)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    EXPECT_TRUE(payloadIsIntact(installConfig.files, installConfig.fileCount));
    QueryPerformanceCounter(&end);
    std::printf("checking the payload at start-up: %.2f ms\n",
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    for (int i = 0; i < installConfig.fileCount; ++i) {
        std::vector<PayloadEntry> rows(installConfig.files, installConfig.files + installConfig.fileCount);
        rows[static_cast<size_t>(i)].packedCrc ^= 0x80000000u;
        EXPECT_FALSE(payloadIsIntact(rows.data(), installConfig.fileCount)) << rows[static_cast<size_t>(i)].fileName;
    }
}

TEST_F(Installation, FullDiskGivesTheWriteError)
{
    setFolders("C:\\Full Install", linuxPath(ENGINE_FIXTURES "/full-disk"));
    PayloadEntry rows[2] = {row(UNINSTALL_ROW), row(README_ROW)};
    ASSERT_EQ(entriesIn(installPaths.windowsDir), std::vector<std::string>{rows[0].fileName})
        << "the full disk's file is named after the uninstaller";
    EXPECT_EQ(installRows(caller, rows, 2), INSTALL_WRITE_FAILED);
    EXPECT_FALSE(exists(installedPath(rows[1])));
    EXPECT_LT(caller.done, rows[0].unpackedSize);
}
