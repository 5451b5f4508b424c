// A fuzz of machine states for the engine, driven windowless through the same
// calls the wizard and the uninstaller make. Each case builds a random machine
// in a scratch folder from its seed (candidate install folders and hostile
// things in and around them, a Start Menu of the user's own), runs a random
// sequence of installs, failing and tampered installs, user edits and
// uninstalls on it, and after each operation compares a snapshot of the whole
// scratch folder with the one before and with the install record.
//   engine_fuzz [--seed S] [--cases N]    runs cases 0..N-1 of seed S
//   engine_fuzz --seed S --case K         replays one case, printing its steps
//                                         and the machine before and after each
// Links are made from the Linux side (a Unix symbolic link to a folder is
// what Wine shows as a reparse point): Wine cannot make them from the Windows
// side, but starts Unix programs.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "../shared/recording_caller.h"
#include "engine/install_files.h"
#include "engine/install_record.h"
#include "engine/registration.h"
#include "engine/removal.h"
#include "engine/safe_paths.h"
#include "engine/shortcuts.h"
#include "engine/system_folders.h"
#include "rules/crc32.h"
#include "rules/location_rules.h"
#include "rules/paths.h"

namespace {
const std::wstring scratch = L"C:\\fuzz";
const std::wstring syncFolder = L"C:\\fuzz-sync";
const std::wstring programsFolder = scratch + L"\\Start Menu\\Programs";

std::wstring wide(const std::string& text)
{
    std::wstring out(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()));
    out.resize(length > 0 ? length - 1 : 0);
    return out;
}

std::string narrow(const std::wstring& text)
{
    char out[MAX_PATH * 4];
    return WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr) > 0 ? out : "?";
}

// Paths compare as the file system compares them: without regard to case.
std::wstring keyOf(std::wstring path)
{
    CharLowerBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

bool isAtOrBelow(const std::wstring& path, const std::wstring& folder)
{
    const std::wstring p = keyOf(path);
    const std::wstring f = keyOf(folder);
    return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == L'\\');
}

// The machine as seen from outside: every entry of the scratch folder.
enum EntryKind { ENTRY_FILE, ENTRY_FOLDER, ENTRY_LINK };
struct Entry {
    std::wstring path;
    EntryKind kind;
    uint64_t size;
    uint32_t crc;
    DWORD names;
    FILETIME written;
    DWORD attributes;
};
using Snapshot = std::map<std::wstring, Entry>;

bool measure(const std::wstring& path, uint64_t* size, uint32_t* crc, DWORD* names)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information = {};
    GetFileInformationByHandle(file, &information);
    *names = information.nNumberOfLinks;
    static uint8_t block[65536];
    DWORD read = 0;
    *size = 0;
    *crc = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) {
        *size += read;
        *crc = crc32(block, read, *crc);
    }
    CloseHandle(file);
    return true;
}

// Links are listed, never entered: what they lead to lies in the scratch
// folder too and is listed where it is.
void snapshotFolder(const std::wstring& folder, Snapshot& out, const wchar_t* mask = L"*")
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + mask).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        Entry entry = {folder + L"\\" + name, ENTRY_FILE, 0, 0, 0, found.ftLastWriteTime, found.dwFileAttributes};
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            entry.kind = ENTRY_LINK;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entry.kind = ENTRY_FOLDER;
            snapshotFolder(entry.path, out);
        } else {
            measure(entry.path, &entry.size, &entry.crc, &entry.names);
        }
        out[keyOf(entry.path)] = entry;
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The scratch folder, and the product's files in the Windows folder.
Snapshot takeSnapshot()
{
    Snapshot snapshot;
    snapshotFolder(scratch, snapshot);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        if (installConfig.files[i].flags & FILE_IN_WINDOWS_DIR) {
            snapshotFolder(wide(installPaths.windowsDir), snapshot, wide(installConfig.files[i].fileName).c_str());
        }
    }
    return snapshot;
}

bool sameEntry(const Entry& a, const Entry& b)
{
    if (a.kind != b.kind) {
        return false;
    }
    const DWORD compared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    return a.kind != ENTRY_FILE ||
           (a.size == b.size && a.crc == b.crc && CompareFileTime(&a.written, &b.written) == 0 &&
            (a.attributes & compared) == (b.attributes & compared));
}

