// Faults of the machine and of the setup's own data: a file held open by
// another program, read-only files and folders of an earlier installation,
// a full disk, a Start Menu programs folder gone or empty, odd registry
// values and a damaged payload. Each ends with a clear message or a working
// installation, and touches nothing beyond the folders the setup writes to.
#include "../shared/machine_helpers.h"
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {
constexpr char writeFailed[] = "Unable to write destination file!\r\nInstallation will now be aborted.";
constexpr char damaged[] = "Installation data is damaged!\r\nInstallation will now be aborted.";

std::string contentsOf(const std::string& path)
{
    std::string contents;
    return readFile(path, contents) ? contents : "<unreadable>";
}

std::string inInstallFolder(const std::string& name) { return defaultFolder + "\\" + name; }

// The installed file of a row in the default folder, and its name.
std::string installedRow(int row) { return rowPath(installConfig.files[row], defaultFolder); }
const char* rowName(int row) { return installConfig.files[row].fileName; }

// The installed file holds exactly the bytes the build packed for its row.
void expectInstalledWhole(int row)
{
    expect(holdsPayload(contentsOf(installedRow(row)), installConfig.files[row]), "%s holds the bytes of its row",
           installedRow(row).c_str());
}

// Every row before the given one, as added.
std::vector<std::string> addedBefore(int row)
{
    std::vector<std::string> added;
    for (const std::string& path : rowPathsBefore(row, defaultFolder)) {
        added.push_back("added " + path);
    }
    return added;
}

// Every change on drive C: since the setup was started, as "kind path", in
// lower case and sorted, compared with the expected ones.
void expectChanges(std::vector<std::string> expected)
{
    std::vector<std::string> seen;
    for (const FileChange& change : changedFiles(machineBeforeSetup(), snapshotDriveC())) {
        seen.push_back(lowerCase(change.kind + " " + change.path));
    }
    for (std::string& line : expected) {
        line = lowerCase(line);
    }
    std::sort(seen.begin(), seen.end());
    std::sort(expected.begin(), expected.end());
    std::string listed;
    for (const std::string& line : seen) {
        listed += "\n       " + line;
    }
    expect(seen == expected, "drive C: changed only where expected:%s", listed.empty() ? " nothing" : listed.c_str());
}

HWND continueToInstalling(HWND location)
{
    expectText(controlText(location, IDC_LOCATION_EDIT), defaultFolder, "the proposed folder");
    click(location, IDOK);
    return waitForWindow("#32770", installingCaption.c_str());
}

// A payload resource by name, and what a change makes of its bytes.
using ResourceChange = std::pair<const char*, std::function<std::string(const std::string&)>>;

struct ResourceFound {
    WORD language = 0;
    std::string bytes;
};

BOOL CALLBACK takeLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found)
{
    reinterpret_cast<ResourceFound*>(found)->language = language;
    return FALSE;
}

ResourceFound payloadResource(HMODULE module, const char* name)
{
    ResourceFound found;
    EnumResourceLanguagesA(module, RT_RCDATA, name, takeLanguage, reinterpret_cast<LONG_PTR>(&found));
    HRSRC resource = FindResourceExA(module, RT_RCDATA, name, found.language);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    if (loaded == nullptr) {
        fail("the payload resource %s is not in the setup", name);
    }
    found.bytes.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, resource));
    return found;
}

