// Whole installations: the installing page, the program group page and its
// shortcuts, the registration, the read-me and the closing note, a reinstall
// over an earlier installation, and the ways these pages fail or refuse.
#include "../shared/machine_helpers.h"
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {
const std::string versionKey = std::string(publisherKey) + versionKeySuffix;
constexpr char uninstallList[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char runServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::string shortcutsCaption = withProductName("Creating %s Shortcuts");
// A user reads a message box before answering it; the box is then surely
// in front.
constexpr DWORD USER_READS_MS = 300;
constexpr COLORREF NAVY = RGB(0, 0, 128);
constexpr COLORREF DARK_NAVY = RGB(0, 0, 64);
constexpr COLORREF WHITE = RGB(255, 255, 255);

// The rows' shortcut captions, in the order the setup makes them.
std::vector<std::string> shortcutCaptions()
{
    std::vector<std::string> captions;
    for (int row = 0; row < installConfig.shortcutCount; ++row) {
        captions.push_back(installConfig.files[row].shortcutCaption);
    }
    return captions;
}

// The installed files' time: the product's fixed stamp, as local time.
std::string stampText()
{
    const StampTime& stamp = installConfig.fileStamp;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", stamp.year, stamp.month, stamp.day, stamp.hour,
                  stamp.minute, stamp.second);
    return text;
}

// ---- The screen

// The line of the step list drawn in the current step's light colour, as the
// marker value (1 to 64); 0 when none is, -1 when several are.
int highlightedStepMarker()
{
    int marker = 0;
    for (int line = 0; line < 7; ++line) {
        int light = 0;
        for (int y = 120 + 18 * line; y < 138 + 18 * line; ++y) {
            for (int x = 10; x < 150; ++x) {
                const COLORREF pixel = screenPixel(x, y);
                light += GetRValue(pixel) >= 190 && GetGValue(pixel) >= 200 && GetBValue(pixel) >= 240;
            }
        }
        if (light > 20) {
            marker = marker == 0 ? 1 << line : -1;
        }
    }
    return marker;
}

// A screenshot, and the step it must show highlighted.
void stepWithMarker(const char* name, int marker)
{
    step(name);
    expectNumber(highlightedStepMarker(), marker, (std::string("highlighted step on ") + name).c_str());
}

struct BarColours {
    int navy = 0;
    int buttonFace = 0;
    int white = 0;
    int darkNavy = 0;
    int other = 0;
};

// The colours inside the installing page's bar (its screen rectangle) in the
// last screenshot.
BarColours barColours(RECT bar)
{
    InflateRect(&bar, -2, -2);
    const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
    BarColours seen;
    for (int y = bar.top; y < bar.bottom; ++y) {
        for (int x = bar.left; x < bar.right; ++x) {
            const COLORREF pixel = screenPixel(x, y);
            if (pixel == NAVY) {
                ++seen.navy;
            } else if (pixel == buttonFace) {
                ++seen.buttonFace;
            } else if (pixel == WHITE) {
                ++seen.white;
            } else if (pixel == DARK_NAVY) {
                ++seen.darkNavy;
            } else {
                ++seen.other;
            }
        }
    }
    return seen;
}

BarColours barColours(HWND page) { return barColours(windowRect(control(page, IDC_PROGRESS_BAR))); }

std::string describeBar(const BarColours& bar)
{
    char text[160];
    wsprintfA(text, "navy %d, button face %d, white %d, dark navy %d, other %d", bar.navy, bar.buttonFace, bar.white,
              bar.darkNavy, bar.other);
    return text;
}

// A control's text read while its dialog may close at any moment: empty
// once the dialog is gone.
std::string liveText(HWND dialog, int controlId)
{
    HWND item = GetDlgItem(dialog, controlId);
    char text[512] = "";
    DWORD_PTR result = 0;
    if (item == nullptr || !SendMessageTimeoutA(item, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                                SMTO_ABORTIFHUNG, 2000, &result)) {
        return "";
    }
    return text;
}

// Reads a dialog's controls on a thread of its own, every 5 ms until the
// dialog closes: a screenshot taken meanwhile on a loaded machine may last
// longer than a text is shown. The reading runs under the mutex, which the
// scenario holds to look at what was read.
class DialogWatch {
  public:
    DialogWatch(HWND dialog, std::function<void()> read)
        : reader([this, dialog, read] {
              for (const DWORD start = GetTickCount(); IsWindow(dialog) && GetTickCount() - start < 60000; Sleep(5)) {
                  std::lock_guard<std::mutex> lock(mutex);
                  read();
              }
              closed = true;
          })
    {
    }
    ~DialogWatch() { waitForClose(); }
    bool isClosed() const { return closed; }
    void waitForClose()
    {
        if (reader.joinable()) {
            reader.join();
        }
    }

    std::mutex mutex;

  private:
    std::atomic<bool> closed{false};
    std::thread reader;
};

// Drags a message box to the lower left corner, as a user would to see the
// page behind it.
void moveAside(const MessageBoxSeen& box)
{
    SetWindowPos(box.window, nullptr, 0, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pause(USER_READS_MS);
}

// ---- The way through the wizard

// The listed group the page selected, found from its position in the list:
// the list's own texts cannot be read from another process. The page lists
// the programs folder's subfolders sorted without regard to case.
std::string selectedGroup(HWND group)
{
    HWND box = control(group, IDC_GROUP_BOX);
    const LRESULT index = SendMessageA(box, CB_GETCURSEL, 0, 0);
    std::vector<std::string> folders = entriesIn(programsFolder(), true);
    std::sort(folders.begin(), folders.end(),
              [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
    expectNumber(SendMessageA(box, CB_GETCOUNT, 0, 0), static_cast<long long>(folders.size()), "groups listed");
    if (index == CB_ERR || static_cast<size_t>(index) >= folders.size()) {
        return "<none>";
    }
    return folders[static_cast<size_t>(index)];
}

// Waits for the shortcuts dialog of the group page's "Continue", takes a
// screenshot of it when named, and checks the captions it shows in turn.
void watchShortcuts(HWND group, const char* screenshot = nullptr)
{
    HWND dialog = waitForWindow("#32770", shortcutsCaption.c_str());
    expect(!IsWindowEnabled(control(group, IDC_GROUP_CONTINUE)), "\"Continue\" is disabled while shortcuts are made");
    std::vector<std::string> captions;
    DialogWatch watch(dialog, [&] {
        const std::string caption = liveText(dialog, IDC_SHORTCUT_NAME);
        if (!caption.empty() && (captions.empty() || captions.back() != caption)) {
            captions.push_back(caption);
        }
    });
    if (screenshot) {
        stepWithMarker(screenshot, 16);
    }
    watch.waitForClose();
    expect(captions == shortcutCaptions(), "control 600 shows the %d captions in order: %d seen",
           installConfig.shortcutCount, static_cast<int>(captions.size()));
}

// The rest of an installation from the group page on with the proposed or
// typed group: "Continue", the shortcuts, "No" to the read-me and the note.
void finishWithoutReadMe(HWND group)
{
    click(group, IDC_GROUP_CONTINUE);
    watchShortcuts(group);
    MessageBoxSeen question = waitForMessageBox(20000);
    expectText(question.text, readMeQuestion, "the read-me question");
    pause(USER_READS_MS);
    answerMessageBox(question, IDNO);
    MessageBoxSeen closing = waitForMessageBox();
    expect(FindWindowA("Notepad", nullptr) == nullptr, "answering No starts no viewer");
    answerMessageBox(closing, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
}

void expectShortcut(const std::string& group, int row, const std::string& installFolder)
{
    const PayloadEntry& entry = installConfig.files[row];
    const std::string path = group + "\\" + entry.shortcutCaption + ".lnk";
    ShortcutSeen shortcut;
    CoInitialize(nullptr);
    const bool read = readShortcut(path, shortcut);
    CoUninitialize();
    if (!expect(read, "%s can be read", path.c_str())) {
        return;
    }
    const std::string target = rowPath(entry, installFolder);
    expectText(shortcut.target, target, (path + ": target").c_str());
    expectText(shortcut.workingFolder, target.substr(0, target.rfind('\\')), (path + ": working folder").c_str());
    expectText(shortcut.description, entry.shortcutCaption, (path + ": description").c_str());
}

// Bar changes of the installation: the decoder reports each 1024-byte block
// and each file's last part, and the bar moves only when its half-percent
// position changes.
int barMoves(const std::vector<uint32_t>& sizes)
{
    uint64_t total = 0;
    for (uint32_t size : sizes) {
        total += size;
    }
    uint64_t done = 0;
    int position = 0;
    int moves = 0;
    for (uint32_t size : sizes) {
        for (uint32_t left = size; left > 0;) {
            const uint32_t block = std::min<uint32_t>(left, 1024);
            left -= block;
            done += block;
            const int now = static_cast<int>(done * 200 / total);
            moves += now != position;
            position = now;
        }
    }
    return moves;
}
} // namespace

SCENARIO(install_happy_path, 240)
{
    for (const auto& [root, key] :
         {std::pair{HKEY_LOCAL_MACHINE, runKey}, std::pair{HKEY_LOCAL_MACHINE, runServicesKey},
          std::pair{HKEY_CURRENT_USER, runKey}}) {
        if (!setRegistryText(root, key, previousAutostartValue, "C:\\Earlier\\program.exe /autostart") ||
            !setRegistryText(root, key, "Neighbour", "C:\\Neighbour\\run.exe")) {
            fail("the autostart values could not be planted in %s", key);
        }
    }
    // A program named Notepad.exe beside the setup, as in a downloads folder
    // that anyone may write to: the read-me opens in the system's Notepad. The
    // uninstaller stands in for it, which started so would show its caption.
    CreateDirectoryA("C:\\Downloads", nullptr);
    if (!CopyFileA(driverOptions.setupPath.c_str(), "C:\\Downloads\\SetupMate.exe", FALSE) ||
        !CopyFileA(builtUninstaller().c_str(), "C:\\Downloads\\Notepad.exe", FALSE)) {
        fail("the setup and a program named Notepad.exe could not be put into C:\\Downloads");
    }
    useSetupProgram("C:\\Downloads\\SetupMate.exe");
    startSetup();
    HWND welcome = waitForWindow("InstallDlg", "Setup Mate");
    click(welcome, IDOK);
    HWND license = waitForLicensePage();
    stepWithMarker("license", 1);
    click(license, IDOK);
    HWND location = waitForLocationPage();
    stepWithMarker("location", 2);
    expectText(controlText(location, IDC_LOCATION_EDIT), defaultFolder, "the proposed folder");
    const DWORD continued = scenarioClock();
    click(location, IDOK);

    // The installing page: the counters and the bar at its start, mid-way
    // and at its end.
    HWND page = waitForWindow("#32770", installingCaption.c_str());
    std::vector<std::string> fileNumbers;
    std::map<std::string, std::string> extracted; // by file number
    std::string totalSize;
    std::string totalFiles;
    std::string currentSize;
    DialogWatch watch(page, [&] {
        const std::string number = liveText(page, IDC_CURRENT_FILE);
        if (!number.empty() && (fileNumbers.empty() || fileNumbers.back() != number)) {
            fileNumbers.push_back(number);
        }
        // The setup sets control 400 and then 404 without answering in
        // between: a path read between two readings of the same number is
        // that number's.
        const std::string path = liveText(page, IDC_EXTRACTING);
        if (!number.empty() && liveText(page, IDC_CURRENT_FILE) == number) {
            extracted.emplace(number, path);
        }
        // Texts read as the page closes come back empty: the last seen counts.
        for (auto [id, seen] : {std::pair{IDC_TOTAL_SIZE, &totalSize}, std::pair{IDC_TOTAL_FILES, &totalFiles},
                                std::pair{IDC_CURRENT_SIZE, &currentSize}}) {
            const std::string text = liveText(page, id);
            if (!text.empty()) {
                *seen = text;
            }
        }
    });
    // The watch starts first: on a loaded machine the first row may be shown
    // before the picture is taken. The setup is held for the picture, so
    // that the bar is still empty in it.
    stepWithSetupHeld("installing-start");
    expectNumber(highlightedStepMarker(), 4, "highlighted step on installing-start");
    const BarColours empty = barColours(page);
    expect(empty.navy == 0 && empty.darkNavy > 0 && empty.buttonFace > 0, "the bar at 0%%: %s",
           describeBar(empty).c_str());
    bool sawMiddle = false;
    bool sawEnd = false;
    while (!watch.isClosed()) {
        size_t filesSeen = 0;
        bool atEnd = false;
        {
            std::lock_guard<std::mutex> lock(watch.mutex);
            filesSeen = fileNumbers.size();
            atEnd = !currentSize.empty() && currentSize == totalSize;
        }
        if (!sawMiddle && filesSeen * 2 > static_cast<size_t>(installConfig.fileCount) && !atEnd) {
            sawMiddle = true;
            step("installing-middle");
            const BarColours middle = barColours(page);
            expect(middle.navy > 0 && middle.buttonFace > 0, "the bar mid-way is part navy, part button face: %s",
                   describeBar(middle).c_str());
        }
        if (!sawEnd && atEnd) {
            sawEnd = true;
            pause(100);
            // The page closes a second after its last file: on a loaded
            // machine it would be gone before the picture or the bar's place
            // were taken.
            const RECT bar = windowRect(control(page, IDC_PROGRESS_BAR));
            stepWithSetupHeld("installing-end");
            const BarColours full = barColours(bar);
            expect(full.buttonFace == 0 && full.darkNavy == 0 && full.navy > 0 && full.white > 0,
                   "the bar at 100%% is navy with white text: %s", describeBar(full).c_str());
        }
        pause(5);
    }
    watch.waitForClose();
    expectText(totalFiles, std::to_string(installConfig.fileCount), "control 403");
    std::vector<std::string> everyRow;
    for (int row = 0; row < installConfig.fileCount; ++row) {
        everyRow.push_back(rowNumber(row));
    }
    expect(fileNumbers == everyRow, "control 404 counts 1 to %d: %d numbers seen", installConfig.fileCount,
           static_cast<int>(fileNumbers.size()));
    // The times before anything reads the files (a read sets the access time).
    std::vector<uint32_t> sizes;
    uint32_t total = 0;
    for (const PayloadEntry& row : payloadRows()) {
        const std::string path = rowPath(row, defaultFolder);
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        sizes.push_back(data.nFileSizeLow);
        total += data.nFileSizeLow;
        FileTimes times;
        if (expect(readFileTimes(path, times), "%s has times", path.c_str())) {
            expectText(describeFileTime(times.created), stampText(), (path + ": created").c_str());
            expectText(describeFileTime(times.accessed), stampText(), (path + ": accessed").c_str());
            expectText(describeFileTime(times.written), stampText(), (path + ": written").c_str());
        }
    }
    std::string grouped = std::to_string(total);
    for (int i = static_cast<int>(grouped.size()) - 3; i > 0; i -= 3) {
        grouped.insert(static_cast<size_t>(i), ",");
    }
    expectText(totalSize, grouped, "control 401, the total with separators");
    expectText(currentSize, grouped, "control 402 at the end");
    for (int i = 0; i < installConfig.fileCount; ++i) {
        const auto path = extracted.find(rowNumber(i));
        expectText(path == extracted.end() ? "<not seen>" : path->second,
                   rowPath(installConfig.files[i], defaultFolder), "control 400");
    }
    expect(sawEnd, "the page showed its end before closing");

    // The group page and the shortcuts dialog.
    HWND group = waitForWindow("#32770", groupCaption.c_str());
    stepWithMarker("group", 8);
    expectText(controlText(group, IDC_GROUP_BOX), installConfig.productName, "the proposed group");
    SeenWindow groupSeen;
    findSeenWindow("#32770", groupCaption.c_str(), groupSeen);
    const DWORD groupContinued = scenarioClock();
    click(group, IDC_GROUP_CONTINUE);
    const DWORD groupDwell = groupContinued - groupSeen.created;
    watchShortcuts(group, "shortcuts");

    // The closing flow: the question, the read-me in Notepad, the note.
    MessageBoxSeen question = waitForMessageBox(20000);
    SeenWindow questionSeen;
    for (const SeenWindow& seen : seenWindows()) {
        if (seen.window == question.window) {
            questionSeen = seen;
        }
    }
    expectText(question.text, readMeQuestion, "the read-me question");
    stepWithMarker("read-me-question", 32);
    const double wall = (questionSeen.created - continued - groupDwell) / 1000.0;
    const double fixed = 0.25 + installConfig.fileCount * 0.5 + barMoves(sizes) * 0.01 + 1.0 + 0.25 +
                         installConfig.shortcutCount * 0.2 + 0.5 + 0.5;
    note("measure: \"Continue\" on the location page to the read-me question %.2f s (the %.2f s on the group page "
         "before \"Continue\" left out); fixed pauses %.2f s (%d bar moves); overhead %.1f%%",
         wall, groupDwell / 1000.0, fixed, barMoves(sizes), (wall / fixed - 1) * 100);
    SeenWindow installingSeen;
    SeenWindow shortcutsSeen;
    findSeenWindow("#32770", installingCaption.c_str(), installingSeen);
    findSeenWindow("#32770", shortcutsCaption.c_str(), shortcutsSeen);
    note("measure: location \"Continue\" to installing page %lu ms, installing page to group page %lu ms (fixed %.2f "
         "s), "
         "group \"Continue\" to shortcuts dialog %lu ms, shortcuts dialog to question %lu ms (fixed 2.25 s)",
         installingSeen.created - continued, groupSeen.created - installingSeen.created,
         0.25 + installConfig.fileCount * 0.5 + barMoves(sizes) * 0.01 + 1.0, shortcutsSeen.created - groupContinued,
         questionSeen.created - shortcutsSeen.created);

    HWND backdrop = findWindow("InstallApp", "Setup Mate");
    answerMessageBox(question, IDYES);
    HWND viewer = nullptr;
    for (int i = 0; i < 200 && viewer == nullptr; ++i) {
        viewer = FindWindowA("Notepad", nullptr);
        pause(50);
    }
    expect(FindWindowA(nullptr, withProductName("%s Uninstall").c_str()) == nullptr,
           "the Notepad.exe beside the setup is not started");
    if (expect(viewer != nullptr, "Notepad opens")) {
        closeReadMe(viewer, backdrop);
    }
    MessageBoxSeen closing = waitForMessageBox(20000);
    expect(!IsIconic(backdrop), "the backdrop is restored once Notepad has closed");
    expectText(closing.text, closingNote, "the closing note");
    stepWithMarker("closing-note", 64);
    answerMessageBox(closing, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");

    // The machine afterwards.
    for (const PayloadEntry& row : payloadRows()) {
        const std::string path = rowPath(row, defaultFolder);
        std::string installed;
        expect(readFile(path, installed) && holdsPayload(installed, row), "%s holds its payload", path.c_str());
    }
    expectNumber(static_cast<long long>(entriesIn(defaultFolder).size()), installFolderRowCount(),
                 "files in the install folder");
    const std::string groupFolder = programsFolder() + "\\" + installConfig.productName;
    expectNumber(static_cast<long long>(entriesIn(groupFolder).size()), installConfig.shortcutCount,
                 "files in the group folder");
    for (int row = 0; row < installConfig.shortcutCount; ++row) {
        expectShortcut(groupFolder, row, defaultFolder);
    }
    const std::string name = installConfig.productName;
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, name), defaultFolder, "publisher value");
    expectText(registryText(HKEY_LOCAL_MACHINE, versionKey, "Program Version"), installConfig.productVersion,
               "Program Version");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayName"), name, "DisplayName");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayVersion"),
               std::string("v") + installConfig.productVersion, "DisplayVersion");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "UninstallString"),
               "\"" + rowPath(installConfig.files[UNINSTALL_ROW], defaultFolder) + "\"", "UninstallString");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), defaultFolder, "Program Path");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Group"), name, "Program Group");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Publisher"), installConfig.publisherName, "Publisher");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "HelpLink"), installConfig.productUrl, "HelpLink");
    for (const auto& [root, key] :
         {std::pair{HKEY_LOCAL_MACHINE, runKey}, std::pair{HKEY_LOCAL_MACHINE, runServicesKey},
          std::pair{HKEY_CURRENT_USER, runKey}}) {
        expectText(registryText(root, key, previousAutostartValue), "<missing>",
                   (std::string(key) + ": " + previousAutostartValue).c_str());
        expectText(registryText(root, key, "Neighbour"), "C:\\Neighbour\\run.exe",
                   (std::string(key) + ": other value").c_str());
    }

    // The finished group as the user finds it in the Start Menu's folder.
    std::string command = "explorer.exe \"" + groupFolder + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION browser = {};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &browser)) {
        pause(3000);
        step("start-menu-group");
        TerminateProcess(browser.hProcess, 0);
        CloseHandle(browser.hProcess);
        CloseHandle(browser.hThread);
    }
}

