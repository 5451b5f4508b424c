#include "wizard_path.h"

#include "e2e.h"
#include "resource.h"

#include <shlobj.h>

namespace {
FileSnapshot machineBefore;
} // namespace

const FileSnapshot& machineBeforeSetup() { return machineBefore; }

HWND openWelcome()
{
    machineBefore = snapshotDriveC();
    startSetup();
    return waitForWindow("InstallDlg", "Setup Mate");
}

HWND continueToBackdrop(HWND welcome)
{
    click(welcome, IDOK);
    return waitForWindow("InstallApp", "Setup Mate");
}

HWND waitForLicensePage() { return waitForWindow("#32770", "Tidy Kit License Agreement"); }

HWND openLicensePage()
{
    continueToBackdrop(openWelcome());
    return waitForLicensePage();
}

void expectLicenseAgreed(HWND license)
{
    waitForWindowGone(license);
    HWND location = waitForLocationPage();
    step("location");
    click(location, IDCANCEL);
    expectAborted();
    expectNothingInstalled();
}

HWND waitForLocationPage() { return waitForWindow("#32770", "Tidy Kit Program Location"); }

HWND openLocationPage()
{
    HWND license = openLicensePage();
    click(license, IDOK);
    return waitForLocationPage();
}

HWND folderList(HWND page) { return control(page, IDC_FOLDER_LIST); }

int rowHeight(HWND page, int row) { return static_cast<int>(SendMessageA(folderList(page), LB_GETITEMHEIGHT, row, 0)); }

int rowTop(HWND page, int row)
{
    HWND list = folderList(page);
    LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    int y = 0;
    for (LRESULT i = top; i < row; ++i) {
        y += static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, i, 0));
    }
    RECT client;
    GetClientRect(list, &client);
    if (row < top || y + rowHeight(page, row) > client.bottom) {
        fail("row %d of the folder list is not visible", row);
    }
    return y;
}

LPARAM rowPoint(HWND page, int row) { return MAKELPARAM(60, rowTop(page, row) + rowHeight(page, row) / 2); }

void clickRow(HWND page, int row)
{
    LPARAM point = rowPoint(page, row);
    PostMessageA(folderList(page), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(folderList(page), WM_LBUTTONUP, 0, point);
    pause(100);
}

void doubleClickRow(HWND page, int row)
{
    LPARAM point = rowPoint(page, row);
    HWND list = folderList(page);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    pause(200);
}

HWND inFront(HWND page)
{
    const RECT rect = windowRect(page);
    const POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const DWORD start = scenarioClock();
    while (GetAncestor(WindowFromPoint(middle), GA_ROOT) != page) {
        if (scenarioClock() - start > 5000) {
            fail("%s stays covered by %s", describeWindow(page).c_str(),
                 describeWindow(GetAncestor(WindowFromPoint(middle), GA_ROOT)).c_str());
        }
        pause(10);
    }
    if (scenarioClock() > start) {
        note("%s was covered for %lu ms after it opened", describeWindow(page).c_str(),
             static_cast<unsigned long>(scenarioClock() - start));
    }
    return page;
}

int pixelsDifferingFrom(const RECT& area, const std::function<void(HDC)>& draw)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    draw(memory);
    GdiFlush();
    int different = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            DWORD pixel = pixels[y * width + x];
            COLORREF expected = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
            different += screenPixel(area.left + x, area.top + y) != expected;
        }
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return different;
}

void expectMessageBoxIcon(const MessageBoxSeen& box, LPCSTR systemIcon)
{
    const int iconControlId = 1088; // the icon of a message box
    HWND iconControl = GetDlgItem(box.window, iconControlId);
    if (!iconControl) {
        expect(false, "the message box shows an icon");
        return;
    }
    RECT rect = windowRect(iconControl);
    // The icon drawn here on the control's background.
    int different = pixelsDifferingFrom(rect, [&](HDC dc) {
        HBRUSH background = CreateSolidBrush(screenPixel(rect.left, rect.top));
        RECT whole = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
        FillRect(dc, &whole, background);
        DeleteObject(background);
        DrawIcon(dc, 0, 0, LoadIconA(nullptr, systemIcon));
    });
    expect(different == 0, "the message box shows the expected system icon: %d of %ld pixels differ", different,
           (rect.right - rect.left) * (rect.bottom - rect.top));
}

void expectAborted()
{
    MessageBoxSeen warning = waitForMessageBox();
    step("abort-warning");
    expectText(warning.caption, "Setup Mate", "caption of the abort warning");
    expect(warning.text.rfind("Installation Aborted!\r\n\r\n", 0) == 0,
           "the warning begins with \"Installation Aborted!\" and an empty line");
    expectMessageBoxIcon(warning, IDI_WARNING);
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    std::vector<SeenWindow> seen = seenWindows();
    DWORD warned = 0;
    for (const SeenWindow& window : seen) {
        warned = window.window == warning.window ? window.created : warned;
    }
    int later = 0;
    for (const SeenWindow& window : seen) {
        later += window.messageBox && window.window != warning.window && window.created >= warned;
    }
    expect(later == 0, "no message box follows the warning: %d did", later);
}

void expectRefusedCleanly()
{
    expectSetupEndsSilently();
    expectNothingInstalled();
}

void expectNothingInstalled()
{
    std::vector<FileChange> changes = changedFiles(machineBefore, snapshotDriveC());
    std::string listed;
    for (const FileChange& change : changes) {
        listed += "\n       " + change.kind + " " + change.path;
    }
    expect(changes.empty(), "no file on drive C: was added, changed or removed%s", listed.c_str());
    std::string folder;
    expect(!readRegistryString(HKEY_LOCAL_MACHINE, publisherKey, "Tidy Kit", folder),
           "no install folder is recorded under HKLM\\Software\\Moorfield Systems");
}

RECT centredRect(const RECT& window, int bandLeft)
{
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int left = (1024 - width + bandLeft) / 2;
    int top = (768 - height) / 2;
    return {left, top, left + width, top + height};
}

std::string programsFolder()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, folder);
    return folder;
}

void writeFile(const std::string& path, const std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("%s could not be written", path.c_str());
    }
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}
