// Finding and reading the setup's windows, and acting on them through the
// system's input queue as a user's mouse and keyboard would.
#include "driver.h"
#include "e2e.h"

#include <cstdio>
#include <cstring>

namespace {
const DWORD messageTimeout = 2000;
const UINT messageBoxTextId = 0xFFFF;

struct WindowSearch {
    const char* className;
    const char* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != setupProcessId() || !IsWindowVisible(window)) {
        return TRUE;
    }
    char text[512];
    if (search->className) {
        GetClassNameA(window, text, sizeof text);
        if (strcmp(text, search->className) != 0) {
            return TRUE;
        }
    }
    if (search->caption) {
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, search->caption) != 0) {
            return TRUE;
        }
    }
    search->found.push_back(window);
    return TRUE;
}

std::string describeSearch(const char* className, const char* caption)
{
    return std::string("window of class ") + (className ? std::string("\"") + className + "\"" : "any") +
           " captioned " + (caption ? std::string("\"") + caption + "\"" : "anything");
}

void sendInputs(INPUT* inputs, UINT count)
{
    if (SendInput(count, inputs, sizeof(INPUT)) != count) {
        fail("the system refused the input (error %lu)", static_cast<unsigned long>(GetLastError()));
    }
}

INPUT keyInput(WORD virtualKey, bool up)
{
    INPUT key = {};
    key.type = INPUT_KEYBOARD;
    key.ki.wVk = virtualKey;
    key.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    key.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return key;
}

// Keys reach the foreground window; a user types into the setup only when
// one of its windows is in front.
void requireSetupInForeground()
{
    HWND foreground = GetForegroundWindow();
    DWORD processId = 0;
    GetWindowThreadProcessId(foreground, &processId);
    if (processId != setupProcessId()) {
        fail("the keyboard input would not reach the setup: the foreground window is %s",
             foreground ? describeWindow(foreground).c_str() : "none");
    }
}

// Gives the setup's thread time to take the input from its queue.
void settle() { pause(50); }
} // namespace

HWND findWindow(const char* className, const char* caption)
{
    WindowSearch search{className, caption, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

HWND waitForWindow(const char* className, const char* caption, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = findWindow(className, caption)) {
            return window;
        }
        if (GetTickCount() - start > milliseconds) {
            std::string windows;
            for (HWND window : setupWindows()) {
                windows += "\n       " + describeWindow(window);
            }
            fail("no %s within %lu ms; the setup shows:%s", describeSearch(className, caption).c_str(),
                 static_cast<unsigned long>(milliseconds), windows.empty() ? " no window" : windows.c_str());
        }
        if (!setupRunning()) {
            fail("the setup ended without showing a %s", describeSearch(className, caption).c_str());
        }
        pause(10);
    }
}

void waitForWindowGone(HWND window, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start > milliseconds) {
            fail("%s is still there after %lu ms", describeWindow(window).c_str(),
                 static_cast<unsigned long>(milliseconds));
        }
        pause(10);
    }
}

std::vector<HWND> setupWindows()
{
    WindowSearch search{nullptr, nullptr, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string windowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, messageTimeout, &length)) {
        fail("%s does not answer WM_GETTEXTLENGTH", describeWindow(window).c_str());
    }
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, messageTimeout, &copied)) {
        fail("%s does not answer WM_GETTEXT", describeWindow(window).c_str());
    }
    // The count that comes back across processes is not always the length: the text ends at its NUL.
    text.resize(strlen(text.c_str()));
    return text;
}

HWND control(HWND dialog, int controlId)
{
    HWND found = GetDlgItem(dialog, controlId);
    if (!found) {
        fail("%s has no control %d", describeWindow(dialog).c_str(), controlId);
    }
    return found;
}

std::string controlText(HWND dialog, int controlId) { return windowText(control(dialog, controlId)); }

RECT windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