void printSnapshot(const Snapshot& snapshot)
{
    for (const auto& [key, entry] : snapshot) {
        const char* kind = entry.kind == ENTRY_LINK ? "link  " : entry.kind == ENTRY_FOLDER ? "folder" : "file  ";
        std::printf("    %s %8llu %08lx %s\n", kind, static_cast<unsigned long long>(entry.size),
                    static_cast<unsigned long>(entry.crc), narrow(entry.path).c_str());
    }
}

struct Recorded {
    std::wstring path;
    RecordItem item;
};
using Record = std::map<std::wstring, Recorded>;

std::string recordKey()
{
    return std::string(publisherKey) + "\\" + installRecordFolderKey + "\\" + installConfig.productName;
}

Record readRecord()
{
    Record record;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, recordKey().c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) {
        return record;
    }
    wchar_t name[MAX_PATH + 1];
    uint8_t data[64];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = MAX_PATH + 1;
        DWORD size = sizeof data;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
            break;
        }
        RecordItem item;
        if (decodeRecordItem(data, size, &item)) {
            record[keyOf(name)] = {name, item};
        }
    }
    RegCloseKey(key);
    return record;
}

// The setup's own: recorded, and a folder, or a file as it was written.
bool isSetups(const Entry& entry, const Record& record)
{
    const auto found = record.find(keyOf(entry.path));
    if (found == record.end()) {
        return false;
    }
    const RecordItem& item = found->second.item;
    return item.kind == RECORD_FOLDER ? entry.kind == ENTRY_FOLDER
                                      : entry.kind == ENTRY_FILE && entry.size == item.size && entry.crc == item.crc;
}

bool lookUp(const Snapshot& snapshot, const std::wstring& path, Entry* entry)
{
    const auto found = snapshot.find(keyOf(path));
    if (found != snapshot.end()) {
        *entry = found->second;
    }
    return found != snapshot.end();
}

void writeFile(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string unixPath(const std::wstring& path)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    static const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName != nullptr ? unixName(path.c_str()) : nullptr;
    std::string out = name != nullptr ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Wine gives no waitable handle of a Unix process: the script, written to
// a file, ends by creating a file that is waited for.
bool runShell(const std::string& script)
{
    static int run = 0;
    const std::wstring done = syncFolder + L"\\done" + std::to_wstring(++run);
    const std::wstring file = syncFolder + L"\\script.sh";
    writeFile(file, script + "\n: > '" + unixPath(done) + "'\n");
    std::wstring line = wide("/bin/sh \"" + unixPath(file) + "\"");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 20000; ++waited) {
        if (DeleteFileW(done.c_str())) {
            return true;
        }
        Sleep(1);
    }
    std::fprintf(stderr, "engine fuzz: the Linux side did not run: %s\n", script.c_str());
    return false;
}

std::string quoted(const std::wstring& path) { return "'" + unixPath(path) + "'"; }

enum OperationKind { OP_INSTALL, OP_INSTALL_BROKEN_ROW, OP_INSTALL_SWAPPED, OP_USER_EDITS, OP_UNINSTALL };
const char* const operationNames[] = {"install", "install, a folder in the way of row",
                                      "install, folder swapped for a link at row", "user edits", "uninstall"};
struct Operation {
    OperationKind kind;
    int candidate;
    int group;
    int row;
};

const char* const typedFolders[] = {
    "C:\\fuzz\\mine",
    "C:\\fuzz\\empty",
    "C:\\fuzz\\nest",
    "C:\\fuzz\\nest\\Tidy Kit\\Tidy Kit",
    "C:\\fuzz\\new\\a b",
    "C:\\fuzz\\new\\Tidy Kit",
    "C:\\fuzz\\new\\Tidy Kit\\Tidy Kit",
    "C:\\fuzz\\blocked",
    "C:\\fuzz\\via",
    "C:\\fuzz\\mine\\Tidy Kit\\docs",
};
// The candidate one level inside or above each, where there is one.
const int nestedPartner[] = {-1, -1, 3, 2, -1, 6, 5, -1, -1, -1};
const char* const groupNames[] = {"Tidy Kit", "Accessories", "Tidy Kit\\Extras", "Tools", "New Group\\Sub"};
constexpr int CANDIDATES = sizeof typedFolders / sizeof typedFolders[0];
static_assert(sizeof nestedPartner / sizeof nestedPartner[0] == CANDIDATES, "a partner or none for each candidate");
constexpr int GROUPS = sizeof groupNames / sizeof groupNames[0];

