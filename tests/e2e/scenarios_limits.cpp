// Every fixed-size path and text at its boundary, end to end: the typed
// location, the group name, the subfolder rows, the target paths of the
// payload rows, the clearing of a tree deeper than MAX_PATH, the read-me
// command line, and a folder link inside an earlier installation.
//
// The setup's buffers: a path holds 255 characters; a joined path ends with
// two NULs, so one of MAX_PATH bytes takes 258 characters; the read-me
// command line is built the same way in 260 bytes.
#include "../shared/machine_helpers.h"
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
constexpr char tooLong[] = "Path is too long!";
const std::string product = installConfig.productName;
const PayloadEntry& readMeRow = installConfig.files[README_ROW];
// The quoted viewer path and a space, then the quotes, the backslash and
// the read-me's name around the install folder.
size_t readMeCommandOverhead()
{
    return (windowsFolder() + "\\Notepad.exe").size() + 3 + 3 + strlen(readMeRow.fileName);
}

// The install-folder row with the longest name, the first of that length:
// every row before it has a shorter target.
int longestInstallFolderRow()
{
    int longest = firstInstallFolderRow();
    for (int row = longest + 1; row < installConfig.fileCount; ++row) {
        const PayloadEntry& entry = installConfig.files[row];
        longest = isInInstallFolder(entry) && strlen(entry.fileName) > strlen(installConfig.files[longest].fileName)
                      ? row
                      : longest;
    }
    return longest;
}

// base, then folders of up to 49 letters, then the last folder when one is
// given, so that the whole path has exactly the given length.
std::string pathOfLength(const std::string& base, size_t length, const std::string& last = "")
{
    const size_t tail = last.empty() ? 0 : last.size() + 1;
    if (length < base.size() + tail + 2) {
        fail("no path of %u characters below %s", static_cast<unsigned>(length), base.c_str());
    }
    std::string path = base;
    const size_t filler = length - base.size() - tail;
    for (size_t i = 0; i < filler; ++i) {
        path += i % 50 == 0 && i + 1 < filler ? '\\' : static_cast<char>('a' + i % 26);
    }
    return last.empty() ? path : path + "\\" + last;
}

// An install folder naming the product in which the row's target has the given length.
std::string folderForTarget(int row, size_t target)
{
    return pathOfLength("C:", target - 1 - strlen(installConfig.files[row].fileName), product);
}

// ---- Paths beyond MAX_PATH, which only the wide calls with the \\?\ form reach

std::wstring longForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(longForm(path).c_str()); }

bool present(const std::string& path) { return attributesOf(path) != INVALID_FILE_ATTRIBUTES; }

void makeFolders(const std::string& path)
{
    for (size_t end = path.find('\\', 3);; end = path.find('\\', end + 1)) {
        const std::string level = path.substr(0, end);
        if (!CreateDirectoryW(longForm(level).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            fail("%s could not be made", level.c_str());
        }
        if (end == std::string::npos) {
            return;
        }
    }
}

void makeFile(const std::string& path, const std::string& contents)
{
    HANDLE file =
        CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("%s could not be written", path.c_str());
    }
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}

std::string contentsOf(const std::string& path)
{
    HANDLE file =
        CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    std::string contents;
    char block[4096];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof block, &read, nullptr) && read > 0) {
        contents.append(block, read);
    }
    CloseHandle(file);
    return contents;
}

// A file's contents and last write time, to tell that nothing touched it.
std::string stateOf(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(longForm(path).c_str(), GetFileExInfoStandard, &data)) {
        return "<missing>";
    }
    return contentsOf(path) + " | " + describeFileTime(data.ftLastWriteTime) + " | attributes " +
           std::to_string(data.dwFileAttributes);
}

// ---- The machine around the installation

