// The end-to-end driver's interface for scenarios. A scenario is a function
// that plays one user's session with SetupMate.exe inside the Wine virtual
// desktop and checks what the user sees and what the machine holds afterwards:
//
//     SCENARIO(welcome_escape, 30)
//     {
//         HWND welcome = openWelcome();        // wizard_path.h: the usual way in
//         step("welcome");                     // build/e2e/welcome_escape/01-welcome.png
//         expectText(windowText(welcome), "Setup Mate", "caption");
//         pressKey(VK_ESCAPE);
//         expectRefusedCleanly();
//     }
//
// Scenarios live in scenarios_*.cpp files, one per group, and register
// themselves; the number is the time limit in seconds, after which the driver
// kills the setup and fails the scenario. tests/e2e/run.sh NAME runs one.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// ---- Scenarios and their report

using ScenarioFunction = void (*)();
struct ScenarioRegistration {
    ScenarioRegistration(const char* name, ScenarioFunction run, int timeLimitSeconds);
};
#define SCENARIO(name, timeLimitSeconds)                                                                               \
    static void name();                                                                                                \
    static const ScenarioRegistration name##Registration(#name, name, timeLimitSeconds);                               \
    static void name()

// Records a check; a failed one fails the scenario, which goes on.
bool expect(bool condition, const char* format, ...) __attribute__((format(printf, 2, 3)));
bool expectText(const std::string& actual, const std::string& expected, const char* what);
bool expectNumber(long long actual, long long expected, const char* what);
bool expectRect(const RECT& actual, const RECT& expected, const char* what);
// Fails the scenario and ends it at once.
[[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Saves a screenshot of the whole virtual desktop as NN-name.png in the
// scenario's folder; screenPixel then reads that picture.
void step(const char* name);
// The same with the setup's thread held still from its last paint until the
// picture is taken, for a screen that lasts only a moment; returns
// scenarioClock() at the start of the hold.
DWORD stepWithSetupHeld(const char* name);
COLORREF screenPixel(int x, int y);

// Milliseconds since the scenario started.
DWORD scenarioClock();
// Waits, failing the scenario when the time limit runs out meanwhile.
void pause(DWORD milliseconds);
// Asks the condition every 10 ms until it holds or the time is up; returns
// whether it held.
bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// ---- The setup program

void startSetup();
// Starts a command line as Windows runs a recorded command (the program found
// from the line itself) in place of the setup: every function below that
// names the setup then watches, waits for and stops that program.
void startCommand(const std::string& commandLine);
// From now on startSetup starts this program, a changed copy of the setup.
void useSetupProgram(const std::string& path);
bool setupRunning();
// Waits for the setup to end and returns its exit code; ends the scenario if
// it is still running after the given time, naming the windows it still has.
DWORD waitForSetupExit(DWORD milliseconds = 10000);
// The refusal path: the setup ends by itself with exit code 1 and never showed a message box.
void expectSetupEndsSilently();

// Every top-level window the latest setup process had, as seen by a watcher
// that runs from startSetup on: creation is timed by the system's window events.
struct SeenWindow {
    HWND window;
    std::string className;
    std::string caption; // the latest caption seen
    DWORD created;       // scenarioClock() at creation
    bool messageBox;     // a dialog with the message box's text control
};
std::vector<SeenWindow> seenWindows();
// The first window of the class (and caption, unless null) the setup had.
bool findSeenWindow(const char* className, const char* caption, SeenWindow& found);

// ---- Windows and controls

// A visible top-level window of the setup's process; null for any class or caption.
HWND findWindow(const char* className, const char* caption);
HWND waitForWindow(const char* className, const char* caption, DWORD milliseconds = 10000);
void waitForWindowGone(HWND window, DWORD milliseconds = 10000);
std::vector<HWND> setupWindows();
std::string windowClass(HWND window);
// The text through WM_GETTEXT, so edit controls give their contents.
std::string windowText(HWND window);
std::string controlText(HWND dialog, int controlId);
HWND control(HWND dialog, int controlId);
RECT windowRect(HWND window);
// The control's window rectangle in its dialog's client coordinates.
RECT controlRect(HWND dialog, int controlId);
std::string describeRect(const RECT& rect);
std::string describeWindow(HWND window);

// ---- The user's hands

// Clicks the middle of the control with the left button, after checking that
// it is visible, enabled and not covered there. The button messages go to the
// control itself: the X pointer under Wine lags behind moves made with
// SendInput, and its stale position would now and then take a click away.
void click(HWND dialog, int controlId);
// Changes the window's size by dx, dy, its top left corner staying, as
// dragging the lower right corner of a sizing frame does.
void resizeWindow(HWND window, int dx, int dy);
// Keys go through the system's input queue (SendInput) to the focused
// control of the foreground window, which must belong to the setup. Texts
// are in the ANSI code page of the driver, which is the setup's.
void pressKey(WORD virtualKey);
void pressKeyWith(WORD modifierKey, WORD virtualKey);
void typeText(const char* text);
// The field's text once the keys typed into it have arrived: on a loaded
// machine the setup may take them from its queue well after they were sent.
// Waits up to 3 s for the expected text, then a moment for stragglers.
std::string typedText(HWND field, const std::string& expected);
HWND focusedControl(HWND window);

// A message box of the setup's process: read it before answering.
struct MessageBoxSeen {
    HWND window;
    std::string caption;
    std::string text;
};
MessageBoxSeen waitForMessageBox(DWORD milliseconds = 10000);
void answerMessageBox(const MessageBoxSeen& box, int buttonId);

// ---- The machine

std::string sourcePath(const char* relativePath); // a file of the source tree, as a Windows path
// A file that the build of the setup under test made (build/win32 or
// build/win64, the folder of --setup), as a Windows path: the payload's
// programs differ between the two builds.
std::string builtPath(const char* relativePath);
bool readFile(const std::string& path, std::string& contents);
struct FileTimes {
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
};
bool readFileTimes(const std::string& path, FileTimes& times);
std::string describeFileTime(const FILETIME& time); // local time, YYYY-MM-DD hh:mm:ss
// A REG_SZ value; false when the key or value is missing or of another type.
bool readRegistryString(HKEY root, const char* key, const char* valueName, std::string& data);
struct ShortcutSeen {
    std::string target;
    std::string arguments;
    std::string workingFolder;
    std::string description;
    std::string iconPath;
    int iconIndex;
};
bool readShortcut(const std::string& path, ShortcutSeen& shortcut);

// The files and folders of drive C: with their sizes and write times.
struct FileSnapshot {
    std::vector<std::pair<std::string, std::string>> entries; // path, its state
};
FileSnapshot snapshotDriveC();
// Every file or folder (its path ends in a backslash) added, changed or
// removed between two snapshots.
struct FileChange {
    std::string kind; // "added", "changed" or "removed"
    std::string path;
    std::string state; // its size and write time, or "folder"
};
std::vector<FileChange> changedFiles(const FileSnapshot& before, const FileSnapshot& after);
// Prints what changed on drive C: since the snapshot, with the three times of
// every file and the target of every shortcut.
void reportFileChanges(const FileSnapshot& before);
// The key's values and those of all its subkeys, one a line, or that it is absent.
std::vector<std::string> registryListing(HKEY root, const std::string& key);
// Prints that listing.
void reportRegistryKey(HKEY root, const std::string& key);