struct Case {
    uint64_t seed = 0;
    int number = 0;
    std::mt19937 random;
    std::vector<HANDLE> heldFiles;
    int violations = 0;
    std::vector<std::wstring> madeByTest;
    std::wstring lastFolder;
    int operation = 0;

    bool chance(int percent) { return static_cast<int>(random() % 100) < percent; }
    int pick(int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); }
    void violation(const std::string& text)
    {
        std::printf("violation: seed %llu case %d operation %d: %s\n", static_cast<unsigned long long>(seed), number,
                    operation, text.c_str());
        ++violations;
    }
};

void makeFolders(const std::wstring& path)
{
    for (size_t at = scratch.size(); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

// A file that another program holds open, as a running program's is.
void holdOpen(Case& c, const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        c.heldFiles.push_back(file);
    }
}

void releaseHeldFiles(Case& c)
{
    for (HANDLE file : c.heldFiles) {
        CloseHandle(file);
    }
    c.heldFiles.clear();
}

// The machine before the case: nothing of the product, the registry and the
// scratch folder emptied from the Linux side, which follows no link.
void resetMachine()
{
    fillWindowsDir();
    const std::wstring windows = wide(installPaths.windowsDir);
    const std::wstring uninstaller = windows + L"\\" + wide(installConfig.files[0].fileName);
    runShell("rm -rf " + quoted(scratch) + " " + quoted(uninstaller) + " " + quoted(uninstaller + L".removed") +
             "\nmkdir -p " + quoted(scratch));
    closeInstallRecord();
    deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
    deleteRegistryTree(HKEY_LOCAL_MACHINE, (std::string(uninstallListKey) + "\\" + installConfig.productName).c_str());
}

// The random machine: each hostile thing is there or not by the seed.
void buildMachine(Case& c)
{
    const std::wstring outside = scratch + L"\\outside";
    const std::wstring mine = scratch + L"\\mine\\Tidy Kit";
    makeFolders(outside + L"\\linked");
    makeFolders(outside + L"\\group");
    makeFolders(outside + L"\\swapped");
    writeFile(outside + L"\\keep.txt", "the user's file outside");
    writeFile(outside + L"\\linked\\inner.txt", "behind a folder link");
    std::string links;
    auto link = [&](const std::wstring& target, const std::wstring& at) {
        links += "ln -s " + quoted(target) + " " + quoted(at) + "\n";
    };

    makeFolders(mine + L"\\sub");
    makeFolders(mine + L"\\.settings");
    writeFile(mine + L"\\notes.txt", "the user's notes");
    writeFile(mine + L"\\sub\\deep.txt", "deeper notes");
    writeFile(mine + L"\\.settings\\kept.ini", "dot folder");
    writeFile(mine + L"\\scores.DAT", "the user's data");
    writeFile(mine + L"\\letter.txt", "read-only letter", FILE_ATTRIBUTE_READONLY);
    // Full-width look-alikes of a product file, and names whose ANSI form in a
    // two-byte code page ends in the byte of a backslash.
    writeFile(mine + L"\\\xFF34\xFF49\xFF44\xFF59 Kit.exe", "a look-alike");
    writeFile(mine + L"\\\x8868\x30BD.txt", "split by a code page");
    if (c.chance(50)) {
        writeFile(mine + L"\\" + wide(installConfig.files[2].fileName), "not the product's program");
    }
    if (c.chance(40)) {
        writeFile(mine + L"\\" + wide(installConfig.files[6].fileName), "read-only, not the product's",
                  FILE_ATTRIBUTE_READONLY);
    }
    if (c.chance(50)) {
        writeFile(outside + L"\\hard.txt", "one file of two names");
        CreateHardLinkW((mine + L"\\" + wide(installConfig.files[4].fileName)).c_str(),
                        (outside + L"\\hard.txt").c_str(), nullptr);
    }
    if (c.chance(50)) {
        writeFile(outside + L"\\photo.jpg", "a photo of two names");
        CreateHardLinkW((mine + L"\\photo.jpg").c_str(), (outside + L"\\photo.jpg").c_str(), nullptr);
    }
    if (c.chance(50)) {
        link(outside + L"\\linked", mine + L"\\docs");
    }
    if (c.chance(25)) {
        writeFile(mine + L"\\" + wide(installConfig.files[1].fileName), "a running program");
        holdOpen(c, mine + L"\\" + wide(installConfig.files[1].fileName));
    }

    makeFolders(scratch + L"\\empty\\Tidy Kit");
    makeFolders(scratch + L"\\nest\\Tidy Kit");
    writeFile(scratch + L"\\nest\\Tidy Kit\\outer.txt", "the outer folder's file");
    if (c.chance(50)) {
        makeFolders(scratch + L"\\nest\\Tidy Kit\\Tidy Kit");
        writeFile(scratch + L"\\nest\\Tidy Kit\\Tidy Kit\\inner.txt", "the inner folder's file");
    }
    makeFolders(scratch + L"\\new");
    writeFile(scratch + L"\\blocked", "a file in the way of a folder");
    makeFolders(outside + L"\\via");
    link(outside + L"\\via", scratch + L"\\via");

    const std::wstring accessories = programsFolder + L"\\Accessories";
    const std::wstring group = programsFolder + L"\\Tidy Kit";
    makeFolders(accessories);
    writeFile(accessories + L"\\Notepad.lnk", "the user's shortcut");
    if (c.chance(50)) {
        makeFolders(group);
        writeFile(group + L"\\Mine.lnk", "the user's own shortcut in the product's group");
        if (c.chance(50)) {
            writeFile(group + L"\\" + wide(installConfig.files[2].shortcutCaption) + L".lnk", "an earlier shortcut");
        }
        if (c.chance(50)) {
            writeFile(outside + L"\\help.lnk", "a shortcut of two names");
            CreateHardLinkW((group + L"\\" + wide(installConfig.files[3].shortcutCaption) + L".lnk").c_str(),
                            (outside + L"\\help.lnk").c_str(), nullptr);
        }
    }
    if (c.chance(50)) {
        link(outside + L"\\group", programsFolder + L"\\Tools");
    }
    runShell(links);
}

// Rounds of an operation on the product, each often followed by the user's
// own work in its folder, and an uninstall at the end as often as not. The
// next folder is the same one, or one level inside or above it, as often as
// another.
std::vector<Operation> drawOperations(Case& c)
{
    std::vector<Operation> operations;
    int candidate = c.pick(CANDIDATES);
    for (int rounds = 2 + c.pick(4); rounds > 0; --rounds) {
        Operation operation = {};
        const int kind = c.pick(100);
        operation.kind = kind < 55   ? OP_INSTALL
                         : kind < 72 ? OP_INSTALL_BROKEN_ROW
                         : kind < 88 ? OP_INSTALL_SWAPPED
                                     : OP_UNINSTALL;
        operation.candidate = candidate;
        operation.group = c.chance(60) ? 0 : c.pick(GROUPS);
        operation.row = c.pick(installConfig.fileCount);
        operations.push_back(operation);
        if (c.chance(50)) {
            operations.push_back({OP_USER_EDITS, candidate, 0, 0});
        }
        const int next = c.pick(100);
        candidate = next < 35                                    ? candidate
                    : next < 70 && nestedPartner[candidate] >= 0 ? nestedPartner[candidate]
                                                                 : c.pick(CANDIDATES);
    }
    if (c.chance(70)) {
        operations.push_back({OP_UNINSTALL, candidate, 0, 0});
    }
    return operations;
}

// The location page's judgement of a typed folder: the rules, then the system.
std::wstring rowPath(const PayloadEntry& row) { return wide(installedPath(row)); }
std::wstring shortcutPath(const PayloadEntry& row)
{
    return programsFolder + L"\\" + wide(installPaths.groupName) + L"\\" + wide(row.shortcutCaption) + L".lnk";
}

// A machine value's text, or the empty text when it or its key is missing.
std::string machineText(const std::string& key, const char* name)
{
    char value[PATH_BUFFER_SIZE] = "";
    DWORD size = sizeof value - 1;
    HKEY opened;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &opened) == ERROR_SUCCESS) {
        RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
        RegCloseKey(opened);
    }
    return value;
}
std::string publisherValue() { return machineText(publisherKey, installConfig.productName); }
bool uninstallEntryExists()
{
    return !machineText(std::string(uninstallListKey) + "\\" + installConfig.productName, programPathValue).empty();
}

