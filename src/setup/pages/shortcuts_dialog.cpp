// The shortcuts dialog: a caption, the shortcut being made and a bar. The
// work runs from a one-shot timer so that the dialog is on screen first.
#include <windows.h>

#include "engine/common_controls.h"
#include "engine/shortcuts.h"
#include "resource.h"
#include "setup/pages/shortcuts.h"
#include "setup/wizard.h"

namespace {
constexpr UINT SHORTCUTS_START_DELAY_MS = 250;

// The shortcuts' work in the dialog: the shortcut being made and the bar.
class DialogCaller final : public EngineCaller {
  public:
    explicit DialogCaller(HWND dialog) : dialog(dialog) {}
    void workStarted(uint32_t, int steps) override
    {
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, steps));
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_BAR, PBM_SETSTEP, 1, 0);
    }
    void stepStarted(int, const char* shown) override { SetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, shown); }
    void progressed(uint32_t) override { SendDlgItemMessageA(dialog, IDC_SHORTCUT_BAR, PBM_STEPIT, 0, 0); }
    void pause(uint32_t milliseconds) override { pumpMessagesFor(dialog, milliseconds); }
    bool retryFileInUse(const char*) override { return false; }

  private:
    HWND dialog;
};

void onInitDialog(HWND dialog)
{
    centerDialog(dialog, 1);
    applyProductName(dialog, 1);
    SetTimer(dialog, IDT_SHORTCUTS_START, SHORTCUTS_START_DELAY_MS, nullptr);
}

void onTimer(HWND dialog, WPARAM timerId)
{
    KillTimer(dialog, timerId);
    DialogCaller caller(dialog);
    EndDialog(dialog, createShortcuts(caller) ? 1 : 2);
}
} // namespace

INT_PTR runShortcutsDialog(HWND page)
{
    initCommonControls(ICC_PROGRESS_CLASS);
    return DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_SHORTCUTS), page, shortcutsDialogProc, 0);
}

INT_PTR CALLBACK shortcutsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_TIMER:
        onTimer(dialog, wParam);
        return FALSE;
    default:
        return FALSE;
    }
}