// A copy of the setup in C:\Copies with the changed payload resources, made
// with the system's resource updater; the scenario's setup from now on.
void useChangedCopy(const char* copyName, const std::vector<ResourceChange>& changes)
{
    CreateDirectoryA("C:\\Copies", nullptr);
    const std::string copy = std::string("C:\\Copies\\") + copyName;
    if (!CopyFileA(driverOptions.setupPath.c_str(), copy.c_str(), FALSE)) {
        fail("the setup could not be copied to %s", copy.c_str());
    }
    std::vector<ResourceFound> found;
    HMODULE original = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (const ResourceChange& change : changes) {
        found.push_back(payloadResource(original, change.first));
    }
    FreeLibrary(original);
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    for (size_t i = 0; i < changes.size(); ++i) {
        std::string bytes = changes[i].second(found[i].bytes);
        note("%s: %lu bytes become %lu", changes[i].first, static_cast<unsigned long>(found[i].bytes.size()),
             static_cast<unsigned long>(bytes.size()));
        if (!UpdateResourceA(update, RT_RCDATA, changes[i].first, found[i].language, bytes.data(),
                             static_cast<DWORD>(bytes.size()))) {
            fail("the resource %s could not be replaced", changes[i].first);
        }
    }
    if (!EndUpdateResourceA(update, FALSE)) {
        fail("the changed copy %s could not be written (error %lu)", copy.c_str(),
             static_cast<unsigned long>(GetLastError()));
    }
    HMODULE changed = LoadLibraryExA(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (size_t i = 0; i < changes.size(); ++i) {
        expect(payloadResource(changed, changes[i].first).bytes == changes[i].second(found[i].bytes),
               "the copy holds the changed %s", changes[i].first);
    }
    FreeLibrary(changed);
    useSetupProgram(copy);
}

// Bytes of the same count as the packed ones that no packer made.
std::string filled(const std::string& packed, char value) { return std::string(packed.size(), value); }

std::string noise(const std::string& packed)
{
    std::string bytes(packed.size(), '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string flipped(std::string packed)
{
    for (size_t i = 0; i < packed.size(); i += 7) {
        packed[i] = static_cast<char>(packed[i] ^ 0x5A);
    }
    return packed;
}

// An earlier installation of the default folder, as recorded.
void makeEarlierInstallation()
{
    CreateDirectoryA(defaultInstallRoot, nullptr);
    CreateDirectoryA(defaultFolder.c_str(), nullptr);
    writeFile(installedRow(programRow()), "the working program");
    writeFile(inInstallFolder(dataFileName("Scores")), "the user's scores");
    recordEarlierInstallation(defaultFolder);
}

// A damaged setup says so before its welcome dialog, with the abort warning
// after, and ends with drive C: as it was.
void expectRefusedAsDamaged()
{
    const FileSnapshot before = snapshotDriveC();
    startSetup();
    MessageBoxSeen box = waitForMessageBox(20000);
    step("damaged");
    expectText(box.text, damaged, "the error box");
    expectText(box.caption, "Setup Mate", "its caption");
    expectMessageBoxIcon(box, IDI_ERROR);
    answerMessageBox(box, IDOK);
    expectAborted();
    SeenWindow welcome;
    expect(!findSeenWindow("InstallDlg", nullptr, welcome), "no welcome dialog was shown");
    const std::vector<FileChange> changes = changedFiles(before, snapshotDriveC());
    expect(changes.empty(), "nothing on drive C: changed: %s", changes.empty() ? "" : changes.front().path.c_str());
    expectNothingRegistered();
}

// A previous-folder value stored with exactly these bytes and this type.
void storePreviousFolder(DWORD type, const std::string& bytes)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, publisherKey, 0, nullptr, 0,
                        KEY_ALL_ACCESS | registryView(HKEY_LOCAL_MACHINE), nullptr, &key, nullptr) != ERROR_SUCCESS) {
        fail("the publisher key could not be created");
    }
    RegSetValueExA(key, installConfig.productName, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
}
} // namespace

SCENARIO(install_file_held_open, 120)
{
    // An earlier installation whose read-me is still open: another process
    // holds its file without sharing, as a running program holds its own.
    // The setup asks to close it before it changes anything; Cancel ends the
    // setup with the machine as it was.
    CreateDirectoryA(defaultInstallRoot, nullptr);
    CreateDirectoryA(defaultFolder.c_str(), nullptr);
    const std::string held = installedRow(README_ROW);
    writeFile(held, "the open read-me");
    writeFile(inInstallFolder(dataFileName("Scores")), "the user's scores");
    writeFile(inInstallFolder("Notes.txt"), "left by the earlier installation");
    recordEarlierInstallation(defaultFolder);
    HANDLE running = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (running == INVALID_HANDLE_VALUE) {
        fail("%s could not be held open", held.c_str());
    }
    HWND page = continueToInstalling(startToLocationPage());
    MessageBoxSeen inUse = waitForMessageBox(30000);
    step("in-use");
    expectText(inUse.text,
               held + withProductName("\r\nis in use by another program.\r\n\r\nClose %s and any window that uses "
                                      "this file, then choose Retry. Cancel ends the setup; nothing has been changed."),
               "the question names the open file");
    expect(GetWindow(inUse.window, GW_OWNER) == page, "the installing page owns it");
    expectMessageBoxIcon(inUse, IDI_WARNING);
    answerMessageBox(inUse, IDCANCEL);
    expectAborted();
    expectNothingRegistered();
    CloseHandle(running);
    expectChanges({});
    expect(!exists(programsFolder() + "\\" + installConfig.productName), "no group is created");
}