// What an operation may change that is not the setup's by the record before it.
struct Allowance {
    std::vector<std::wstring> replaced; // the rows' files and the shortcuts, replaced by design
    std::wstring clearedFolder;         // a reinstall into the folder the setup created clears below it
};

bool isAllowed(const Allowance& allowance, const Entry& entry)
{
    for (const std::wstring& path : allowance.replaced) {
        if (keyOf(path) == keyOf(entry.path)) {
            return true;
        }
    }
    if (allowance.clearedFolder.empty() || entry.kind != ENTRY_FILE ||
        !isAtOrBelow(entry.path, allowance.clearedFolder)) {
        return false;
    }
    const std::wstring below = entry.path.substr(allowance.clearedFolder.size());
    return below.find(L"\\.") == std::wstring::npos && shouldDeleteOnClear(below.c_str() + below.rfind(L'\\') + 1);
}

std::string describeResult(InstallResult result)
{
    const char* const names[] = {"done", "stopped", "record failed", "create failed", "write failed", "damaged"};
    return names[result];
}

struct Outcome {
    std::string text;
    Allowance allowance;
    bool installed = false;      // installFiles reported every row handled
    bool shortcutsMade = false;  // createShortcuts reported success
    bool uninstalled = false;    // the uninstaller ran its steps
    bool nothingChanged = false; // stopped before its first change
};

