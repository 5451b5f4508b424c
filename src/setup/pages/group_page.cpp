// The program group page: the existing Start Menu groups in an owner-drawn
// list, the product name proposed, and "Continue" running the shortcuts
// dialog.
#include <windows.h>

#include <shellapi.h>

#include "product/config.h"
#include "resource.h"
#include "rules/location_rules.h"
#include "rules/paths.h"
#include "setup/backdrop.h"
#include "setup/pages/list_row.h"
#include "setup/pages/pages.h"
#include "setup/pages/shortcuts.h"
#include "setup/wizard.h"

namespace {
constexpr int GROUP_NAME_LIMIT = sizeof installPaths.groupName - 1;
constexpr uint32_t AFTER_SHORTCUTS_MS = 500;
constexpr size_t ITEM_TEXT_SIZE = 128;
constexpr char invalidGroupText[] =
    "Group Invalid!\r\n\r\nA group is a folder inside the Start Menu, such as Tools or Tools\\Utilities.";

// Adds every subfolder of the programs folder whose name does not begin with
// a dot. False when the folder cannot be searched; an empty programs folder
// text (the system could not name it) counts as such.
bool listExistingGroups(HWND page)
{
    char pattern[MAX_PATH];
    if (installPaths.programsDir[0] == '\0' || !joinPath(pattern, sizeof pattern, installPaths.programsDir, "*", 0)) {
        return false;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != '.') {
            SendDlgItemMessageA(page, IDC_GROUP_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.cFileName));
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return true;
}

// Selects a listed group that matches the product name in any case, but
// shows the product name exactly as configured.
void setDefaultGroup(HWND page)
{
    lstrcpynA(installPaths.groupName, installConfig.productName, sizeof installPaths.groupName);
    HWND box = GetDlgItem(page, IDC_GROUP_BOX);
    const LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(installPaths.groupName));
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowTextA(box, installPaths.groupName);
}

// The folder's small icon and its name, as every list row is drawn. A draw request
// for no item (-1, from an empty list) draws nothing; a name too long for
// the text buffer is drawn without its text.
BOOL drawGroupItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1)) {
        return TRUE;
    }
    char text[ITEM_TEXT_SIZE] = "";
    const LRESULT length = SendMessageA(item.hwndItem, CB_GETLBTEXTLEN, item.itemID, 0);
    if (length != CB_ERR && static_cast<size_t>(length) < sizeof text) {
        SendMessageA(item.hwndItem, CB_GETLBTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
    }
    char folder[MAX_PATH];
    int icon = -1;
    if (joinPath(folder, sizeof folder, installPaths.programsDir, text, 0) &&
        SHGetFileInfoA(folder, 0, &shellFileInfo, sizeof shellFileInfo, SHGFI_SYSICONINDEX | SHGFI_SMALLICON) != 0) {
        icon = shellFileInfo.iIcon;
    }
    drawListRow(item, item.rcItem.left + 1, icon, text);
    return TRUE;
}

void onInitDialog(HWND page)
{
    centerDialog(page, 1);
    applyProductName(page, 1);
    applyProductName(page, 0);
    if (!listExistingGroups(page)) {
        abortPage(page, "Unable to locate the Start Menu!");
        return;
    }
    SendDlgItemMessageA(page, IDC_GROUP_BOX, CB_LIMITTEXT, GROUP_NAME_LIMIT, 0);
    setDefaultGroup(page);
}

// The group is taken as typed, once it names a folder. "Continue" and
// "Reset Group" stay disabled once the shortcuts dialog has been opened: the
// group of the shortcuts is the group the installation records.
void onContinue(HWND page)
{
    GetDlgItemTextA(page, IDC_GROUP_BOX, installPaths.groupName, sizeof installPaths.groupName);
    if (installPaths.groupName[0] == '\0') {
        MessageBoxA(page, "Group may not be empty!", setupTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    // The shortcuts are written with administrator rights: a group that
    // would lead out of the Start Menu (..\..\Windows) is refused.
    if (!isGroupPath(installPaths.groupName)) {
        MessageBoxA(page, invalidGroupText, setupTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    setStepMarker(STEP_SHORTCUTS);
    EnableWindow(GetDlgItem(page, IDC_GROUP_CONTINUE), FALSE);
    EnableWindow(GetDlgItem(page, IDC_RESET_GROUP), FALSE);
    if (runShortcutsDialog(page) == 1) {
        pumpMessagesFor(page, AFTER_SHORTCUTS_MS);
        EndDialog(page, 1);
        return;
    }
    abortPage(page, "Unable To Create Shortcuts!");
}

// Enter in the group field sends command 1, which is left alone.
INT_PTR onCommand(HWND page, int controlId, int notification)
{
    switch (controlId) {
    case IDCANCEL:
        if (notification == BN_CLICKED) {
            abortPage(page, nullptr);
        }
        return FALSE;
    case IDC_GROUP_CONTINUE:
        if (notification == BN_CLICKED) {
            onContinue(page);
        }
        return FALSE;
    case IDC_RESET_GROUP:
        if (notification == BN_CLICKED) {
            setDefaultGroup(page);
        }
        return FALSE;
    default:
        return TRUE;
    }
}
} // namespace

INT_PTR CALLBACK groupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        return onCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DRAWITEM:
        return drawGroupItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(colorIntroText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return FALSE;
    }
}
