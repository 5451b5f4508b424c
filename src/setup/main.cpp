// Start-up: the window classes, the welcome dialog, the backdrop and the
// program's only message loop. The exit code is 1 in every case.
#include <windows.h>

#include "engine/payload_check.h"
#include "engine/safe_paths.h"
#include "engine/start_up.h"
#include "product/config.h"
#include "resource.h"
#include "rules/registration_texts.h"
#include "setup/backdrop.h"
#include "setup/wizard.h"

namespace {
HICON loadSmallIcon(int iconResource)
{
    return static_cast<HICON>(
        LoadImageA(programInstance, MAKEINTRESOURCEA(iconResource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

// The welcome dialog's class: the system dialog class with the product icon.
void registerWelcomeClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (!GetClassInfoExA(nullptr, MAKEINTRESOURCEA(32770), &windowClass)) {
        return;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefDlgProcA;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = programInstance;
    windowClass.hIcon = LoadIconA(programInstance, MAKEINTRESOURCEA(IDI_PRODUCT));
    windowClass.lpszClassName = welcomeClassName;
    windowClass.hIconSm = loadSmallIcon(IDI_PRODUCT);
    RegisterClassExA(&windowClass);
}

void registerBackdropClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_BYTEALIGNWINDOW;
    windowClass.lpfnWndProc = backdropWindowProc;
    windowClass.hInstance = programInstance;
    windowClass.hIcon = LoadIconA(programInstance, MAKEINTRESOURCEA(IDI_PRODUCT));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = backdropClassName;
    windowClass.hIconSm = loadSmallIcon(IDI_PRODUCT);
    RegisterClassExA(&windowClass);
}

// Turns the "%i" of the title's publisher line into the current year.
void fillCurrentYear(HWND dialog)
{
    HWND title = GetDlgItem(dialog, IDC_WELCOME_TITLE);
    char format[WELCOME_TITLE_SIZE];
    char text[WELCOME_TITLE_SIZE + 16];
    GetWindowTextA(title, format, sizeof format);
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfA(text, format, static_cast<int>(now.wYear));
    SetWindowTextA(title, text);
}

INT_PTR CALLBACK welcomeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        fillCurrentYear(dialog);
        centerDialog(dialog, 0);
        applyProductName(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0) {
            return TRUE;
        }
        EndDialog(dialog, LOWORD(wParam));
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(colorIntroText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return FALSE;
    }
}

// A damaged setup says so before it has changed anything.
bool payloadChecked()
{
    if (payloadIsIntact(installConfig.files, installConfig.fileCount)) {
        return true;
    }
    MessageBoxA(nullptr, damagedPayloadText, setupTitle, MB_ICONERROR);
    showAbortWarning(nullptr);
    return false;
}

// A second setup, or one started while the uninstaller works, would clear and
// write the same folder and values: it says so and ends.
bool runsAlone()
{
    if (holdProductLock()) {
        return true;
    }
    char text[sizeof anotherRunFormat + sizeof installConfig.productName];
    fillOneText(text, sizeof text, anotherRunFormat, installConfig.productName);
    MessageBoxA(nullptr, text, setupTitle, MB_ICONWARNING);
    return false;
}

void runMessageLoop()
{
    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == -1 || message.message == WM_QUIT) {
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    restrictDllSearch();
    useSystemCodePage();
    programInstance = instance;
    if (!runsAlone() || !payloadChecked()) {
        return 1;
    }
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    registerWelcomeClass();
    registerBackdropClass();

    if (DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WELCOME), nullptr, welcomeDialogProc, 0) != 1) {
        return 1;
    }
    backdropWindow =
        CreateWindowExA(WS_EX_TOPMOST, backdropClassName, setupTitle, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0,
                        screenWidth, screenHeight, nullptr, nullptr, instance, nullptr);
    if (backdropWindow == nullptr) {
        return 1;
    }
    ShowWindow(backdropWindow, showCommand);
    UpdateWindow(backdropWindow);
    runMessageLoop();
    return 1;
}