namespace {
// Names that the ANSI code page maps, best fit, to "x\..\..\..\Victim" and
// to a file in it: from the install folder C:\A\B they would lead to
// C:\Victim. Made with the wide API, as any user may.
const wchar_t lookAlikeFolder[] = L"x\uFF3C\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E\uFF3CVictim";
const wchar_t lookAlikeFile[] = L"x\uFF3C\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E\uFF3C\uFF0E\uFF0E\uFF3CVictim\uFF3Cnote.txt";

void placeLookAlikes(const std::string& folder)
{
    const std::wstring wideFolder(folder.begin(), folder.end());
    CreateDirectoryA("C:\\Victim", nullptr);
    writeFile("C:\\Victim\\precious.txt", "not the product's");
    writeFile("C:\\Victim\\note.txt", "not the product's either");
    CreateDirectoryW((wideFolder + L"\\" + lookAlikeFolder).c_str(), nullptr);
    CloseHandle(CreateFileW((wideFolder + L"\\" + lookAlikeFile).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

// An installation into the folder, typed on the location page.
void installInto(const std::string& folder)
{
    HWND location = startToLocationPage();
    typeFolder(location, folder.c_str());
    finishWithoutReadMe(installToGroupPage(location));
    stopSetup();
}
} // namespace

SCENARIO(install_reinstall, 420)
{
    // An earlier installation into a folder of the user's choice.
    HWND location = startToLocationPage();
    const std::string folder = std::string("C:\\Apps\\") + installConfig.productName;
    typeFolder(location, folder.c_str());
    HWND group = installToGroupPage(location);
    finishWithoutReadMe(group);
    stopSetup();

    // What the user kept, and what the new installation must replace.
    CreateDirectoryA((folder + "\\Data").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Data\\Old").c_str(), nullptr);
    const std::string kept[] = {dataFileName("Licence", 0), "Data\\" + dataFileName("scores", 1, true),
                                "Data\\Old\\" + dataFileName("Colours", 2),
                                "Data\\Old\\" + dataFileName("page", 3, true)};
    const char* removed[] = {"Notes.txt", "Data\\old.exe", "Data\\Old\\cache.tmp", "Data\\keys.bak"};
    for (const std::string& name : kept) {
        writeFile(folder + "\\" + name, "kept by the user");
    }
    for (const char* name : removed) {
        writeFile(folder + "\\" + name, "left by the earlier installation");
    }
    placeLookAlikes(folder);
    const std::string groupFolder = programsFolder() + "\\" + installConfig.productName;
    writeFile(groupFolder + "\\" + installConfig.files[programRow()].shortcutCaption + ".lnk", "not a shortcut");

    location = startToLocationPage();
    expectText(controlText(location, IDC_LOCATION_EDIT), folder, "the location page proposes the recorded folder");
    group = installToGroupPage(location);
    step("group-existing");
    expectText(selectedGroup(group), installConfig.productName, "the existing group is selected");
    finishWithoutReadMe(group);

    for (const std::string& name : kept) {
        std::string contents;
        expect(readFile(folder + "\\" + name, contents) && contents == "kept by the user", "%s survives untouched",
               name.c_str());
    }
    for (const char* name : removed) {
        expect(!exists(folder + "\\" + name), "%s is deleted", name);
    }
    expect(exists(folder + "\\Data\\Old\\"), "no folder is removed");
    expect(exists("C:\\Victim\\precious.txt") && exists("C:\\Victim\\note.txt"),
           "a look-alike name inside the install folder does not lead the clearing out of it");
    for (const PayloadEntry& row : payloadRows()) {
        expect(exists(rowPath(row, folder)), "%s is installed again", row.fileName);
    }
    expectNumber(static_cast<long long>(entriesIn(groupFolder).size()), installConfig.shortcutCount,
                 "files in the reused group");
    expectShortcut(groupFolder, programRow(), folder);
    stopSetup();

    // A folder that held the user's files before the first installation
    // into it: a reinstall deletes what the setup wrote there, nothing else.
    const std::string adopted = std::string("C:\\") + installConfig.productName + " Docs";
    CreateDirectoryA(adopted.c_str(), nullptr);
    CreateDirectoryA((adopted + "\\sub").c_str(), nullptr);
    writeFile(adopted + "\\letter.txt", "the user's letter");
    writeFile(adopted + "\\sub\\photo.jpg", "the user's photo");
    installInto(adopted);
    installInto(adopted);
    expect(exists(adopted + "\\letter.txt") && exists(adopted + "\\sub\\photo.jpg"),
           "the user's files in the adopted folder survive the reinstall");
}

// tests/e2e/prepare/install_folder_swapped.sh renames the install folder from
// the Unix side as soon as its first file is written and puts a link to
// C:\\Victim in its place: the setup goes on writing into the folder it holds.
SCENARIO(install_folder_swapped, 180)
{
    installToGroupPage(startToLocationPage());
    expect(entriesIn("C:\\Victim") == std::vector<std::string>{"precious.txt"}, "nothing lands in the link's target");
    std::string contents;
    expect(readFile("C:\\Victim\\precious.txt", contents) && contents == "not the product's\n",
           "the link's target is untouched");
    const std::string aside = defaultFolder + ".aside";
    expect(exists(aside), "the install folder was swapped during the installation");
    for (const PayloadEntry& row : payloadRows()) {
        if (isInInstallFolder(row)) {
            expect(exists(aside + "\\" + row.fileName), "%s is written into the folder the setup holds", row.fileName);
        }
    }
    stopSetup();
}

SCENARIO(install_destination_fails, 120)
{
    writeFile("C:\\Blocked", "a file where a folder should be");
    HWND location = startToLocationPage();
    const std::string blocked = std::string("C:\\Blocked\\") + installConfig.productName;
    typeFolder(location, blocked.c_str());
    click(location, IDOK);
    HWND page = waitForWindow("#32770", installingCaption.c_str());
    MessageBoxSeen error = waitForMessageBox(20000);
    moveAside(error);
    step("create-failed");
    expect(error.text.rfind(createFailed, 0) == 0, "the error box names the failure: \"%s\"", error.text.c_str());
    const BarColours atError = barColours(page);
    expectText(controlText(page, IDC_CURRENT_FILE), rowNumber(firstInstallFolderRow()), "the row that failed");
    answerMessageBox(error, IDOK);
    MessageBoxSeen warning = waitForMessageBox();
    moveAside(warning);
    step("aborted");
    expectText(warning.text, abortWarningText, "then the abort warning");
    const BarColours atWarning = barColours(page);
    expect(atError.navy == atWarning.navy && atError.navy > 0, "the bar keeps its last position: %s, then %s",
           describeBar(atError).c_str(), describeBar(atWarning).c_str());
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    for (const std::string& path : rowPathsBefore(firstInstallFolderRow(), blocked)) {
        expect(exists(path), "%s, a row before the failure, was written", path.c_str());
    }
    expect(!exists(blocked), "nothing of the later rows is written");
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName), "<missing>",
               "nothing registered");
}

SCENARIO(group_start_menu_missing, 120)
{
    // A file where the programs folder should be: it cannot be searched.
    const std::string programs = programsFolder();
    const std::string aside = programs + " aside";
    if (!MoveFileA(programs.c_str(), aside.c_str())) {
        fail("the programs folder could not be moved aside");
    }
    writeFile(programs, "not a folder");
    HWND location = startToLocationPage();
    click(location, IDOK);
    MessageBoxSeen error = waitForMessageBox(30000);
    step("start-menu-missing");
    expectText(error.text, "Unable to locate the Start Menu!", "the error box");
    answerMessageBox(error, IDOK);
    MessageBoxSeen warning = waitForMessageBox();
    expectText(warning.text, abortWarningText, "then the abort warning");
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName), "<missing>",
               "nothing registered");
}

