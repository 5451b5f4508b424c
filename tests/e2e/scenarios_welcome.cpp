// The welcome dialog: what it says, where it stands, and refusing it.
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <string>

namespace {
void expectNoBackdropEver()
{
    SeenWindow backdrop;
    expect(!findSeenWindow("InstallApp", nullptr, backdrop), "no window of class \"InstallApp\" was ever created");
}

// Control 700 is drawn in navy on the face colour: the screenshot holds navy
// pixels inside it and no black ones.
void expectNavyIntroText(HWND dialog)
{
    RECT rect = windowRect(control(dialog, IDC_INTRO_TEXT));
    int navy = 0;
    int black = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF pixel = screenPixel(x, y);
            navy += pixel == RGB(0, 0, 128);
            black += pixel == RGB(0, 0, 0);
        }
    }
    expect(navy > 100 && black == 0, "control 700 is written in navy: %d navy and %d black pixels", navy, black);
}
} // namespace

SCENARIO(welcome_cancel, 30)
{
    HWND welcome = openWelcome();
    step("welcome");

    std::string title = controlText(welcome, IDC_WELCOME_TITLE);
    size_t lineBreak = title.find("\r\n");
    expectText(title.substr(0, lineBreak), "Setup Mate For Windows", "first line of control 100");
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string year = std::to_string(now.wYear);
    std::string publisherLine = lineBreak == std::string::npos ? "" : title.substr(lineBreak + 2);
    expect(publisherLine.size() > year.size() && publisherLine.compare(publisherLine.size() - year.size(),
                                                                        year.size(), year) == 0,
           "the second line of control 100 names the publisher and ends in the current year %s: \"%s\"",
           year.c_str(), publisherLine.c_str());
    expect(publisherLine.find(installConfig.publisherName) != std::string::npos, "the second line names %s",
           installConfig.publisherName);
    expectText(controlText(welcome, IDC_INTRO_TEXT),
               withProductName("This program will install %s to your computer. It is strongly recommended that you "
                               "quit all running programs before you continue."),
               "control 700");
    expectText(windowText(welcome), "Setup Mate", "caption");

    RECT rect = windowRect(welcome);
    expectRect(rect, centredRect(rect, 0), "the welcome dialog, centred on the 1024 x 768 screen");
    expect(focusedControl(welcome) == control(welcome, IDOK), "the focus is on \"Continue\"");
    expectNavyIntroText(welcome);

    click(welcome, IDCANCEL);
    expectRefusedCleanly();
    expectNoBackdropEver();
}

SCENARIO(welcome_escape, 30)
{
    HWND welcome = openWelcome();
    step("welcome");
    expect(GetForegroundWindow() == welcome, "the welcome dialog is the active window");
    pressKey(VK_ESCAPE);
    expectRefusedCleanly();
    expectNoBackdropEver();
}

namespace {
// A setup that the driver does not watch, so that the one it watches can be
// the second.
PROCESS_INFORMATION startUnwatchedSetup()
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + driverOptions.setupPath + "\"";
    if (!CreateProcessA(driverOptions.setupPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        fail("the first setup could not be started");
    }
    if (!waitUntil([] { return FindWindowA("InstallDlg", "Setup Mate") != nullptr; }, 10000)) {
        fail("the first setup shows no welcome dialog");
    }
    return process;
}

// The watched program shows one box with the caption, the text naming the
// product and the warning icon; answered, it ends with the exit code.
void expectAnotherRunBox(const std::string& caption, DWORD exitCode)
{
    MessageBoxSeen box = waitForMessageBox();
    step("another-runs");
    expectText(box.caption, caption, "the caption");
    expectText(box.text, withProductName("Another setup or removal of %s is running!\r\nThis one will now close."),
               "the text");
    expectMessageBoxIcon(box, IDI_WARNING);
    answerMessageBox(box, IDOK);
    expectNumber(waitForSetupExit(), exitCode, "the exit code");
    // Wine gives the thread of the box an input-method window of its own.
    std::string others;
    for (const SeenWindow& seen : seenWindows()) {
        const bool expected = seen.messageBox || seen.className == "IME";
        others += expected ? "" : " \"" + seen.className + "\" captioned \"" + seen.caption + "\"";
    }
    expect(others.empty(), "no window of the second program but the box:%s", others.c_str());
    stopSetup();
}
} // namespace

// While a setup runs, a second setup and the uninstaller (asking or quiet)
// say so, or end quietly with their own exit code, and change nothing; once
// the first setup is gone, the uninstaller runs again.
SCENARIO(one_at_a_time, 120)
{
    PROCESS_INFORMATION first = startUnwatchedSetup();
    const FileSnapshot before = snapshotDriveC();
    startSetup();
    expectAnotherRunBox("Setup Mate", 1);
    const std::string uninstaller = "\"" + builtUninstaller() + "\"";
    startCommand(uninstaller);
    expectAnotherRunBox(withProductName("%s Uninstall"), 4);
    startCommand(uninstaller + " /quiet");
    expectNumber(waitForSetupExit(), 4, "the exit code of the quiet uninstaller");
    expect(seenWindows().empty(), "no window of the quiet uninstaller appeared");
    stopSetup();
    expect(FindWindowA("InstallDlg", "Setup Mate") != nullptr, "the first setup still shows its welcome dialog");
    expect(changedFiles(before, snapshotDriveC()).empty(), "no file on drive C: was added, changed or removed");

    TerminateProcess(first.hProcess, 1);
    WaitForSingleObject(first.hProcess, 5000);
    CloseHandle(first.hProcess);
    CloseHandle(first.hThread);
    startCommand(uninstaller);
    MessageBoxSeen box = waitForMessageBox();
    expectText(box.text, withProductName("%s is not installed on this computer."), "the lock went with the setup");
    answerMessageBox(box, IDOK);
    expectNumber(waitForSetupExit(), 2, "the exit code of the uninstaller");
}