// Every change on drive C: since the setup was started that is not one of
// the expected paths nor below one of the expected folders (given with a
// closing backslash).
void expectOnlyChanged(const std::vector<std::string>& expected)
{
    std::string others;
    for (const FileChange& change : changedFiles(machineBeforeSetup(), snapshotDriveC())) {
        bool known = false;
        for (const std::string& path : expected) {
            known = known || _stricmp(change.path.c_str(), path.c_str()) == 0 ||
                    (path.back() == '\\' && _strnicmp(change.path.c_str(), path.c_str(), path.size()) == 0);
        }
        if (!known) {
            others += "\n       " + change.kind + " " + change.path;
        }
    }
    expect(others.empty(), "nothing else on drive C: was added, changed or removed%s", others.c_str());
}

// ---- The way through the pages

// Under Wine the topmost backdrop is now and then raised over a message box
// that has just opened; a user reads the box first, and it is in front then.
void answerWhenRead(const MessageBoxSeen& box, int buttonId)
{
    pause(300);
    answerMessageBox(box, buttonId);
}

// Types the folder on the location page and ends it with "Continue".
HWND continueWithFolder(HWND location, const std::string& typed)
{
    typeFolder(location, typed.c_str());
    click(location, IDOK);
    waitForWindowGone(location);
    return waitForWindow("#32770", installingCaption.c_str());
}

// From the group page's "Continue" to the end, the read-me question answered
// Yes: Notepad, when it starts, shows the read-me while the backdrop is
// minimised and is closed here; either way the backdrop is restored and the
// closing note is the only message that follows. (When nothing starts, the
// backdrop is minimised only for a moment, too short to be seen from another
// process for certain; the Windows tests of viewReadMe check that.)
// Returns whether Notepad opened.
bool finishWithReadMe(HWND group)
{
    click(group, IDC_GROUP_CONTINUE);
    MessageBoxSeen question = waitForMessageBox(30000);
    expectText(question.text, readMeQuestion, "the read-me question");
    HWND backdrop = findWindow("InstallApp", "Setup Mate");
    const DWORD answered = scenarioClock();
    answerWhenRead(question, IDYES);
    HWND viewer = nullptr;
    bool boxShown = false;
    while (viewer == nullptr && !boxShown && scenarioClock() - answered < 10000) {
        pause(50);
        viewer = FindWindowA("Notepad", nullptr);
        for (const SeenWindow& seen : seenWindows()) {
            boxShown = boxShown || (seen.messageBox && seen.created >= answered);
        }
    }
    if (viewer != nullptr) {
        closeReadMe(viewer, backdrop);
    }
    MessageBoxSeen closing = waitForMessageBox(20000);
    step("closing-note");
    expectText(closing.text, closingNote, "the closing note follows");
    expect(!IsIconic(backdrop), "the backdrop is restored for the closing note");
    int boxes = 0;
    for (const SeenWindow& seen : seenWindows()) {
        boxes += seen.messageBox && seen.created >= answered;
    }
    expectNumber(boxes, 1, "message boxes after the answer, the closing note included");
    answerWhenRead(closing, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    stopSetup();
    return viewer != nullptr;
}

void expectInstalledIn(const std::string& folder)
{
    for (const PayloadEntry& row : payloadRows()) {
        if (isInInstallFolder(row)) {
            expect(present(rowPath(row, folder)), "%s is installed (a path of %u characters)", row.fileName,
                   static_cast<unsigned>(rowPath(row, folder).size()));
        }
    }
    expect(holdsPayload(contentsOf(rowPath(readMeRow, folder)), readMeRow), "%s holds its payload", readMeRow.fileName);
}
} // namespace