void installInto(Case& c, const Operation& operation, const Record& recordBefore, Outcome& outcome)
{
    char folder[PATH_BUFFER_SIZE];
    const LocationProblem problem = judgeInstallLocation(typedFolders[operation.candidate], folder);
    outcome.text = std::string(typedFolders[operation.candidate]);
    if (problem != LOCATION_ACCEPTED) {
        outcome.text += ": refused by the location page";
        outcome.nothingChanged = true;
        return;
    }
    lstrcpyA(installPaths.installDir, folder);
    c.lastFolder = wide(folder);
    lstrcpyA(installPaths.groupName, groupNames[operation.group]);
    fillWindowsDir();
    fillProgramsDir();
    const std::wstring installFolder = wide(folder);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        outcome.allowance.replaced.push_back(rowPath(installConfig.files[i]));
        if (i < installConfig.shortcutCount) {
            outcome.allowance.replaced.push_back(shortcutPath(installConfig.files[i]));
        }
    }
    const auto folderItem = recordBefore.find(keyOf(installFolder));
    if (compareNoCase(publisherValue().c_str(), folder) == 0 && folderItem != recordBefore.end() &&
        folderItem->second.item.kind == RECORD_FOLDER) {
        outcome.allowance.clearedFolder = installFolder;
    }
    const PayloadEntry& row = installConfig.files[operation.row];
    RecordingCaller caller;
    caller.onStep = [&](int step) {
        if (step != operation.row || (row.flags & FILE_IN_WINDOWS_DIR) != 0) {
            return;
        }
        if (operation.kind == OP_INSTALL_BROKEN_ROW && CreateDirectoryW(rowPath(row).c_str(), nullptr)) {
            c.madeByTest.push_back(rowPath(row));
        }
        // The held folder cannot be renamed: were it, the link would take its place.
        if (operation.kind == OP_INSTALL_SWAPPED &&
            MoveFileW(installFolder.c_str(), (scratch + L"\\outside\\swapped\\aside").c_str())) {
            c.madeByTest.push_back(installFolder);
            runShell("ln -s " + quoted(scratch + L"\\outside\\swapped") + " " + quoted(installFolder));
        }
    };
    closeInstallRecord();
    const InstallResult result = installFiles(caller);
    outcome.text +=
        " -> " + std::string(folder) + ", group " + groupNames[operation.group] + ": " + describeResult(result);
    outcome.installed = result == INSTALL_DONE;
    outcome.nothingChanged = result == INSTALL_STOPPED;
    if (result == INSTALL_DONE) {
        RecordingCaller shortcutCaller;
        outcome.shortcutsMade = createShortcuts(shortcutCaller);
        registerInstallation();
        outcome.text += outcome.shortcutsMade ? ", shortcuts made" : ", no shortcuts";
    }
    closeInstallRecord();
}

