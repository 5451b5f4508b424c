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

bool canPress(HWND button) { return button && IsWindowVisible(button) && IsWindowEnabled(button); }

// The page's default button, when it has one that can be pressed; on a page
// without one (the group page) the push button that has the focus.
HWND defaultButton(HWND dialog)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) &&
        HIWORD(result) == DC_HASDEFID && canPress(GetDlgItem(dialog, LOWORD(result)))) {
        return GetDlgItem(dialog, LOWORD(result));
    }
    HWND focused = focusedControl(dialog);
    if (focused && GetParent(focused) == dialog && windowClass(focused) == "Button" && canPress(focused)) {
        return focused;
    }
    return nullptr;
}
} // namespace

SCENARIO(tour, 300)
{
    HWND welcome = openWelcome();
    step("welcome");
    click(welcome, IDOK);
    waitForWindow("InstallApp", "Setup Mate");
    step("backdrop");

    // Every dialog and message box in turn gets its default button; pages
    // without one (work in progress) end by themselves. The read-me file is
    // looked at and closed.
    std::set<HWND> answered;
    while (setupRunning()) {
        if (HWND readMe = FindWindowA("Notepad", nullptr)) {
            step("read-me");
            PostMessageA(readMe, WM_CLOSE, 0, 0);
            waitForWindowGone(readMe, 5000);
            continue;
        }
        HWND dialog = nextDialog(answered);
        HWND button = dialog ? defaultButton(dialog) : nullptr;
        if (!button) {
            pause(50);
            continue;
        }
        char caption[256] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        note("page \"%s\"", caption);
        step(stepName(caption).c_str());
        answered.insert(dialog);
        click(dialog, GetDlgCtrlID(button));
    }
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");

    reportFileChanges(machineBeforeSetup());
    reportRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Moorfield Systems");
    reportRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tidy Kit");
}