// A typed location too long for a path buffer, with and without the product
// name still to append, is refused with its reason and the page stays; the
// longest accepted ones then become the install folder, whose files do not
// fit beside it.
SCENARIO(limits_typed_location, 240)
{
    HWND location = startToLocationPage();
    for (size_t length : {256, 259}) {
        expectRefused(location, pathOfLength("C:", length, product).c_str(), tooLong);
    }
    // The longest folder that takes the product name appended.
    const size_t unnamedLongest = 255 - 1 - product.size();
    for (size_t length : {unnamedLongest + 1, size_t{255}, size_t{256}, size_t{259}}) {
        expectRefused(location, pathOfLength("C:", length).c_str(), tooLong);
    }
    const std::string full = pathOfLength("C:", 259, product);
    typeFolder(location, full.c_str());
    typeText("x");
    expectText(typedText(control(location, IDC_LOCATION_EDIT), full), full, "typing stops at 259 characters");
    expectOnlyChanged({});

    // 255 characters naming the product are taken as they are.
    const std::string named = pathOfLength("C:", 255, product);
    const int first = firstInstallFolderRow();
    HWND installing = continueWithFolder(location, named);
    expectInstallationStops(installing, createFailed, rowNumber(first).c_str());
    stopSetup();
    expect(present(named) && entriesIn(named).empty(), "the 255-character folder is made, and nothing in it");
    std::vector<std::string> expected = foldersAlong(named);
    for (const std::string& path : rowPathsBefore(first, named)) {
        expected.push_back(path);
    }
    expectOnlyChanged(expected);

    // The longest folder without the name becomes 255 with it appended.
    const std::string unnamed = pathOfLength("C:", unnamedLongest);
    installing = continueWithFolder(startToLocationPage(), unnamed);
    expectInstallationStops(installing, createFailed, rowNumber(first).c_str());
    stopSetup();
    const std::string appended = unnamed + "\\" + product;
    expect(present(appended) && entriesIn(appended).empty(), "the folder with the name appended is made, empty");
    expected = foldersAlong(appended);
    for (const std::string& path : rowPathsBefore(first, appended)) {
        expected.push_back(path);
    }
    expectOnlyChanged(expected);
}

// The target of a row, install folder, backslash and file name, is written
// up to 258 characters; one longer stops the installation at that row with
// the destination error, the rows before it written.
SCENARIO(limits_target_paths, 180)
{
    // The first row of the install folder at 260 characters.
    const int firstRow = firstInstallFolderRow();
    const std::string first = folderForTarget(firstRow, 260);
    expectInstallationStops(continueWithFolder(startToLocationPage(), first), createFailed,
                            rowNumber(firstRow).c_str());
    stopSetup();
    expect(entriesIn(first).empty(), "nothing is written beside a 260-character target");

    // The longest name at 259, the shorter ones before it at 258 at most.
    const int longest = longestInstallFolderRow();
    const std::string folder = folderForTarget(longest, 259);
    expectInstallationStops(continueWithFolder(startToLocationPage(), folder), createFailed,
                            rowNumber(longest).c_str());
    std::vector<std::string> written;
    for (int row = firstRow; row < longest; ++row) {
        if (isInInstallFolder(installConfig.files[row])) {
            written.push_back(installConfig.files[row].fileName);
        }
    }
    std::sort(written.begin(), written.end());
    expect(entriesIn(folder) == written, "the %d rows before the 259-character target are written",
           static_cast<int>(written.size()));
}

// Everything at its longest: an install folder whose longest target has 258
// characters, a group name of 40 characters (typing stops there), and the
// read-me, whose command line is then too long: nothing starts.
SCENARIO(limits_longest_install, 180)
{
    const std::string folder = folderForTarget(longestInstallFolderRow(), 258);
    HWND location = startToLocationPage();
    typeFolder(location, folder.c_str());
    HWND group = installToGroupPage(location);
    const std::string group41 = "Forty-one characters make this group name";
    retypeGroup(group, group41.c_str());
    const std::string group40 = group41.substr(0, 40);
    expectText(windowText(groupField(group)), group40, "typing stops at 40 characters");
    step("group-40");
    expect(!finishWithReadMe(group), "no viewer starts for a command line of %u characters",
           static_cast<unsigned>(folder.size() + readMeCommandOverhead()));

    expectInstalledIn(folder);
    const std::string groupFolder = programsFolder() + "\\" + group40;
    expectNumber(static_cast<long long>(entriesIn(groupFolder).size()), installConfig.shortcutCount,
                 "shortcuts in the 40-character group");
    ShortcutSeen readMe;
    CoInitialize(nullptr);
    const bool read =
        hasShortcutCaption(readMeRow) && readShortcut(groupFolder + "\\" + readMeRow.shortcutCaption + ".lnk", readMe);
    CoUninitialize();
    if (expect(read, "the read-me row has a shortcut, and it can be read")) {
        expectText(readMe.target, rowPath(readMeRow, folder), "the read-me shortcut's target");
    }
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, product), folder, "the publisher value");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Group"), group40, "Program Group");
    std::vector<std::string> expected = foldersAlong(folder);
    for (const std::string& path : rowPathsBefore(installConfig.fileCount, folder)) {
        expected.push_back(path);
    }
    expected.push_back(groupFolder + "\\");
    expectOnlyChanged(expected);
}

