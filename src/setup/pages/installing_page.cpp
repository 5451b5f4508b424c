// The installing-files page: no buttons, no way to cancel. It fills the
// Windows and programs folders, runs the file installation from a one-shot
// timer so that the page is on screen first, and paints its own bar.
#include <windows.h>

#include "engine/install_files.h"
#include "engine/payload_check.h"
#include "engine/system_folders.h"
#include "product/config.h"
#include "resource.h"
#include "rules/install_rules.h"
#include "rules/paths.h"
#include "setup/pages/pages.h"
#include "setup/pages/progress.h"
#include "setup/wizard.h"

namespace {
constexpr COLORREF NAVY = RGB(0, 0, 128); // the bar's done part
constexpr COLORREF DARK_NAVY = RGB(0, 0, 64);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr UINT INSTALL_START_DELAY_MS = 250;
constexpr uint32_t FINISHED_PAGE_MS = 1000;
// Controls declared with -1 in a classic dialog template read back as 0xFFFF.
constexpr int UNNUMBERED_CONTROL = 0xFFFF;

constexpr char createFailedText[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
constexpr char writeFailedText[] = "Unable to write destination file!\r\nInstallation will now be aborted.";
constexpr char recordFailedText[] = "Unable to record the installation!\r\nInstallation will now be aborted.";
constexpr char setupCancelMeaning[] = "ends the setup; nothing has been changed";

WNDPROC progressBarOldProc;

// The installation's work on the page: its counters, its bar, and the
// question when a running program holds a file.
class PageCaller final : public EngineCaller {
  public:
    explicit PageCaller(HWND page) : page(page) {}
    void workStarted(uint32_t units, int steps) override
    {
        progressTotal += units;
        setDlgItemNumber(page, IDC_TOTAL_SIZE, progressTotal);
        setDlgItemNumber(page, IDC_TOTAL_FILES, static_cast<uint32_t>(steps));
    }
    void stepStarted(int step, const char* shown) override
    {
        SetDlgItemTextA(page, IDC_EXTRACTING, shown);
        setDlgItemNumber(page, IDC_CURRENT_FILE, static_cast<uint32_t>(step + 1));
    }
    void progressed(uint32_t units) override { addProgress(page, units); }
    void pause(uint32_t milliseconds) override { pumpMessagesFor(page, milliseconds); }
    bool retryFileInUse(const char* path) override
    {
        char text[IN_USE_MESSAGE_SIZE];
        composeInUseMessage(text, path, installConfig.productName, setupCancelMeaning);
        return MessageBoxA(page, text, setupTitle, MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
    }

  private:
    HWND page;
};

// The error box of a failed installation; none when the user stopped it.
const char* failureText(InstallResult result)
{
    switch (result) {
    case INSTALL_RECORD_FAILED:
        return recordFailedText;
    case INSTALL_CREATE_FAILED:
        return createFailedText;
    case INSTALL_WRITE_FAILED:
        return writeFailedText;
    case INSTALL_DAMAGED:
        return damagedPayloadText;
    default:
        return nullptr;
    }
}

// Both calls draw the same centred percentage, each clipped to its own part
// and filling it: a navy block grows over a button-face field and the text
// turns from dark navy to white where the block covers it.
void paintProgressBar(HWND bar)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(bar, &paint);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT client;
    GetClientRect(bar, &client);
    const int split = client.left + (client.right - client.left) * progressValue / 200;

    char text[8];
    const int length = wsprintfA(text, "%d%%", progressValue / 2);
    SIZE extent;
    GetTextExtentPoint32A(dc, text, length, &extent);
    const int x = client.left + (client.right - extent.cx) / 2;
    const int y = client.top + (client.bottom - extent.cy) / 2;

    const RECT remaining = {split, client.top, client.right, client.bottom};
    SetTextColor(dc, DARK_NAVY);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &remaining, text, static_cast<UINT>(length), nullptr);

    const RECT done = {client.left, client.top, split, client.bottom};
    SetTextColor(dc, WHITE);
    SetBkColor(dc, NAVY);
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &done, text, static_cast<UINT>(length), nullptr);

    SelectObject(dc, previousFont);
    EndPaint(bar, &paint);
}

LRESULT CALLBACK progressBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintProgressBar(bar);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    default:
        return CallWindowProcA(progressBarOldProc, bar, message, wParam, lParam);
    }
}

void onInitDialog(HWND page)
{
    centerDialog(page, 1);
    applyProductName(page, 1);
    progressBar = GetDlgItem(page, IDC_PROGRESS_BAR);
    progressBarOldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(progressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progressBarProc)));
    fillWindowsDir();
    fillProgramsDir();
    SetTimer(page, IDT_INSTALL_START, INSTALL_START_DELAY_MS, nullptr);
}

// The whole installation runs inside this one tick; the timer is killed
// first so that the pumps inside it can never start it again.
void onTimer(HWND page, WPARAM timerId)
{
    KillTimer(page, timerId);
    if (installPaths.windowsDir[0] == '\0') {
        abortPage(page, "Unable to locate the Windows folder!");
        return;
    }
    PageCaller caller(page);
    const InstallResult result = installFiles(caller);
    if (result != INSTALL_DONE) {
        abortPage(page, failureText(result));
        return;
    }
    pumpMessagesFor(page, FINISHED_PAGE_MS);
    EndDialog(page, 1);
}

HBRUSH onCtlColorStatic(HDC dc, HWND control)
{
    const int id = GetDlgCtrlID(control);
    if (id == IDC_WEB_NOTE) {
        return colorNavyText(dc, COLOR_WINDOW);
    }
    return LOWORD(id) == UNNUMBERED_CONTROL ? nullptr : colorNavyText(dc, COLOR_BTNFACE);
}
} // namespace

INT_PTR CALLBACK installingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(page);
        return TRUE;
    case WM_TIMER:
        onTimer(page, wParam);
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            onCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY:
        SetWindowLongPtrA(progressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(progressBarOldProc));
        return TRUE;
    default:
        return 0;
    }
}