RECT controlRect(HWND dialog, int controlId)
{
    RECT rect = windowRect(control(dialog, controlId));
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string describeRect(const RECT& rect)
{
    char text[96];
    snprintf(text, sizeof text, "%ld,%ld-%ld,%ld (%ld x %ld)", rect.left, rect.top, rect.right, rect.bottom,
             rect.right - rect.left, rect.bottom - rect.top);
    return text;
}

std::string describeWindow(HWND window)
{
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    char text[512];
    snprintf(text, sizeof text, "%p class \"%s\" caption \"%s\" at %s", static_cast<void*>(window),
             windowClass(window).c_str(), caption, describeRect(windowRect(window)).c_str());
    return text;
}

void click(HWND dialog, int controlId)
{
    HWND target = control(dialog, controlId);
    if (!IsWindowVisible(target) || !IsWindowEnabled(target)) {
        fail("control %d of %s cannot be clicked: it is %s", controlId, describeWindow(dialog).c_str(),
             IsWindowVisible(target) ? "disabled" : "hidden");
    }
    RECT rect = windowRect(target);
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // Under Wine the topmost backdrop is now and then raised over a page for
    // a moment; a user would wait for it to pass, and so does the click.
    HWND under = nullptr;
    if (!waitUntil([&] { return (under = WindowFromPoint(middle)) == target; }, 3000)) {
        fail("control %d of %s is covered at %ld,%ld by %s", controlId, describeWindow(dialog).c_str(), middle.x,
             middle.y, under ? describeWindow(under).c_str() : "nothing");
    }
    LPARAM point = MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(target, WM_LBUTTONUP, 0, point);
    settle();
}

void resizeWindow(HWND window, int dx, int dy)
{
    RECT rect = windowRect(window);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    settle();
}

void pressKey(WORD virtualKey)
{
    requireSetupInForeground();
    INPUT keys[2] = {keyInput(virtualKey, false), keyInput(virtualKey, true)};
    sendInputs(keys, 2);
    settle();
}

void pressKeyWith(WORD modifierKey, WORD virtualKey)
{
    requireSetupInForeground();
    INPUT keys[4] = {keyInput(modifierKey, false), keyInput(virtualKey, false), keyInput(virtualKey, true),
                     keyInput(modifierKey, true)};
    sendInputs(keys, 4);
    settle();
}

// A character that no key of the layout gives (a Japanese one, say) is sent
// as its Unicode code, as an input method would.
void typeText(const char* text)
{
    requireSetupInForeground();
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    for (const wchar_t* c = wide.c_str(); *c; ++c) {
        std::vector<INPUT> keys;
        if (*c >= 0x80) {
            for (bool up : {false, true}) {
                INPUT key = {};
                key.type = INPUT_KEYBOARD;
                key.ki.wScan = *c;
                key.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
                keys.push_back(key);
            }
            sendInputs(keys.data(), static_cast<UINT>(keys.size()));
            continue;
        }
        SHORT key = VkKeyScanW(*c);
        if (key == -1) {
            fail("typeText: no key gives '%c'", static_cast<char>(*c));
        }
        WORD virtualKey = LOBYTE(key);
        if (HIBYTE(key) & 1) {
            keys.push_back(keyInput(VK_SHIFT, false));
        }
        keys.push_back(keyInput(virtualKey, false));
        keys.push_back(keyInput(virtualKey, true));
        if (HIBYTE(key) & 1) {
            keys.push_back(keyInput(VK_SHIFT, true));
        }
        sendInputs(keys.data(), static_cast<UINT>(keys.size()));
    }
    settle();
}

std::string typedText(HWND field, const std::string& expected)
{
    // Typed keys reach a page late on a loaded machine.
    waitUntil([&] { return windowText(field) == expected; }, 10000);
    pause(200);
    return windowText(field);
}

HWND focusedControl(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

MessageBoxSeen waitForMessageBox(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        for (HWND window : setupWindows()) {
            if (isMessageBox(window)) {
                char caption[256] = "";
                GetWindowTextA(window, caption, sizeof caption);
                MessageBoxSeen box{window, caption, controlText(window, messageBoxTextId)};
                note("message box \"%s\": \"%s\"", box.caption.c_str(), printable(box.text).c_str());
                return box;
            }
        }
        if (GetTickCount() - start > milliseconds) {
            fail("no message box within %lu ms", static_cast<unsigned long>(milliseconds));
        }
        if (!setupRunning()) {
            fail("the setup ended without showing a message box");
        }
        pause(10);
    }
}

void answerMessageBox(const MessageBoxSeen& box, int buttonId)
{
    click(box.window, buttonId);
    waitForWindowGone(box.window);
}