void uninstall(Outcome& outcome)
{
    leftBehind = {};
    keptFolders = {};
    closeInstallRecord();
    if (!readInstallation()) {
        outcome.text = leftBehind.count != 0 ? "not installed; an unfinished setup's files named" : "not installed";
        outcome.nothingChanged = true;
    } else if (const char* inUse = findFileInUse()) {
        outcome.text = std::string("stopped: in use: ") + inUse;
        outcome.nothingChanged = true;
        abandonRemoval();
    } else {
        for (int step = 0; step < removalStepCount(); ++step) {
            runRemovalStep(step);
        }
        outcome.uninstalled = true;
        outcome.text = leftBehind.count == 0 ? "removed" : "left: " + std::string(leftBehind.text);
        if (keptFolders.count != 0) {
            outcome.text += "; kept: " + std::string(keptFolders.text);
        }
        for (char& ch : outcome.text) {
            ch = (ch == '\r' || ch == '\n') ? ' ' : ch;
        }
    }
    closeInstallRecord();
}

// The user works in the folder of the last installation: changes a product
// file, adds files of their own, starts a product program or closes it.
void userEdits(Case& c, Outcome& outcome)
{
    const std::wstring& folder = c.lastFolder;
    outcome.text = "in " + narrow(folder) + ":";
    if (folder.empty() || GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        outcome.text += " nothing to edit";
        return;
    }
    const PayloadEntry& row = installConfig.files[1 + c.pick(installConfig.fileCount - 1)];
    const std::wstring path = folder + L"\\" + wide(row.fileName);
    if (c.chance(60) && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, " (changed)", 10, &written, nullptr);
        CloseHandle(file);
        outcome.text += " changed " + std::string(row.fileName) + ";";
    }
    if (c.chance(60)) {
        makeFolders(folder + L"\\My Stuff");
        writeFile(folder + L"\\My Stuff\\mine.txt", "the user's file in the product's folder");
        writeFile(folder + L"\\journal.txt", "the user's journal");
        writeFile(folder + L"\\saved.CPI", "the user's data of the product");
        writeFile(folder.substr(0, folder.rfind(L'\\')) + L"\\beside.txt",
                  "the user's file beside the product's folder");
        // A clearing of the folder must enter neither, nor delete through them.
        CreateHardLinkW((folder + L"\\kept.txt").c_str(), (scratch + L"\\outside\\keep.txt").c_str(), nullptr);
        runShell("ln -sfn " + quoted(scratch + L"\\outside\\linked") + " " + quoted(folder + L"\\Linked"));
        outcome.text += " added files and links;";
    }
    // Someone moves the folder away and leaves a link in its place, to a
    // folder that holds a copy of a product file.
    const std::wstring swapped = scratch + L"\\outside\\swapped";
    const std::wstring program = L"\\" + wide(installConfig.files[2].fileName);
    if (c.chance(15) && MoveFileW(folder.c_str(), (swapped + L"\\moved").c_str())) {
        CopyFileW((swapped + L"\\moved" + program).c_str(), (swapped + program).c_str(), FALSE);
        runShell("ln -s " + quoted(swapped) + " " + quoted(folder));
        outcome.text += " replaced the folder with a link;";
    } else if (c.chance(30)) {
        holdOpen(c, folder + program);
        outcome.text += " started the program;";
    } else if (c.chance(50)) {
        releaseHeldFiles(c);
        outcome.text += " closed the programs;";
    }
}

bool namedByUninstaller(const std::wstring& path)
{
    for (const PathList* list : {&leftBehind, &keptFolders}) {
        const std::wstring text = wide(list->text);
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find(L"\r\n", at);
            end = end == std::wstring::npos ? text.size() : end;
            const std::wstring named = text.substr(at, end - at);
            // A folder above a named one holds what is named.
            if (isAtOrBelow(path, named) || isAtOrBelow(named, path)) {
                return true;
            }
            at = end + 2;
        }
    }
    return leftBehind.unlisted + keptFolders.unlisted > 0;
}

