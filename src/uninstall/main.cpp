// The uninstaller: asks first, removes what the setup installed in a small
// window with a bar, and says what it left. "/quiet" does the same without a
// question, a window or a message. Exit code 0 when everything was removed.
#include <windows.h>

#include "engine/common_controls.h"
#include "engine/removal.h"
#include "engine/safe_paths.h"
#include "engine/start_up.h"
#include "product/config.h"
#include "resource.h"
#include "rules/install_rules.h"
#include "rules/paths.h"
#include "rules/registration_texts.h"

namespace {
constexpr int EXIT_REMOVED = 0;
constexpr int EXIT_LEFT_BEHIND = 1;
constexpr int EXIT_NOT_INSTALLED = 2;
constexpr int EXIT_NOT_STARTED = 3;  // "No", or an unknown option
constexpr int EXIT_ANOTHER_RUNS = 4; // a setup or uninstaller of the product is at work
// Each step stays on screen this long, so that the user can follow the bar.
constexpr UINT STEP_MS = 120;

// Every box and the window carry the same caption: the product name and "Uninstall".
constexpr char captionFormat[] = "%s Uninstall";
char caption[sizeof installConfig.productName + sizeof captionFormat];
int nextStep;

constexpr char questionFormat[] = "Remove %s from this computer?";
constexpr char notInstalledFormat[] = "%s is not installed on this computer.";
constexpr char optionIntro[] = "This program knows one option only: ";
constexpr char optionMiddle[] = ", which removes ";
constexpr char optionEnd[] = " without a question or a message.";
constexpr size_t MESSAGE_SIZE = 200;
static_assert(sizeof questionFormat + sizeof installConfig.productName <= MESSAGE_SIZE &&
                  sizeof notInstalledFormat + sizeof installConfig.productName <= MESSAGE_SIZE &&
                  sizeof anotherRunFormat + sizeof installConfig.productName <= MESSAGE_SIZE &&
                  sizeof optionIntro + sizeof quietSwitch + sizeof optionMiddle + sizeof installConfig.productName +
                          sizeof optionEnd <=
                      MESSAGE_SIZE,
              "every message fits its buffer with the product name and two NULs");

void runRemainingSteps()
{
    while (nextStep < removalStepCount()) {
        runRemovalStep(nextStep++);
    }
}

int showMessage(const char* format, UINT type)
{
    char text[MESSAGE_SIZE];
    fillOneText(text, sizeof text, format, installConfig.productName);
    return MessageBoxA(nullptr, text, caption, type);
}

void onInitDialog(HWND dialog)
{
    SetWindowTextA(dialog, caption);
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PRODUCT), IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SendDlgItemMessageA(dialog, IDC_REMOVAL_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, removalStepCount()));
    SendDlgItemMessageA(dialog, IDC_REMOVAL_BAR, PBM_SETSTEP, 1, 0);
    SetTimer(dialog, IDT_REMOVAL_STEP, STEP_MS, nullptr);
}

// One step per tick, so that the window paints and answers between steps;
// the tick after the last one closes it.
void onTimer(HWND dialog)
{
    if (nextStep == removalStepCount()) {
        KillTimer(dialog, IDT_REMOVAL_STEP);
        EndDialog(dialog, 1);
        return;
    }
    SetDlgItemTextA(dialog, IDC_REMOVING, runRemovalStep(nextStep++));
    SendDlgItemMessageA(dialog, IDC_REMOVAL_BAR, PBM_STEPIT, 0, 0);
}

// The removal cannot be cancelled half-way: closing the window is ignored.
INT_PTR CALLBACK removalDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        return TRUE;
    case WM_TIMER:
        onTimer(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

// The window shows the steps; when it cannot be made, they run all the same.
void removeWithWindow()
{
    initCommonControls(ICC_PROGRESS_CLASS);
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UNINSTALLING), nullptr, removalDialogProc, 0);
    runRemainingSteps();
}

// Nothing is removed while a product file is open in another program: the
// user closes it and tries again, or stops here with nothing changed. Quiet,
// there is nobody to ask.
bool waitUntilFilesAreFree(bool quiet)
{
    while (const char* path = findFileInUse()) {
        char text[IN_USE_MESSAGE_SIZE];
        composeInUseMessage(text, path, installConfig.productName, "ends the removal; nothing has been removed");
        if (quiet || MessageBoxA(nullptr, text, caption, MB_RETRYCANCEL | MB_ICONWARNING) != IDRETRY) {
            return false;
        }
    }
    return true;
}

void showClosingMessage()
{
    char text[CLOSING_MESSAGE_SIZE];
    composeClosingMessage(text, installConfig.productName, leftBehind, keptFolders);
    MessageBoxA(nullptr, text, caption, leftBehind.count == 0 ? MB_ICONINFORMATION : MB_ICONWARNING);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    restrictDllSearch();
    useSystemCodePage();
    fillOneText(caption, sizeof caption, captionFormat, installConfig.productName);
    const UninstallMode mode = readUninstallMode(commandLine);
    const bool quiet = mode == UNINSTALL_QUIET;
    if (mode == UNINSTALL_BAD_OPTION) {
        char text[MESSAGE_SIZE];
        concatenateTexts(text, sizeof text,
                         {optionIntro, quietSwitch, optionMiddle, installConfig.productName, optionEnd});
        MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
        return EXIT_NOT_STARTED;
    }
    if (!holdProductLock()) {
        if (!quiet) {
            showMessage(anotherRunFormat, MB_ICONWARNING);
        }
        return EXIT_ANOTHER_RUNS;
    }
    if (!readInstallation()) {
        if (leftBehind.count != 0) {
            if (!quiet) {
                showClosingMessage();
            }
            return EXIT_LEFT_BEHIND;
        }
        if (!quiet) {
            showMessage(notInstalledFormat, MB_ICONINFORMATION);
        }
        return EXIT_NOT_INSTALLED;
    }
    if (!quiet && showMessage(questionFormat, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return EXIT_NOT_STARTED;
    }
    if (!waitUntilFilesAreFree(quiet)) {
        return quiet ? EXIT_LEFT_BEHIND : EXIT_NOT_STARTED;
    }
    if (quiet) {
        runRemainingSteps();
    } else {
        removeWithWindow();
        showClosingMessage();
    }
    return leftBehind.count == 0 ? EXIT_REMOVED : EXIT_LEFT_BEHIND;
}
