// The licence agreement: a resizable page whose text field follows the frame.
#include "resource.h"
#include "setup/pages/pages.h"
#include "setup/wizard.h"

namespace {
// The client size last seen, from which every resize continues.
int baselineWidth;
int baselineHeight;

void showLicenseText(HWND page)
{
    HRSRC resource = FindResourceA(programInstance, "LICENSE", MAKEINTRESOURCEA(10));
    if (resource == nullptr) {
        return;
    }
    const DWORD size = SizeofResource(programInstance, resource);
    const char* text = static_cast<const char*>(LockResource(LoadResource(programInstance, resource)));
    if (text == nullptr) {
        return;
    }
    // The resource has no terminating NUL: hand the edit field a terminated copy.
    HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size + 1);
    if (copy == nullptr) {
        return;
    }
    char* terminated = static_cast<char*>(copy);
    CopyMemory(terminated, text, size);
    terminated[size] = '\0';
    SendDlgItemMessageA(page, IDC_LICENSE_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(terminated));
    GlobalFree(copy);
}

void onInitDialog(HWND page)
{
    centerDialog(page, 1);
    applyProductName(page, 1);
    RECT client;
    GetClientRect(page, &client);
    baselineWidth = client.right;
    baselineHeight = client.bottom;
    showLicenseText(page);
}

RECT clientRectOf(HWND page, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void moveBy(HWND page, int controlId, int dx, int dy)
{
    HWND control = GetDlgItem(page, controlId);
    if (control == nullptr) {
        return;
    }
    const RECT rect = clientRectOf(page, control);
    // The page does not clip its children, so its erase of the area a resize
    // uncovers would wipe bits copied there: the control repaints instead.
    SetWindowPos(control, nullptr, rect.left + dx, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

// The text field's right and bottom edges follow the frame; both buttons keep
// their distance from the lower-right corner.
void onSize(HWND page, int width, int height)
{
    const int dx = width - baselineWidth;
    const int dy = height - baselineHeight;
    HWND text = GetDlgItem(page, IDC_LICENSE_TEXT);
    if (text != nullptr) {
        const RECT rect = clientRectOf(page, text);
        SetWindowPos(text, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    moveBy(page, IDOK, dx, dy);
    moveBy(page, IDCANCEL, dx, dy);
    baselineWidth = width;
    baselineHeight = height;
}

INT_PTR onCommand(HWND page, int controlId, int notification)
{
    if (controlId != IDOK && controlId != IDCANCEL) {
        return TRUE;
    }
    if (notification == BN_CLICKED) {
        EndDialog(page, controlId);
    }
    return FALSE;
}
} // namespace

INT_PTR CALLBACK licensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(page);
        return TRUE;
    case WM_SIZE:
        onSize(page, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_COMMAND:
        return onCommand(page, LOWORD(wParam), HIWORD(wParam));
    default:
        return FALSE;
    }
}