// The read-me question answered Yes with command lines of 258, 259 and 260
// characters: Notepad opens for the first; for the others nothing starts and
// nothing is said, and the backdrop is restored for the closing note.
SCENARIO(limits_read_me_command, 300)
{
    for (size_t command : {258, 259, 260}) {
        const std::string folder = pathOfLength("C:", command - readMeCommandOverhead(), product);
        HWND location = startToLocationPage();
        typeFolder(location, folder.c_str());
        const bool opened = finishWithReadMe(installToGroupPage(location));
        expect(opened == (command == 258), "a command line of %u characters %s Notepad", static_cast<unsigned>(command),
               opened ? "opens" : "does not open");
        expectInstalledIn(folder);
    }
}

// The location page lists a subfolder whose path fits a path buffer and
// skips those of 256, 259 and 260 characters; the one listed opens.
SCENARIO(limits_subfolder_rows, 90)
{
    const std::string folder = pathOfLength("C:", 200, product);
    std::vector<std::string> subfolders = {folder + "\\Short"};
    for (size_t length : {255, 256, 259, 260}) {
        const std::string name = "s" + std::to_string(length);
        subfolders.push_back(folder + "\\" + name + std::string(length - folder.size() - 1 - name.size(), 'x'));
        makeFolders(subfolders.back());
    }
    makeFolders(subfolders.front());
    recordEarlierInstallation(folder);
    HWND location = startToLocationPage();
    step("subfolders");
    std::vector<std::string> texts;
    for (const ListRow& row : listRows(location)) {
        texts.push_back(row.text);
    }
    std::vector<std::string> expected = {"C:\\"};
    for (const std::string& ancestor : foldersAlong(folder)) {
        expected.push_back(ancestor.substr(0, ancestor.size() - 1));
    }
    expected.push_back(subfolders[1]);
    expected.push_back(subfolders[0]);
    texts.erase(texts.begin());
    expect(texts == expected, "the ancestors, then the 255-character subfolder and the short one: %s",
           describeRows(listRows(location)).c_str());

    // The user scrolls to the 255-character subfolder and opens it.
    const int longest = static_cast<int>(expected.size()) - 1;
    SendMessageA(folderList(location), LB_SETTOPINDEX, static_cast<WPARAM>(longest), 0);
    doubleClickRow(location, longest);
    step("longest-subfolder");
    expectText(controlText(location, IDC_LOCATION_EDIT), subfolders[1], "the opened subfolder");
    const std::vector<ListRow> opened = listRows(location);
    expect(opened.size() == expected.size() && opened.back().text == subfolders[1],
           "its rows end with itself, and it has no subfolder: %s", describeRows(opened).c_str());
    click(location, IDCANCEL);
    expectAborted();
    expectOnlyChanged({});
}