SCENARIO(group_page_keys, 120)
{
    HWND group = installToGroupPage(startToLocationPage());
    retypeGroup(group, "");
    pressKey(VK_RETURN);
    pause(500);
    expect(IsWindow(group) && findWindow("#32770", "Setup Mate") == nullptr, "Enter in the group field does nothing");
    click(group, IDC_GROUP_CONTINUE);
    MessageBoxSeen empty = waitForMessageBox();
    step("group-empty");
    expectText(empty.text, "Group may not be empty!", "an empty group is refused");
    answerMessageBox(empty, IDOK);
    expect(IsWindow(group) && IsWindowEnabled(control(group, IDC_GROUP_CONTINUE)), "the page stays as it was");
    click(group, IDC_RESET_GROUP);
    // The click is posted: on a loaded machine the page answers it later.
    waitUntil([&] { return controlText(group, IDC_GROUP_BOX) == installConfig.productName; }, 3000);
    expectText(controlText(group, IDC_GROUP_BOX), installConfig.productName,
               "\"Reset Group\" proposes the product name again");
    pressKey(VK_ESCAPE);
    MessageBoxSeen warning = waitForMessageBox();
    expectText(warning.text, abortWarningText, "Esc gives the abort warning");
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    expect(!exists(programsFolder() + "\\" + installConfig.productName), "no group is created");
}

