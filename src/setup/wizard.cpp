#include "setup/wizard.h"

#include "product/config.h"
#include "resource.h"

HINSTANCE programInstance;
int screenWidth;
int screenHeight;
HWND backdropWindow;
int32_t currentStepMarker;

namespace {
constexpr COLORREF NAVY = RGB(0, 0, 128);
} // namespace

void centerDialog(HWND dialog, int besideStrip)
{
    RECT frame;
    GetWindowRect(dialog, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (screenWidth - width + (besideStrip ? STRIP_WIDTH : 0)) / 2;
    const int y = (screenHeight - height) / 2;
    MoveWindow(dialog, x, y, width, height, FALSE);
}

void applyProductName(HWND dialog, int toCaption)
{
    HWND target = toCaption ? dialog : GetDlgItem(dialog, IDC_INTRO_TEXT);
    char format[200];
    char text[200 + sizeof installConfig.productName];
    GetWindowTextA(target, format, sizeof format);
    wsprintfA(text, format, installConfig.productName);
    SetWindowTextA(target, text);
    if (toCaption) {
        setSmallIcon(dialog, IDI_PRODUCT);
    }
}

void setSmallIcon(HWND window, int iconResource)
{
    // A shared icon is loaded once and freed by the system, however many pages ask for it.
    HANDLE icon = LoadImageA(programInstance, MAKEINTRESOURCEA(iconResource), IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void setStepMarker(int32_t marker)
{
    currentStepMarker = marker;
    InvalidateRect(backdropWindow, &STEP_LIST_RECT, FALSE);
    UpdateWindow(backdropWindow);
}

void pumpMessagesFor(HWND window, uint32_t milliseconds)
{
    const DWORD start = GetTickCount();
    DWORD now;
    do {
        now = GetTickCount();
        MSG message;
        if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (now - start < milliseconds);
}

int showAbortWarning(HWND owner)
{
    MessageBoxA(owner, abortWarningText, setupTitle, MB_OK | MB_ICONWARNING);
    return 0;
}

void abortPage(HWND page, const char* errorText)
{
    if (errorText != nullptr) {
        MessageBoxA(page, errorText, setupTitle, MB_OK | MB_ICONERROR);
    }
    showAbortWarning(page);
    EndDialog(page, 2);
}

HBRUSH colorNavyText(HDC dc, int backgroundColor)
{
    SetTextColor(dc, NAVY);
    SetBkColor(dc, GetSysColor(backgroundColor));
    return GetSysColorBrush(backgroundColor);
}

HBRUSH colorIntroText(HDC dc, HWND control)
{
    return GetDlgCtrlID(control) == IDC_INTRO_TEXT ? colorNavyText(dc, COLOR_BTNFACE) : nullptr;
}
