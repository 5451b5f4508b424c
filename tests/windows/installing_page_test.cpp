#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "../shared/product_facts.h"
#include "dialog_driver.h"
#include "product/config.h"
#include "resource.h"
#include "rules/paths.h"
#include "setup/pages/pages.h"
#include "setup/pages/progress.h"
#include "setup/wizard.h"

namespace {
constexpr COLORREF NAVY = RGB(0, 0, 128);
constexpr COLORREF DARK_NAVY = RGB(0, 0, 64);
constexpr COLORREF WHITE = RGB(255, 255, 255);

// The page without its message loop: its timer never fires, so nothing is
// installed while the test looks at it.
HWND createPage()
{
    programInstance = GetModuleHandleA(nullptr);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    return CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_INSTALLING), nullptr, installingPageProc, 0);
}

struct BarPixels {
    int width = 0;
    int height = 0;
    int navyUpTo = -1; // the last column whose top row is navy
    int whiteText = 0;
    int darkNavyText = 0;
};

BarPixels paintBar(HWND page, uint16_t value)
{
    HWND bar = GetDlgItem(page, IDC_PROGRESS_BAR);
    progressValue = value;
    InvalidateRect(bar, nullptr, FALSE);
    UpdateWindow(bar);
    BarPixels seen;
    RECT client;
    GetClientRect(bar, &client);
    seen.width = client.right;
    seen.height = client.bottom;
    HDC dc = GetDC(bar);
    for (int x = 0; x < client.right; ++x) {
        if (GetPixel(dc, x, 0) == NAVY) {
            seen.navyUpTo = x;
        }
        for (int y = 0; y < client.bottom; ++y) {
            const COLORREF pixel = GetPixel(dc, x, y);
            seen.whiteText += pixel == WHITE;
            seen.darkNavyText += pixel == DARK_NAVY;
        }
    }
    ReleaseDC(bar, dc);
    return seen;
}
} // namespace

TEST(InstallingPage, FillsTheSystemFoldersCaseNormalised)
{
    HWND page = createPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(driver::text(page), withProductName("Installing %s Program Files"));
    EXPECT_STREQ(installPaths.windowsDir, "C:\\Windows");
    const std::string programs = installPaths.programsDir;
    EXPECT_EQ(programs.rfind("C:\\", 0), 0u) << programs;
    EXPECT_NE(programs.find("\\Start Menu\\Programs"), std::string::npos) << programs;
    char normalised[256];
    lstrcpyA(normalised, installPaths.programsDir);
    normaliseFolderCase(normalised);
    EXPECT_STREQ(normalised, installPaths.programsDir);
    for (int id : {IDC_EXTRACTING, IDC_TOTAL_SIZE, IDC_CURRENT_SIZE, IDC_TOTAL_FILES, IDC_CURRENT_FILE}) {
        EXPECT_EQ(driver::controlText(page, id), "") << id;
    }
    EXPECT_EQ(driver::controlText(page, IDC_WEB_NOTE), PRODUCT_WEB_NOTE);
    DestroyWindow(page);
}

TEST(InstallingPage, ColoursTheValuesAndTheNoteButNotTheLabels)
{
    HWND page = createPage();
    ASSERT_NE(page, nullptr);
    HDC dc = GetDC(page);
    const auto colour = [&](HWND control) {
        SetTextColor(dc, RGB(1, 2, 3));
        return reinterpret_cast<HBRUSH>(installingPageProc(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(control)));
    };
    EXPECT_EQ(colour(GetDlgItem(page, IDC_WEB_NOTE)), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), NAVY);
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(colour(GetDlgItem(page, IDC_TOTAL_SIZE)), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetTextColor(dc), NAVY);
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    HWND label = FindWindowExA(page, nullptr, "Static", "Total Size:");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(colour(label), nullptr) << "the dialog manager's default";
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3)) << "the labels keep the system's colours";
    ReleaseDC(page, dc);
    DestroyWindow(page);
}