SCENARIO(group_names, 180)
{
    deleteRegistryTree(HKEY_LOCAL_MACHINE, uninstallList);
    const std::string programs = programsFolder();
    std::string otherCase = installConfig.productName;
    CharUpperA(otherCase.data());
    CreateDirectoryA((programs + "\\" + otherCase).c_str(), nullptr);
    HWND group = installToGroupPage(startToLocationPage());
    step("group-other-case");
    expectText(selectedGroup(group), otherCase, "the listed group that differs only in case is selected");
    expectText(controlText(group, IDC_GROUP_BOX), installConfig.productName,
               "the field shows the product name as configured");

    retypeGroup(group, "A group name of more than forty characters, cut");
    expectText(windowText(groupField(group)), "A group name of more than forty characte", "typing stops at 40");
    retypeGroup(group, std::string(installConfig.publisherName) + "\\");
    finishWithoutReadMe(group);

    const std::string groupFolder = programs + "\\" + installConfig.publisherName;
    expectNumber(static_cast<long long>(entriesIn(groupFolder).size()), installConfig.shortcutCount,
                 "shortcuts in a group typed with a closing backslash");
    expectShortcut(groupFolder, 0, defaultFolder);
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Group"), "<missing>", "no uninstall entry");
    HKEY list;
    expect(RegOpenKeyExA(HKEY_LOCAL_MACHINE, uninstallList, 0, KEY_READ | registryView(HKEY_LOCAL_MACHINE), &list) !=
               ERROR_SUCCESS,
           "the list of installed programs is not created");
    expectText(registryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName), defaultFolder,
               "the publisher value without the uninstall list");
    expectText(registryText(HKEY_LOCAL_MACHINE, versionKey, "Program Version"), installConfig.productVersion,
               "the version value without the uninstall list");
}
