// The backdrop window painted for real: what it shows, and that painting and
// destroying it leave no GDI object behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "product/config.h"
#include "resource.h"
#include "setup/backdrop.h"
#include "setup/wizard.h"

namespace {
constexpr COLORREF STRIP = RGB(0, 24, 96);
constexpr COLORREF STRIPE = RGB(248, 248, 255);
constexpr COLORREF CURRENT_STEP = RGB(207, 216, 255);
constexpr COLORREF OTHER_STEP = RGB(111, 136, 255);
constexpr COLORREF TEAL = RGB(0, 128, 128);

// The process's live GDI objects. Wine answers GetGuiResources with 0, so
// the process's own GDI handle table is counted instead: an entry with a
// type is a live object. Wine's entries have one layout in both builds; the
// table's place in the process block differs.
int liveGdiObjects()
{
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) {
        return static_cast<int>(reported);
    }
    struct HandleEntry {
        uint64_t object;
        uint32_t owner;
        uint16_t unique;
        uint16_t type;
        uint64_t user;
    };
    static_assert(sizeof(HandleEntry) == 24, "one entry of Wine's GDI handle table");
    constexpr size_t GDI_SHARED_HANDLE_TABLE_OFFSET = sizeof(void*) == 8 ? 0xF8 : 0x94;
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto queryProcess = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    const HandleEntry* table = nullptr;
    if (queryProcess != nullptr &&
        queryProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) == 0) {
        const char* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
        table = *reinterpret_cast<const HandleEntry* const*>(peb + GDI_SHARED_HANDLE_TABLE_OFFSET);
    }
    if (table == nullptr) {
        ADD_FAILURE() << "no way to count GDI objects";
        return 0;
    }
    int live = 0;
    for (size_t i = 0; i < 0x10000; ++i) {
        live += table[i].type != 0 ? 1 : 0;
    }
    return live;
}

// The window's pixels, read back through a 32-bit DIB section.
class Capture {
  public:
    explicit Capture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        HDC windowDc = GetDC(window);
        pixels = drawnPixels(windowDc, width, height,
                             [&](HDC memory) { BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY); });
        ReleaseDC(window, windowDc);
        EXPECT_EQ(pixels.size(), static_cast<size_t>(width) * height) << "the window's pixels could be read";
        pixels.resize(static_cast<size_t>(width) * height);
    }

    COLORREF at(int x, int y) const { return pixelColor(pixels[static_cast<size_t>(y) * width + x]); }

    int count(const RECT& area, COLORREF color) const
    {
        int found = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                found += at(x, y) == color ? 1 : 0;
            }
        }
        return found;
    }

  private:
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

class Backdrop : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        programInstance = GetModuleHandleA(nullptr);
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_BYTEALIGNWINDOW;
        windowClass.lpfnWndProc = backdropWindowProc;
        windowClass.hInstance = programInstance;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = backdropClassName;
        RegisterClassExA(&windowClass);
    }

    // The window is painted without a message loop, so its start timer never
    // fires and no page opens.
    static HWND createBackdrop()
    {
        HWND window =
            CreateWindowExA(WS_EX_TOPMOST, backdropClassName, setupTitle, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0,
                            screenWidth, screenHeight, nullptr, nullptr, programInstance, nullptr);
        backdropWindow = window;
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        return window;
    }

    static void destroyBackdrop(HWND window)
    {
        DestroyWindow(window);
        MSG quit;
        EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
            << "destroying the backdrop ends the program";
    }

    static void repaint(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

    static RECT stepLine(int line) { return {0, 120 + 18 * line, 150, 138 + 18 * line}; }

    void SetUp() override { currentStepMarker = STEP_NONE; }
};
} // namespace

