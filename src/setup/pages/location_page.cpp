// The program location page: the user types the install folder or walks the
// drives and folders in an owner-drawn list; "Continue" checks the path and
// appends the product name unless the path already names it.
#include "setup/pages/location_page.h"

#include <shlobj.h>

#include <cstring>

#include "engine/install_files.h"
#include "engine/registration.h"
#include "product/config.h"
#include "resource.h"
#include "rules/paths.h"
#include "setup/backdrop.h"
#include "setup/pages/list_row.h"
#include "setup/pages/pages.h"
#include "setup/wizard.h"

FolderListState folderListState;

static_assert(sizeof installPaths.installDir == PATH_BUFFER_SIZE, "the install folder is a path buffer");

namespace {
constexpr int EDIT_TEXT_LIMIT = TYPED_PATH_CAPACITY - 1;
constexpr int INDENT_PIXELS = 8;
constexpr char PATH_INVALID_HEADING[] = "Path Invalid!\r\n\r\n";

HWND folderList(HWND page) { return GetDlgItem(page, IDC_FOLDER_LIST); }

// Adds a row in the list's sorted order (subfolders, drives) or, given a
// position, inserts it there (the computer and the ancestors); the row keeps
// its kind as its item datum.
void addRow(HWND list, const char* text, FolderRowKind kind, int position = -1)
{
    const LRESULT row = position < 0 ? SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))
                                     : SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(position),
                                                    reinterpret_cast<LPARAM>(text));
    if (row >= 0) {
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), kind);
    }
}

// Reads a row's text when it fits the buffer.
bool readRowText(HWND list, WPARAM row, char* text, size_t capacity)
{
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (length == LB_ERR || static_cast<size_t>(length) >= capacity) {
        return false;
    }
    return SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text)) != LB_ERR;
}

int rowCount(HWND list)
{
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count < 0) {
        return 0;
    }
    return count < FOLDER_LIST_ROWS ? static_cast<int>(count) : FOLDER_LIST_ROWS;
}

void selectCurrentRow(HWND list, int row)
{
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    folderListState.currentRow = static_cast<int16_t>(row);
}

void endFill(HWND list)
{
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

// Adds up to room subfolders of the folder: those whose names begin with a
// dot are left out, hidden ones are not, and one whose full path would not
// fit a path buffer is skipped.
void addSubfolderRows(HWND list, const char* path, int room)
{
    char pattern[MAX_PATH + 1];
    if (room <= 0 || !joinPath(pattern, sizeof pattern, path, "*.*", 0)) {
        return;
    }
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    int added = 0;
    do {
        char folder[JOINED_PATH_CAPACITY];
        if (entry.cFileName[0] != '.' && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            joinPath(folder, sizeof folder, path, entry.cFileName, 0)) {
            addRow(list, folder, ROW_FOLDER);
            ++added;
        }
    } while (added < room && FindNextFileA(search, &entry));
    FindClose(search);
}

// Fills the shell's record for a drive or folder row; a folder that does not
// exist gets the generic folder icon and its last component as name.
bool queryRowIcon(const char* path, UINT flags)
{
    return SHGetFileInfoA(path, 0, &shellFileInfo, sizeof shellFileInfo, flags) != 0 ||
           SHGetFileInfoA(path, FILE_ATTRIBUTE_DIRECTORY, &shellFileInfo, sizeof shellFileInfo,
                          flags | SHGFI_USEFILEATTRIBUTES) != 0;
}

void onInitDialog(HWND page)
{
    centerDialog(page, 1);
    applyProductName(page, 1);
    applyProductName(page, 0);
    SendDlgItemMessageA(page, IDC_LOCATION_EDIT, EM_LIMITTEXT, EDIT_TEXT_LIMIT, 0);
    applyDefaultFolder(page);
}

INT_PTR onCommand(HWND page, int controlId, int notification)
{
    switch (controlId) {
    case IDOK:
        if (notification == BN_CLICKED) {
            if (validateLocation(page) == -1) {
                SetFocus(GetDlgItem(page, IDC_LOCATION_EDIT));
            } else {
                EndDialog(page, 1);
            }
        }
        return FALSE;
    case IDCANCEL:
        if (notification == BN_CLICKED) {
            abortPage(page, nullptr);
        }
        return FALSE;
    case IDC_FOLDER_LIST:
        if (notification == LBN_DBLCLK) {
            onFolderListDoubleClick(page);
        }
        return FALSE;
    case IDC_RESET_FOLDER:
        if (notification == BN_CLICKED) {
            applyDefaultFolder(page);
        }
        return FALSE;
    default:
        return TRUE;
    }
}
} // namespace

void applyDefaultFolder(HWND page)
{
    LPITEMIDLIST computer = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(page, CSIDL_DRIVES, &computer)) && computer != nullptr) {
        if (SHGetFileInfoA(reinterpret_cast<LPCSTR>(computer), 0, &shellFileInfo, sizeof shellFileInfo,
                           SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_PIDL | SHGFI_SMALLICON) != 0) {
            folderListState.computerIcon = static_cast<int16_t>(LOWORD(shellFileInfo.iIcon));
            lstrcpynA(folderListState.computerName, shellFileInfo.szDisplayName, sizeof folderListState.computerName);
        }
        CoTaskMemFree(computer);
    }
    char candidate[PATH_BUFFER_SIZE];
    if (!readPreviousFolder(candidate)) {
        joinPath(candidate, sizeof candidate, defaultInstallRoot, installConfig.productName, 0);
    }
    if (std::strcmp(candidate, installPaths.installDir) != 0) {
        showFolderList(page, candidate, 0);
    }
}