// An earlier installation whose folder holds a tree deeper than MAX_PATH:
// files whose paths fit are deleted, folders whose paths do not fit are not
// entered, what lies deeper is not reached, and the installation goes on.
SCENARIO(limits_clearing_deep_tree, 150)
{
    const std::string& folder = defaultFolder;
    const std::string reached = pathOfLength(folder, 250);
    std::vector<std::string> deleted = {folder + "\\Notes.txt"};
    std::vector<std::string> kept = {folder + "\\" + dataFileName("Licence", 0, true)};
    makeFolders(reached);
    for (size_t length : {257, 258, 259, 260}) {
        const std::string name = "p" + std::to_string(length);
        const std::string path = reached + "\\" + name + std::string(length - reached.size() - 1 - name.size(), 'o');
        (length <= 259 ? deleted : kept).push_back(path);
    }
    // Files are deleted by their names in the folder held open, so only the
    // full path of the record's check bounds them: a file whose path fits
    // MAX_PATH goes. A folder whose own path fits is entered; one beyond it,
    // and all below, are out of reach.
    const std::string entered = pathOfLength(folder, 255);
    const std::string deep = pathOfLength(entered, 600);
    makeFolders(entered);
    makeFolders(deep);
    deleted.push_back(entered + "\\ab");
    kept.push_back(deep.substr(0, entered.size() + 50) + "\\middle.txt");
    kept.push_back(deep + "\\deepest.txt");
    for (const std::string& path : deleted) {
        makeFile(path, "left by the earlier installation");
    }
    for (const std::string& path : kept) {
        makeFile(path, "out of reach or kept");
    }
    recordEarlierInstallation(folder);

    HWND location = startToLocationPage();
    expectText(controlText(location, IDC_LOCATION_EDIT), folder, "the proposed folder");
    finishInstallation(installToGroupPage(location));
    for (const std::string& path : deleted) {
        expect(!present(path), "deleted: a file of %u characters", static_cast<unsigned>(path.size()));
    }
    for (const std::string& path : kept) {
        expect(contentsOf(path) == "out of reach or kept", "left: a file of %u characters",
               static_cast<unsigned>(path.size()));
    }
    expect(present(reached) && present(entered) && present(deep), "every folder stays");
    expectInstalledIn(folder);
}

// A folder link inside an earlier installation, pointing outside it:
// clearing passes it by, and nothing outside is touched. Then the recorded
// folder is itself the link (as a user who may create links could make it):
// the location page refuses it, and a folder below it, before anything is
// written.
SCENARIO(limits_folder_link, 180)
{
    const std::string& folder = defaultFolder;
    const std::string outside = "C:\\Outside";
    makeFolders(folder);
    makeFolders(outside + "\\Sub");
    makeFile(folder + "\\Notes.txt", "left by the earlier installation");
    const std::vector<std::string> outsideFiles = {outside + "\\precious.txt", outside + "\\Notes.txt",
                                                   outside + "\\Sub\\old.exe", outside + "\\Locked.txt"};
    for (const std::string& path : outsideFiles) {
        makeFile(path, "not part of the installation");
    }
    SetFileAttributesA((outside + "\\Locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    // tests/e2e/prepare/limits_folder_link.sh has made the link: Wine cannot.
    const std::string linked = folder + "\\Linked";
    if ((attributesOf(linked) & FILE_ATTRIBUTE_REPARSE_POINT) == 0 || attributesOf(linked) == INVALID_FILE_ATTRIBUTES) {
        fail("%s is no folder link", linked.c_str());
    }
    std::vector<std::string> states;
    for (const std::string& path : outsideFiles) {
        states.push_back(stateOf(path));
    }
    recordEarlierInstallation(folder);

    HWND location = startToLocationPage();
    finishInstallation(installToGroupPage(location));
    std::vector<std::string> expected = rowPathsBefore(installConfig.fileCount, folder);
    expected.insert(expected.end(), {folder + "\\", programsFolder() + "\\" + product + "\\"});
    expectOnlyChanged(expected);
    for (size_t i = 0; i < outsideFiles.size(); ++i) {
        expectText(stateOf(outsideFiles[i]), states[i], outsideFiles[i].c_str());
    }
    expect(present(linked), "the link stays");
    expect(!present(folder + "\\Notes.txt"), "the earlier installation's own file is deleted");
    expectInstalledIn(folder);

    stopSetup();
    recordEarlierInstallation(linked);
    location = startToLocationPage();
    expectText(controlText(location, IDC_LOCATION_EDIT), linked, "the recorded link is proposed");
    expectRefused(location, linked.c_str(), "Path may not lead through a folder link.");
    expectRefused(location, (linked + "\\Sub").c_str(), "Path may not lead through a folder link.");
    click(location, IDCANCEL);
    expectAborted();
    for (size_t i = 0; i < outsideFiles.size(); ++i) {
        expectText(stateOf(outsideFiles[i]), states[i], outsideFiles[i].c_str());
    }
    expect(!present(outside + "\\" + installConfig.files[programRow()].fileName),
           "nothing is written through the link");
}
