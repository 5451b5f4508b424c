// The tour that `make run` shows without a display: the whole wizard with its
// defaults, a screenshot of every screen, and then what is on the machine.
#include "e2e.h"
#include "wizard_path.h"

#include <cctype>
#include <set>
#include <string>

namespace {
// A file-name form of a window's caption.
std::string stepName(const std::string& caption)
{
    std::string name;
    for (unsigned char c : caption) {
        if (std::isalnum(c)) {
            name += static_cast<char>(std::tolower(c));
        } else if (!name.empty() && name.back() != '-') {
            name += '-';
        }
    }
    return name.empty() ? "window" : name;
}

// The dialog the user would answer now: a visible, enabled dialog of the
// setup's process that has not been answered yet.
HWND nextDialog(const std::set<HWND>& answered)
{
    for (HWND window : setupWindows()) {
        if (windowClass(window) == "#32770" && IsWindowEnabled(window) && !answered.count(window)) {
            return window;
        }
    }
    return nullptr;
}

// The button a user presses to go on: the default push button (as a message
// box marks it), the dialog's default id, or else "Continue".
HWND goOnButton(HWND dialog)
{
    HWND button = nullptr;
    for (HWND child = FindWindowExA(dialog, nullptr, "Button", nullptr); child && !button;
         child = FindWindowExA(dialog, child, "Button", nullptr)) {
        if ((GetWindowLongPtrA(child, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) {
            button = child;
        }
    }
    DWORD_PTR result = 0;
    if (!button && SendMessageTimeoutA(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) &&
        HIWORD(result) == DC_HASDEFID) {
        button = GetDlgItem(dialog, LOWORD(result));
    }
    if (!button) {
        button = FindWindowExA(dialog, nullptr, "Button", "Continue");
    }
    return button && IsWindowVisible(button) && IsWindowEnabled(button) ? button : nullptr;
}
} // namespace

SCENARIO(tour, 300)
{
    HWND welcome = openWelcome();
    step("welcome");
    click(welcome, IDOK);
    waitForWindow("InstallApp", "Setup Mate");
    step("backdrop");

    // Every dialog and message box is pictured when it opens and then gets
    // its default button or "Continue"; pages without one (work in progress)
    // end by themselves. The read-me file is looked at and closed.
    std::set<HWND> pictured;
    std::set<HWND> answered;
    while (setupRunning()) {
        HWND readMe = FindWindowA("Notepad", nullptr);
        if (readMe && IsWindowVisible(readMe) && !pictured.count(readMe)) {
            pictured.insert(readMe);
            step("read-me");
            PostMessageA(readMe, WM_CLOSE, 0, 0);
            continue;
        }
        HWND dialog = nextDialog(answered);
        if (!dialog) {
            pause(50);
            continue;
        }
        if (!pictured.count(dialog)) {
            char caption[256] = "";
            GetWindowTextA(dialog, caption, sizeof caption);
            note("page \"%s\"", caption);
            step(stepName(caption).c_str());
            pictured.insert(dialog);
        }
        if (HWND button = goOnButton(dialog)) {
            answered.insert(dialog);
            click(dialog, GetDlgCtrlID(button));
        } else {
            pause(50);
        }
    }
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");

    reportFileChanges(machineBeforeSetup());
    reportRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Moorfield Systems");
    reportRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tidy Kit");
}