int validateLocation(HWND page)
{
    // Room for more than a path buffer holds, so that a longer text is
    // refused rather than silently cut.
    char typed[TYPED_PATH_CAPACITY];
    GetDlgItemTextA(page, IDC_LOCATION_EDIT, typed, sizeof typed);
    char folder[PATH_BUFFER_SIZE];
    const LocationProblem problem = judgeInstallLocation(typed, folder);
    if (problem != LOCATION_ACCEPTED) {
        char message[128];
        wsprintfA(message, locationReasonFormat(problem), PATH_INVALID_HEADING);
        MessageBoxA(page, message, setupTitle, MB_OK | MB_ICONWARNING);
        return -1;
    }
    showFolderList(page, folder, 0);
    return 1;
}

void showFolderList(HWND page, const char* path, int driveMode)
{
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char folder[PATH_BUFFER_SIZE];
    lstrcpynA(folder, path, sizeof folder);
    lstrcpyA(installPaths.installDir, folder);
    SetDlgItemTextA(page, IDC_LOCATION_EDIT, installPaths.installDir);
    HWND list = folderList(page);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    folderListState.driveMode = driveMode;
    if (driveMode) {
        fillDriveRows(page);
    } else {
        fillFolderRows(page, installPaths.installDir);
    }
}

void fillDriveRows(HWND page)
{
    HWND list = folderList(page);
    char roots[128] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    if (length > 0 && length < sizeof roots) {
        for (char* root = roots; *root != '\0'; root += std::strlen(root) + 1) {
            if (*root >= 'a' && *root <= 'z') {
                *root = static_cast<char>(*root - 32);
            }
            if (GetDriveTypeA(root) == DRIVE_FIXED) {
                addRow(list, root, ROW_DRIVE);
            }
        }
    }
    addRow(list, folderListState.computerName, ROW_COMPUTER, 0);
    LRESULT row = SendMessageA(list, LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(installPaths.installDir));
    if (row == LB_ERR) {
        row = 0;
    }
    selectCurrentRow(list, static_cast<int>(row));
    folderListState.rowIndent[0] = 0;
    for (int k = 1; k < rowCount(list); ++k) {
        folderListState.rowIndent[k] = 1;
    }
    endFill(list);
}

void fillFolderRows(HWND page, const char* path)
{
    HWND list = folderList(page);
    AncestorRow ancestors[FOLDER_LIST_ROWS - 1];
    const int ancestorCount = ancestorRows(path, ancestors, FOLDER_LIST_ROWS - 1);
    // A path that does not begin with a drive root has no rows but the computer's.
    if (ancestorCount > 0) {
        addSubfolderRows(list, path, subfolderRoom(ancestorCount));
    }
    addRow(list, folderListState.computerName, ROW_COMPUTER, 0);
    folderListState.rowIndent[0] = 0;
    for (int k = 1; k <= ancestorCount; ++k) {
        const AncestorRow& ancestor = ancestors[k - 1];
        char prefix[PATH_BUFFER_SIZE];
        lstrcpynA(prefix, path,
                  static_cast<int>(ancestor.length < sizeof prefix ? ancestor.length + 1 : sizeof prefix));
        addRow(list, prefix, k == 1 ? ROW_DRIVE : ROW_FOLDER, k);
        folderListState.rowIndent[k] = ancestor.indent;
    }
    selectCurrentRow(list, ancestorCount);
    for (int k = ancestorCount + 1; k < rowCount(list); ++k) {
        folderListState.rowIndent[k] = subfolderIndent(ancestorCount);
    }
    endFill(list);
}

void onFolderListDoubleClick(HWND page)
{
    HWND list = folderList(page);
    const LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    char text[MAX_PATH + 1];
    if (row == LB_ERR || !readRowText(list, static_cast<WPARAM>(row), text, sizeof text)) {
        return;
    }
    if (row == 0) {
        if (!folderListState.driveMode) {
            showFolderList(page, text, 1);
        }
    } else if (folderListState.driveMode || row != folderListState.currentRow) {
        showFolderList(page, text, 0);
    }
}

BOOL drawFolderRow(const DRAWITEMSTRUCT* item)
{
    if (item->itemID >= static_cast<UINT>(FOLDER_LIST_ROWS)) {
        return TRUE;
    }
    const int x0 = item->rcItem.left + folderListState.rowIndent[item->itemID] * INDENT_PIXELS + 1;
    char text[MAX_PATH + 1];
    if (!readRowText(item->hwndItem, item->itemID, text, sizeof text)) {
        text[0] = '\0';
    }
    const char* shown = text;
    int icon = folderListState.computerIcon;
    if (item->itemData != ROW_COMPUTER) {
        UINT flags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON;
        if (item->itemData == ROW_FOLDER && item->itemID == static_cast<UINT>(folderListState.currentRow)) {
            flags |= SHGFI_OPENICON;
        }
        if (queryRowIcon(text, flags)) {
            shown = shellFileInfo.szDisplayName;
            icon = LOWORD(shellFileInfo.iIcon);
        } else {
            icon = -1;
        }
    }
    drawListRow(*item, x0, icon, shown);
    return TRUE;
}

INT_PTR CALLBACK locationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(page);
        return TRUE;
    case WM_COMMAND:
        return onCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DRAWITEM:
        return drawFolderRow(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(colorIntroText(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return FALSE;
    }
}
