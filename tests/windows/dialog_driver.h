// Helpers for tests that drive the program's modal dialogs from a second
// thread while the test's own thread runs the dialog.
#pragma once
#include <windows.h>

#include <string>

namespace driver {
constexpr int MESSAGE_TEXT_ID = 0xFFFF; // the message box's text control

// A top-level window of this process with the class and caption, waited for.
inline HWND waitForWindow(const char* className, const char* caption, DWORD milliseconds = 10000)
{
    const DWORD start = GetTickCount();
    do {
        HWND window = FindWindowA(className, caption);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

inline std::string text(HWND window)
{
    char buffer[1024] = "";
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

inline std::string controlText(HWND dialog, int controlId) { return text(GetDlgItem(dialog, controlId)); }

// Waits for a message box captioned "Setup Mate", returns its text and
// answers it with the button.
inline std::string answerMessageBox(int buttonId, DWORD milliseconds = 10000)
{
    HWND box = waitForWindow("#32770", "Setup Mate", milliseconds);
    if (box == nullptr || GetDlgItem(box, MESSAGE_TEXT_ID) == nullptr) {
        return "<no message box>";
    }
    const std::string shown = controlText(box, MESSAGE_TEXT_ID);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    const DWORD start = GetTickCount();
    while (IsWindow(box) && GetTickCount() - start < milliseconds) {
        Sleep(20);
    }
    return shown;
}

// A button press as the dialog receives it from the button.
inline void click(HWND dialog, int controlId)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

// A key pressed in the control, going through the dialog's own key handling.
inline void pressKey(HWND control, WORD virtualKey)
{
    PostMessageA(control, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(control, WM_KEYUP, virtualKey, 0xC0000001);
}

inline void typeText(HWND control, const std::string& typed)
{
    for (char c : typed) {
        SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}
} // namespace driver