TEST_F(Backdrop, PaintingLeavesNoGdiObjectBehind)
{
    HWND window = createBackdrop();
    ASSERT_NE(window, nullptr);
    repaint(window);
    const int before = liveGdiObjects();
    for (int round = 0; round < 10; ++round) {
        repaint(window);
        setStepMarker(1 << (round % STEP_COUNT));
    }
    EXPECT_EQ(liveGdiObjects(), before);
    destroyBackdrop(window);
}

TEST_F(Backdrop, DestroyingReleasesThePalette)
{
    destroyBackdrop(createBackdrop()); // the shell's image list is made once, on the first creation
    const int before = liveGdiObjects();
    HWND window = createBackdrop();
    EXPECT_GT(liveGdiObjects(), before) << "the palette lives as long as the window";
    destroyBackdrop(window);
    EXPECT_EQ(liveGdiObjects(), before);
}

TEST_F(Backdrop, PreparesTheListResourcesAndTexts)
{
    HWND window = createBackdrop();
    EXPECT_NE(systemSmallImageList, nullptr);
    EXPECT_EQ(listColors[LIST_SELECTED_TEXT], GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(listColors[LIST_SELECTED_BACK], GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(listColors[LIST_TEXT], GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(listColors[LIST_BACK], GetSysColor(COLOR_WINDOW));
    const std::string name = installConfig.productName;
    EXPECT_EQ(installPaths.titleText, name + " v" + installConfig.productVersion);
    EXPECT_EQ(installPaths.subtitleText, name + " - " + installConfig.productTagline);

    // The title's characters are sized from its whole length to span about a
    // third of the screen.
    Capture screen(window);
    int titleRight = -1;
    for (int y = 0; y < 58; ++y) {
        for (int x = 0; x < screenWidth - 334; ++x) {
            titleRight = screen.at(x, y) == RGB(128, 160, 255) && x > titleRight ? x : titleRight;
        }
    }
    EXPECT_GT(titleRight, screenWidth / 4);
    EXPECT_LT(titleRight, screenWidth * 5 / 12);
    destroyBackdrop(window);
}

// A setup is often started from a drive root (a floppy, a CD): the shell's
// icons are found there too.
TEST_F(Backdrop, FindsTheShellIconsWhenStartedFromADriveRoot)
{
    char previous[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof previous, previous);
    for (const char* root : {"C:\\", "Z:\\"}) {
        ASSERT_TRUE(SetCurrentDirectoryA(root)) << root;
        systemSmallImageList = nullptr;
        HWND window = createBackdrop();
        EXPECT_NE(systemSmallImageList, nullptr) << "started from " << root;
        destroyBackdrop(window);
    }
    SetCurrentDirectoryA(previous);
}

TEST_F(Backdrop, HighlightsExactlyTheCurrentStep)
{
    HWND window = createBackdrop();
    Capture none(window);
    for (int line = 0; line < STEP_COUNT; ++line) {
        EXPECT_EQ(none.count(stepLine(line), CURRENT_STEP), 0) << "line " << line;
        EXPECT_GT(none.count(stepLine(line), OTHER_STEP), 0) << "line " << line;
    }
    setStepMarker(STEP_LOCATION);
    Capture location(window);
    for (int line = 0; line < STEP_COUNT; ++line) {
        EXPECT_EQ(location.count(stepLine(line), CURRENT_STEP) > 0, line == 1) << "line " << line;
    }
    destroyBackdrop(window);
}

TEST_F(Backdrop, StripStripesAndPicture)
{
    HWND window = createBackdrop();
    Capture screen(window);
    EXPECT_EQ(screen.at(2, 80), STRIP);
    EXPECT_EQ(screen.at(2, screenHeight - 1), STRIP);
    const int x = screenWidth / 2;
    EXPECT_EQ(screen.at(x, 63), STRIPE);
    EXPECT_EQ(screen.at(x, 65), RGB(255, 255, 255));
    EXPECT_EQ(screen.at(x, 67), STRIPE);
    EXPECT_EQ(screen.at(screenWidth - 1, 67), STRIPE);
    EXPECT_EQ(screen.at(148, 67), STRIP) << "the stripes stay out of the strip";
    // The picture's background around its corner takes the strip colour; the
    // teal inside it, not connected to the corner, stays.
    const RECT picture = {16, screenHeight - 180, 16 + 120, screenHeight - 180 + 168};
    EXPECT_EQ(screen.at(picture.left + 1, picture.top + 1), STRIP);
    EXPECT_GT(screen.count(picture, TEAL), 0);
    EXPECT_EQ(screen.count({0, 58, 150, screenHeight}, TEAL), screen.count(picture, TEAL));
    destroyBackdrop(window);
}

TEST_F(Backdrop, PictureBlocksAndPalettes)
{
    HGLOBAL separator = copyBitmapResource(IDB_SEPARATOR);
    ASSERT_NE(separator, nullptr);
    HRSRC resource = FindResourceA(programInstance, MAKEINTRESOURCEA(IDB_SEPARATOR), MAKEINTRESOURCEA(2));
    EXPECT_EQ(GlobalSize(separator), SizeofResource(programInstance, resource));
    HPALETTE palette = createDibPalette(separator);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 5u);
    DeleteObject(palette);
    GlobalFree(separator);

    HGLOBAL banner = copyBitmapResource(IDB_BANNER);
    ASSERT_NE(banner, nullptr);
    palette = createDibPalette(banner);
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 256u);
    DeleteObject(palette);
    GlobalFree(banner);

    EXPECT_EQ(copyBitmapResource(999), nullptr);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(drawDib(screen, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(stretchDib(screen, 0, 0, 10, 10, nullptr, nullptr), 0);
    ReleaseDC(nullptr, screen);
}

namespace {
// The banner picture made unreadable in this program's own resources for the
// time of a test: its header size becomes 0, so the window cannot use it, as
// if the resource were missing.
class BannerUnusable {
  public:
    BannerUnusable()
    {
        HRSRC resource = FindResourceA(programInstance, MAKEINTRESOURCEA(IDB_BANNER), MAKEINTRESOURCEA(2));
        header = static_cast<uint32_t*>(LockResource(LoadResource(programInstance, resource)));
        if (header != nullptr && VirtualProtect(header, sizeof *header, PAGE_READWRITE, &protection)) {
            saved = *header;
            *header = 0;
        }
    }
    ~BannerUnusable()
    {
        if (saved != 0) {
            *header = saved;
            VirtualProtect(header, sizeof *header, protection, &protection);
        }
    }
    bool applied() const { return saved != 0; }

  private:
    uint32_t* header = nullptr;
    uint32_t saved = 0;
    DWORD protection = 0;
};
} // namespace

TEST_F(Backdrop, WithoutTheBannerEverythingButTheBandIsPainted)
{
    HWND window = createBackdrop();
    Capture whole(window);
    destroyBackdrop(window);
    ASSERT_NE(copyBitmapResource(IDB_BANNER), nullptr);

    BannerUnusable banner;
    ASSERT_TRUE(banner.applied());
    ASSERT_EQ(copyBitmapResource(IDB_BANNER), nullptr);
    window = createBackdrop();
    Capture withoutBanner(window);
    destroyBackdrop(window);

    // Below the band, separator included, the window is painted exactly as usual.
    int differing = 0;
    for (int y = 58; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            differing += withoutBanner.at(x, y) != whole.at(x, y);
        }
    }
    EXPECT_EQ(differing, 0);
    // In the band the title still appears, but neither the banner nor its fill.
    const RECT band = {0, 0, screenWidth, 58};
    EXPECT_GT(withoutBanner.count(band, RGB(128, 160, 255)), 0) << "the title's top pass";
    const int x = screenWidth / 2; // right of the title, left of the banner
    const int right = screenWidth - 100;
    EXPECT_NE(withoutBanner.at(x, 30), whole.at(x, 30)) << "no banner fill";
    EXPECT_NE(withoutBanner.at(right, 30), whole.at(right, 30)) << "no banner";
}