SCENARIO(install_read_only, 150)
{
    // An earlier installation with read-only files, in a folder marked
    // read-only as Explorer's properties mark one. The mark on a folder does
    // not keep files from being made in it; Wine does not even keep it, and
    // as root no Unix permission stops a write either, so a folder that
    // refuses new files is left to install_destination_fails.
    const std::string data = inInstallFolder("Data");
    CreateDirectoryA(defaultInstallRoot, nullptr);
    CreateDirectoryA(defaultFolder.c_str(), nullptr);
    CreateDirectoryA(data.c_str(), nullptr);
    const std::string program = installedRow(programRow());
    const std::string old = inInstallFolder("Old.txt");
    const std::string stale = data + "\\stale.tmp";
    const std::string key = data + "\\" + dataFileName("Registration");
    for (const std::string& path : {program, old, stale, key}) {
        writeFile(path, "from the earlier installation");
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    for (const std::string& folder : {defaultFolder, data}) {
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
        note("%s: attributes 0x%lx after marking it read-only", folder.c_str(),
             static_cast<unsigned long>(GetFileAttributesA(folder.c_str())));
    }
    expect(GetFileAttributesA(program.c_str()) & FILE_ATTRIBUTE_READONLY, "the earlier files are read-only");
    recordEarlierInstallation(defaultFolder);

    HWND group = installToGroupPage(startToLocationPage());
    finishInstallation(group);

    expect(!exists(old) && !exists(stale), "the read-only files are deleted, in the subfolder too");
    expectText(contentsOf(key), "from the earlier installation", "the read-only data file survives");
    expect(GetFileAttributesA(key.c_str()) & FILE_ATTRIBUTE_READONLY, "and stays read-only");
    expectInstalledWhole(programRow());
    expect(!(GetFileAttributesA(program.c_str()) & FILE_ATTRIBUTE_READONLY), "and is no longer read-only");
    expectNumber(static_cast<long long>(entriesIn(defaultFolder).size()), installFolderRowCount(),
                 "files in the install folder");
    expectNumber(static_cast<long long>(entriesIn(programsFolder() + "\\" + installConfig.productName).size()),
                 installConfig.shortcutCount, "shortcuts made");
}

// tests/e2e/prepare/install_disk_full.sh leaves an earlier installation whose
// data row's file links to /dev/full: clearing keeps it as a data file, and
// every write to it fails as on a full disk.
SCENARIO(install_disk_full, 120)
{
    // Wine lists the link but gives no attributes for a device.
    const int full = dataRow();
    const std::vector<std::string> earlier = entriesIn(defaultFolder);
    if (std::find(earlier.begin(), earlier.end(), rowName(full)) == earlier.end()) {
        fail("the link to /dev/full is missing: run this scenario through tests/e2e/run.sh");
    }
    writeFile(inInstallFolder(dataFileName("Licence")), "the user's key");
    recordEarlierInstallation(defaultFolder);
    HWND page = continueToInstalling(startToLocationPage());
    expectInstallationStops(page, writeFailed, rowNumber(full).c_str());

    expectText(contentsOf(inInstallFolder(dataFileName("Licence"))), "the user's key", "the data file survives");
    expectInstalledWhole(firstInstallFolderRow());
    expectChanges(addedBefore(full));
}

SCENARIO(group_start_menu_gone_then_empty, 150)
{
    // The programs folder removed: the installation stops on the group page.
    const std::string programs = programsFolder();
    const std::string aside = "C:\\Programs aside";
    if (!MoveFileA(programs.c_str(), aside.c_str())) {
        fail("the programs folder could not be moved aside");
    }
    click(startToLocationPage(), IDOK);
    MessageBoxSeen error = waitForMessageBox(30000);
    step("start-menu-gone");
    expectText(error.text, "Unable to locate the Start Menu!", "the error box");
    answerMessageBox(error, IDOK);
    expectAborted();
    expect(!exists(programs), "the programs folder is not made");
    stopSetup();

    // Made again without subfolders; a file in it is no group.
    CreateDirectoryA(programs.c_str(), nullptr);
    writeFile(programs + "\\Loose.lnk", "a file, not a group");
    HWND group = installToGroupPage(startToLocationPage());
    step("group-empty");
    HWND box = control(group, IDC_GROUP_BOX);
    expectNumber(SendMessageA(box, CB_GETCOUNT, 0, 0), 0, "groups listed");
    expectNumber(SendMessageA(box, CB_GETCURSEL, 0, 0), CB_ERR, "no group selected");
    const std::string name = installConfig.productName;
    expectText(controlText(group, IDC_GROUP_BOX), name, "the proposed group");
    click(group, IDC_RESET_GROUP);
    waitUntil([&] { return controlText(group, IDC_GROUP_BOX) == name; }, 3000);
    expectText(controlText(group, IDC_GROUP_BOX), name, "\"Reset Group\" proposes it again");
    finishInstallation(group);

    expect(entriesIn(programs, true) == std::vector<std::string>{name}, "the group is the only subfolder");
    expectNumber(static_cast<long long>(entriesIn(programs + "\\" + name).size()), installConfig.shortcutCount,
                 "shortcuts made");
}

// Values that no installation of this setup wrote, left by another program
// or a damaged registry: the location page proposes the default folder for
// those it cannot take as a folder, and never shows bytes past the value.
SCENARIO(location_registry_oddities, 200)
{
    const std::string fits = "D:\\" + std::string(252, 'f');
    const std::string longer = "D:\\" + std::string(253, 'l');
    const std::string name = installConfig.productName;
    struct Odd {
        const char* what;
        DWORD type;
        std::string bytes;
        std::string proposed;
    };
    const std::vector<Odd> odds = {
        {"a REG_DWORD", REG_DWORD, std::string("\x44\x3a\x5c\x00", 4), defaultFolder},
        {"a REG_BINARY holding a folder", REG_BINARY, "D:\\Bin\\" + name + '\0', defaultFolder},
        {"a REG_EXPAND_SZ", REG_EXPAND_SZ, "%SystemDrive%\\" + name + '\0', defaultFolder},
        {"255 characters and the NUL", REG_SZ, fits + '\0', fits},
        {"256 characters and the NUL", REG_SZ, longer + '\0', defaultFolder},
        {"256 characters without a NUL", REG_SZ, longer, defaultFolder},
        {"a folder without its NUL", REG_SZ, "D:\\Tools\\" + name, "D:\\Tools\\" + name},
        {"a lone NUL", REG_SZ, std::string(1, '\0'), ""},
        {"no bytes", REG_SZ, "", ""},
    };
    HWND location = nullptr;
    for (const Odd& odd : odds) {
        if (location) {
            click(location, IDCANCEL);
            expectAborted();
            stopSetup();
        }
        storePreviousFolder(odd.type, odd.bytes);
        location = startToLocationPage();
        expectText(controlText(location, IDC_LOCATION_EDIT), odd.proposed,
                   (std::string("the folder proposed for ") + odd.what).c_str());
    }
    step("empty-value");
    expectNumber(SendMessageA(control(location, IDC_FOLDER_LIST), LB_GETCOUNT, 0, 0), 1,
                 "rows listed for the empty value: the computer alone");

    // The empty proposal is refused; a typed folder installs as usual and
    // replaces the odd value.
    click(location, IDOK);
    MessageBoxSeen refusal = waitForMessageBox();
    expectText(refusal.text, "Path Invalid!\r\n\r\nPath may not be empty!", "\"Continue\" on the empty proposal");
    answerMessageBox(refusal, IDOK);
    typeFolder(location, "C:\\Apps");
    finishInstallation(installToGroupPage(location));
    std::string recorded = "<no string>";
    readRegistryString(HKEY_LOCAL_MACHINE, publisherKey, name.c_str(), recorded);
    expectText(recorded, "C:\\Apps\\" + name, "the folder the installation records, as a string");
    expect(exists(rowPath(installConfig.files[programRow()], "C:\\Apps\\" + name)), "the program is installed");
}

SCENARIO(install_payload_truncated, 60)
{
    useChangedCopy("Truncated.exe", {{installConfig.files[programRow()].resourceName,
                                      [](const std::string& packed) { return packed.substr(0, packed.size() / 2); }}});
    expectRefusedAsDamaged();
}

SCENARIO(install_payload_altered, 60)
{
    // An earlier installation that works, and packed data of the right sizes
    // that no packer made: the setup refuses before it touches either.
    makeEarlierInstallation();
    const auto resource = [](int row) { return installConfig.files[row].resourceName; };
    useChangedCopy("Altered.exe",
                   {{resource(UNINSTALL_ROW), [](const std::string& packed) { return filled(packed, '\0'); }},
                    {resource(programRow()), [](const std::string& packed) { return filled(packed, '\xFF'); }},
                    {resource(dataRow()), noise},
                    {resource(README_ROW), flipped}});
    expectRefusedAsDamaged();
    expectText(contentsOf(installedRow(programRow())), "the working program", "the earlier program");
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName), defaultFolder,
               "the recorded folder");
}
