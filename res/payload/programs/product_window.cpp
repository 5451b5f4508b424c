// The product's programs as they ship with this setup: each opens a window
// that names the program and its version. PROGRAM_TITLE and PROGRAM_NOTE are
// set per program by the build.
#include <windows.h>

#include "product.h"

namespace {
constexpr char className[] = "ProductWindow";

// The window's texts, composed by wsprintf; the description's limits keep
// them inside these buffers, and the compiler checks it.
constexpr int TITLE_SIZE = 64;
constexpr int TEXT_SIZE = 256;
static_assert(sizeof PROGRAM_TITLE + sizeof PRODUCT_VERSION <= TITLE_SIZE, "the window title fits");
static_assert(sizeof PROGRAM_TITLE + sizeof PRODUCT_VERSION + sizeof PROGRAM_NOTE + sizeof PRODUCT_PUBLISHER + 16 <=
                  TEXT_SIZE,
              "the window text fits");

void paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT area;
    GetClientRect(window, &area);
    InflateRect(&area, -16, -16);
    char text[TEXT_SIZE];
    wsprintfA(text, "%s\r\nVersion %s\r\n\r\n%s\r\n\r\n%s", PROGRAM_TITLE, PRODUCT_VERSION, PROGRAM_NOTE,
              PRODUCT_PUBLISHER);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &area, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    EndPaint(window, &paint);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);

    char title[TITLE_SIZE];
    wsprintfA(title, "%s %s", PROGRAM_TITLE, PRODUCT_VERSION);
    HWND window = CreateWindowA(className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 360, 240, nullptr,
                                nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
