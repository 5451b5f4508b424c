#include "shell/backdrop.h"

#include "resource.h"
#include "shell/wizard.h"

HIMAGELIST systemSmallImageList;
COLORREF listColors[LIST_COLOR_COUNT];
SHFILEINFOA shellFileInfo;

namespace {
constexpr UINT CHAIN_START_DELAY_MS = 250;

LRESULT onCreate(HWND window)
{
    SetTimer(window, IDT_BACKDROP_START, CHAIN_START_DELAY_MS, nullptr);
    return 1;
}

// The first tick starts the wizard; the timer is killed first so that the
// pages' modal loops can never start the chain a second time.
LRESULT onTimer(HWND window, WPARAM timerId)
{
    KillTimer(window, timerId);
    runLicensePage(window);
    return 0;
}

LRESULT onDestroy()
{
    PostQuitMessage(0);
    return 0;
}
} // namespace

LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        return onTimer(window, wParam);
    case WM_DESTROY:
        return onDestroy();
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