void checkOperation(Case& c, const Outcome& outcome, const Snapshot& before, const Record& recordBefore,
                    const Snapshot& after, const Record& recordAfter)
{
    // What is not the setup's stays as it was, behind links and outside the
    // install folder too; after an operation that reports no change, all of it.
    for (const auto& [key, entry] : before) {
        if (!outcome.nothingChanged && (isSetups(entry, recordBefore) || isAllowed(outcome.allowance, entry))) {
            continue;
        }
        const auto now = after.find(key);
        if (now == after.end()) {
            c.violation("the user's " + narrow(entry.path) + " is gone");
        } else if (!sameEntry(entry, now->second)) {
            c.violation("the user's " + narrow(entry.path) + " was changed");
        }
    }
    // Whatever appeared is recorded as the setup's.
    for (const auto& [key, entry] : after) {
        const bool ours = std::any_of(c.madeByTest.begin(), c.madeByTest.end(),
                                      [&](const std::wstring& path) { return isAtOrBelow(entry.path, path); });
        if (before.count(key) == 0 && recordAfter.count(key) == 0 && !ours) {
            c.violation(narrow(entry.path) + " appeared but is not recorded");
        }
    }
    // The record and the disk agree, unless the user changed or moved the
    // entry before the operation and the operation left it so.
    for (const auto& [key, recorded] : recordAfter) {
        Entry now;
        Entry then;
        const bool there = lookUp(after, recorded.path, &now);
        const bool agrees = recorded.item.kind == RECORD_FOLDER ? there && now.kind == ENTRY_FOLDER
                                                                : there && isSetups(now, recordAfter);
        const auto earlier = recordBefore.find(key);
        const RecordItem* item = earlier != recordBefore.end() ? &earlier->second.item : nullptr;
        const bool sameItem = item != nullptr && item->kind == recorded.item.kind && item->size == recorded.item.size &&
                              item->crc == recorded.item.crc;
        const bool wasThere = lookUp(before, recorded.path, &then);
        if (!agrees && !(sameItem && wasThere == there && (!there || sameEntry(then, now)))) {
            // A file that could not be read has no name count.
            const std::string found = !there                   ? "nothing"
                                      : now.kind != ENTRY_FILE ? "a folder or link"
                                      : now.names == 0         ? "a file that could not be read"
                                                               : "a file of " + std::to_string(now.size) + " bytes";
            c.violation("the record names " + narrow(recorded.path) + ", where " + found + " is on the disk");
        }
    }
    if (outcome.nothingChanged && recordBefore.size() != recordAfter.size()) {
        c.violation("an operation that reported no change changed the record");
    }
    // No success is reported for work undone.
    for (int i = 0; outcome.installed && i < installConfig.fileCount; ++i) {
        const PayloadEntry& row = installConfig.files[i];
        Entry now;
        if (!lookUp(after, rowPath(row), &now) || now.kind != ENTRY_FILE ||
            (now.size != row.unpackedSize || now.crc != row.unpackedCrc)) {
            c.violation("installed, but " + installedPath(row) + " is not the product's file");
        }
    }
    for (int i = 0; outcome.shortcutsMade && i < installConfig.shortcutCount; ++i) {
        Entry then;
        Entry now;
        const std::wstring path = shortcutPath(installConfig.files[i]);
        const bool passedOver = lookUp(before, path, &then) && (then.kind != ENTRY_FILE || then.names != 1);
        if (!passedOver && !(lookUp(after, path, &now) && isSetups(now, recordAfter))) {
            c.violation("shortcuts made, but " + narrow(path) + " is not a recorded shortcut");
        }
    }
    if (outcome.installed && outcome.shortcutsMade && !uninstallEntryExists()) {
        c.violation("installed, but there is no uninstall entry");
    }
    if (!outcome.uninstalled) {
        return;
    }
    // After an uninstall nothing of the setup's is left unnamed. One that left
    // something behind keeps its record for a later run, and names the
    // folders kept for the user only once nothing else is left.
    for (const auto& [key, recorded] : recordBefore) {
        Entry then;
        Entry now;
        if ((leftBehind.count == 0 || recorded.item.kind != RECORD_FOLDER) && lookUp(before, recorded.path, &then) &&
            isSetups(then, recordBefore) && lookUp(after, recorded.path, &now) && isSetups(now, recordBefore) &&
            !namedByUninstaller(recorded.path)) {
            c.violation("uninstalled, but the setup's " + narrow(recorded.path) + " is left and not named");
        }
    }
    if (leftBehind.count == 0 && (uninstallEntryExists() || !publisherValue().empty() || !readRecord().empty())) {
        c.violation("uninstalled with nothing left, but the product's registry keys remain");
    }
}