TEST(InstallingPage, PaintsANavyBlockGrowingOverButtonFaceWithTheCentredPercentage)
{
    HWND page = createPage();
    ASSERT_NE(page, nullptr);
    const BarPixels empty = paintBar(page, 0);
    ASSERT_GT(empty.width, 100);
    EXPECT_EQ(empty.navyUpTo, -1);
    EXPECT_GT(empty.darkNavyText, 0) << "a dark navy 0%";
    EXPECT_EQ(empty.whiteText, 0);

    const BarPixels half = paintBar(page, 100);
    EXPECT_EQ(half.navyUpTo, half.width * 100 / 200 - 1);
    EXPECT_GT(half.whiteText, 0);
    EXPECT_GT(half.darkNavyText, 0) << "50% straddles the edge of the block";

    const BarPixels almost = paintBar(page, 199);
    EXPECT_EQ(almost.navyUpTo, almost.width * 199 / 200 - 1);

    const BarPixels full = paintBar(page, 200);
    EXPECT_EQ(full.navyUpTo, full.width - 1);
    EXPECT_GT(full.whiteText, 0) << "a white 100%";
    EXPECT_EQ(full.darkNavyText, 0);

    // The percentage is the value halved and cut: 199 shows the 99% of 198,
    // not the 100% of 200.
    EXPECT_EQ(almost.whiteText, paintBar(page, 198).whiteText);
    EXPECT_NE(almost.whiteText, full.whiteText);
    DestroyWindow(page);
}

namespace {
INT_PTR runPageDialog()
{
    programInstance = GetModuleHandleA(nullptr);
    return DialogBoxParamA(programInstance, MAKEINTRESOURCEA(IDD_INSTALLING), nullptr, installingPageProc, 0);
}

const std::string pageCaption = withProductName("Installing %s Program Files");
} // namespace

TEST(InstallingPage, ADestinationThatCannotBeCreatedShowsTheErrorThenTheAbortWarning)
{
    // A file where the install folder's parent should be: no level can be made.
    CloseHandle(CreateFileA("C:\\Blocked", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string installDir = std::string("C:\\Blocked\\") + installConfig.productName;
    lstrcpyA(installPaths.installDir, installDir.c_str());
    std::string error, warning;
    uint16_t barAtError = 0;
    std::thread user([&] {
        error = driver::answerMessageBox(IDOK, 20000);
        barAtError = progressValue;
        warning = driver::answerMessageBox(IDOK);
    });
    EXPECT_EQ(runPageDialog(), 2);
    user.join();
    EXPECT_EQ(error.rfind("Unable to create destination file!", 0), 0u) << error;
    EXPECT_EQ(warning, abortWarningText);
    EXPECT_GT(barAtError, 0) << "the uninstaller row was written first";
    EXPECT_EQ(progressValue, barAtError) << "the bar keeps its last position";
    EXPECT_EQ(GetFileAttributesA(installDir.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(InstallingPage, InstallsEveryRowAndEndsOneSecondAfterTheLast)
{
    lstrcpyA(installPaths.installDir, (std::string("C:\\Page Test\\") + installConfig.productName).c_str());
    const std::string fileCount = std::to_string(installConfig.fileCount);
    std::string totalSize, totalFiles, lastFile, currentSize;
    std::thread user([&] {
        HWND page = driver::waitForWindow("#32770", pageCaption.c_str());
        const DWORD start = GetTickCount();
        while (page != nullptr && IsWindow(page) && GetTickCount() - start < 20000) {
            if (driver::controlText(page, IDC_CURRENT_FILE) == fileCount && progressDone == progressTotal &&
                progressTotal > 0) {
                Sleep(100);
                totalSize = driver::controlText(page, IDC_TOTAL_SIZE);
                totalFiles = driver::controlText(page, IDC_TOTAL_FILES);
                lastFile = driver::controlText(page, IDC_CURRENT_FILE);
                currentSize = driver::controlText(page, IDC_CURRENT_SIZE);
                break;
            }
            Sleep(20);
        }
    });
    progressTotal = progressDone = 0; // the failed run above counted its rows too
    progressValue = 0;
    const DWORD start = GetTickCount();
    EXPECT_EQ(runPageDialog(), 1);
    const DWORD elapsed = GetTickCount() - start;
    user.join();

    uint32_t total = 0;
    for (int i = 0; i < installConfig.fileCount; ++i) {
        total += installConfig.files[i].unpackedSize;
    }
    std::string expected = std::to_string(total);
    for (int i = static_cast<int>(expected.size()) - 3; i > 0; i -= 3) {
        expected.insert(static_cast<size_t>(i), ",");
    }
    EXPECT_EQ(totalSize, expected);
    EXPECT_EQ(currentSize, expected);
    EXPECT_EQ(totalFiles, fileCount);
    EXPECT_EQ(lastFile, fileCount);
    EXPECT_EQ(progressValue, 200);
    EXPECT_GE(elapsed, 250u + installConfig.fileCount * 500u + 1000u);
    EXPECT_NE(GetFileAttributesA(installedPath(installConfig.files[README_ROW]).c_str()), INVALID_FILE_ATTRIBUTES);
}