// The violations found; the operations run are added to operationsRun.
int runCase(uint64_t seed, int number, bool verbose, int* operationsRun)
{
    Case c;
    c.seed = seed;
    c.number = number;
    std::seed_seq seeds = {static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32),
                           static_cast<uint32_t>(number)};
    c.random.seed(seeds);
    resetMachine();
    buildMachine(c);
    const std::vector<Operation> operations = drawOperations(c);
    for (const Operation& operation : operations) {
        ++c.operation;
        c.madeByTest.clear();
        const Snapshot before = takeSnapshot();
        const Record recordBefore = readRecord();
        Outcome outcome;
        switch (operation.kind) {
        case OP_USER_EDITS:
            userEdits(c, outcome);
            break;
        case OP_UNINSTALL:
            uninstall(outcome);
            break;
        default:
            installInto(c, operation, recordBefore, outcome);
            break;
        }
        const Snapshot after = takeSnapshot();
        if (verbose) {
            std::printf("case %d operation %d: %s", number, c.operation, operationNames[operation.kind]);
            if (operation.kind == OP_INSTALL_BROKEN_ROW || operation.kind == OP_INSTALL_SWAPPED) {
                std::printf(" %d", operation.row);
            }
            std::printf(": %s\n  before:\n", outcome.text.c_str());
            printSnapshot(before);
            std::printf("  after:\n");
            printSnapshot(after);
        }
        if (operation.kind != OP_USER_EDITS) {
            checkOperation(c, outcome, before, recordBefore, after, readRecord());
        }
    }
    releaseHeldFiles(c);
    *operationsRun += static_cast<int>(operations.size());
    return c.violations;
}

// The Start Menu's programs folder lies in the scratch folder, so that the
// user's groups are made anew for each case and snapshot with the rest.
void redirectProgramsFolder()
{
    constexpr char explorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    for (const char* key : {"User Shell Folders", "Shell Folders"}) {
        setRegistryText(HKEY_CURRENT_USER, (std::string(explorerKey) + key).c_str(), "Programs",
                        narrow(programsFolder).c_str());
    }
}
} // namespace

int main(int argc, char** argv)
{
    uint64_t seed = 1;
    int cases = 100;
    int only = -1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--seed") {
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (option == "--cases") {
            cases = std::atoi(argv[i + 1]);
        } else if (option == "--case") {
            only = std::atoi(argv[i + 1]);
        }
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    // The Linux side empties the scratch folder by its Unix path: without one
    // that quotes safely, nothing runs.
    const std::string scratchOnLinux = unixPath(scratch);
    if (scratchOnLinux.empty() || scratchOnLinux.find('\'') != std::string::npos) {
        std::printf("engine fuzz: runs under Wine only, in a prefix whose path holds no quote\n");
        return 2;
    }
    CreateDirectoryW(syncFolder.c_str(), nullptr);
    redirectProgramsFolder();
    fillWindowsDir();
    const auto start = std::chrono::steady_clock::now();
    int violations = 0;
    int operations = 0;
    int run = 0;
    for (int number = only >= 0 ? only : 0; number < (only >= 0 ? only + 1 : cases); ++number, ++run) {
        violations += runCase(seed, number, only >= 0, &operations);
        // A long run shows that it goes on.
        if ((run + 1) % 500 == 0) {
            std::printf("engine fuzz: %d cases, %d violations so far\n", run + 1, violations);
        }
    }
    resetMachine();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("engine fuzz: seed %llu, %d cases, %d operations, %d violations, %.1f cases per second\n",
                static_cast<unsigned long long>(seed), run, operations, violations, run / seconds);
    return violations == 0 ? 0 : 1;
}
