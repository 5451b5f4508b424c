#include "setup/backdrop.h"

#include <cstddef>
#include <cstring>

#include "product/config.h"
#include "resource.h"
#include "rules/dib.h"
#include "rules/font_sizes.h"
#include "rules/paths.h"
#include "setup/wizard.h"
#include "setup/wizard_chain.h"

HIMAGELIST systemSmallImageList;
COLORREF listColors[LIST_COLOR_COUNT];
SHFILEINFOA shellFileInfo;

static_assert(sizeof(DibHeader) == sizeof(BITMAPINFOHEADER) &&
                  offsetof(DibHeader, bitCount) == offsetof(BITMAPINFOHEADER, biBitCount) &&
                  offsetof(DibHeader, colorsUsed) == offsetof(BITMAPINFOHEADER, biClrUsed),
              "DibHeader mirrors BITMAPINFOHEADER");

namespace {
constexpr UINT CHAIN_START_DELAY_MS = 250;
constexpr int BAND_HEIGHT = 58;
constexpr int BANNER_WIDTH = 334;
constexpr int SEPARATOR_HEIGHT = 2;
constexpr int STRIP_PICTURE_WIDTH = 120;
constexpr int STRIP_PICTURE_HEIGHT = 168;

constexpr COLORREF TITLE_PASS_COLORS[] = {RGB(22, 28, 45), RGB(30, 37, 60), RGB(40, 50, 80), RGB(128, 160, 255)};
constexpr COLORREF SUBTITLE_PASS_COLORS[] = {RGB(0, 0, 128), RGB(0, 0, 160), RGB(0, 0, 255)};
constexpr COLORREF CURRENT_STEP_COLOR = RGB(207, 216, 255);
constexpr COLORREF OTHER_STEP_COLOR = RGB(111, 136, 255);
constexpr COLORREF STRIP_COLOR = RGB(0, 24, 96);
constexpr COLORREF STRIPE_COLOR = RGB(248, 248, 255);
constexpr COLORREF HEADING_COLOR = RGB(175, 175, 255);
// The background of the strip picture, replaced by the strip colour.
constexpr COLORREF PICTURE_KEY_COLOR = RGB(0, 128, 128);

LOGFONTA titleFont;
LOGFONTA subtitleFont;
LOGFONTA stepFont;

HGLOBAL bannerBlock;
HGLOBAL bannerFillBlock;
HGLOBAL separatorBlock;
HPALETTE backdropPalette;

LOGFONTA makeFont(LONG height, LONG width, LONG weight, BYTE pitchAndFamily, const char* faceName)
{
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWidth = width;
    font.lfWeight = weight;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_CHARACTER_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(font.lfFaceName, faceName, LF_FACESIZE);
    return font;
}

// The title spans about a third of the screen, the subtitle about two thirds.
void prepareFonts()
{
    const int titleLength = static_cast<int>(std::strlen(installPaths.titleText));
    const int subtitleLength = static_cast<int>(std::strlen(installPaths.subtitleText));
    titleFont =
        makeFont(64, titleCharWidth(screenWidth, titleLength), FW_BOLD, VARIABLE_PITCH | FF_SCRIPT, "Comic Sans MS");
    subtitleFont = makeFont(subtitleCharHeight(screenHeight), subtitleCharWidth(screenWidth, subtitleLength), FW_NORMAL,
                            VARIABLE_PITCH | FF_SCRIPT, "Arial");
    stepFont = makeFont(-11, 0, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "Ms Sans Serif");
}

void readListColors()
{
    listColors[LIST_SELECTED_TEXT] = GetSysColor(COLOR_HIGHLIGHTTEXT);
    listColors[LIST_SELECTED_BACK] = GetSysColor(COLOR_HIGHLIGHT);
    listColors[LIST_TEXT] = GetSysColor(COLOR_WINDOWTEXT);
    listColors[LIST_BACK] = GetSysColor(COLOR_WINDOW);
}

// Selects the palette for a drawing, and afterwards the one it replaced.
HPALETTE selectPalette(HDC dc, HPALETTE palette)
{
    if (palette == nullptr) {
        return nullptr;
    }
    HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    return previous;
}

void restorePalette(HDC dc, HPALETTE previous)
{
    if (previous != nullptr) {
        SelectPalette(dc, previous, TRUE);
        RealizePalette(dc);
    }
}

const BITMAPINFO* bitmapInfo(const DibHeader* header) { return reinterpret_cast<const BITMAPINFO*>(header); }

int absoluteHeight(const DibHeader* header) { return header->height < 0 ? -header->height : header->height; }

// The title in four passes, each one pixel up and left of the one before,
// the light one on top.
void drawTitle(HDC dc)
{
    const int length = static_cast<int>(std::strlen(installPaths.titleText));
    for (int pass = 0; pass < 4; ++pass) {
        SetTextColor(dc, TITLE_PASS_COLORS[pass]);
        TextOutA(dc, 11 - pass, -3 - pass, installPaths.titleText, length);
    }
}

// The subtitle in three passes at the lower right, each one pixel down and
// right of the one before, the brightest on top.
void drawSubtitle(HDC dc)
{
    const int length = static_cast<int>(std::strlen(installPaths.subtitleText));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, installPaths.subtitleText, length, &extent);
    const int x0 = screenWidth - extent.cx - 32;
    const int y0 = screenHeight - extent.cy - 16;
    for (int pass = 0; pass < 3; ++pass) {
        SetTextColor(dc, SUBTITLE_PASS_COLORS[pass]);
        TextOutA(dc, x0 + pass, y0 + pass, installPaths.subtitleText, length);
    }
}

void drawStepList(HDC dc)
{
    for (int line = 0; line < STEP_COUNT; ++line) {
        const bool current = (currentStepMarker & (1 << line)) != 0;
        SetTextColor(dc, current ? CURRENT_STEP_COLOR : OTHER_STEP_COLOR);
        TextOutA(dc, 10, STEP_LIST_RECT.top + STEP_LINE_HEIGHT * line, stepTexts[line],
                 static_cast<int>(std::strlen(stepTexts[line])));
    }
}

void drawTopBand(HDC dc)
{
    if (bannerBlock != nullptr) {
        stretchDib(dc, 0, 0, screenWidth - BANNER_WIDTH, BAND_HEIGHT, bannerFillBlock, backdropPalette);
        drawDib(dc, screenWidth - BANNER_WIDTH, 0, bannerBlock, backdropPalette);
    }
    if (separatorBlock != nullptr) {
        stretchDib(dc, STRIP_WIDTH, BAND_HEIGHT, screenWidth - STRIP_WIDTH, SEPARATOR_HEIGHT, separatorBlock,
                   backdropPalette);
    }
}

void fillAreas(HDC dc)
{
    const RECT strip = {0, BAND_HEIGHT, STRIP_WIDTH, screenHeight};
    HBRUSH stripBrush = CreateSolidBrush(STRIP_COLOR);
    FillRect(dc, &strip, stripBrush);
    DeleteObject(stripBrush);
    const RECT white = {STRIP_WIDTH, BAND_HEIGHT + SEPARATOR_HEIGHT, screenWidth, screenHeight};
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void drawStripes(HDC dc)
{
    HPEN pen = CreatePen(PS_INSIDEFRAME, 2, STRIPE_COLOR);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    for (int y = 63; y < screenHeight; y += 4) {
        MoveToEx(dc, STRIP_WIDTH + 1, y, nullptr);
        LineTo(dc, screenWidth, y);
    }
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

// The strip picture is loaded afresh each time, so the fill that merges its
// background into the strip never accumulates and the resource stays as it is.
void drawStripPicture(HDC dc)
{
    HBITMAP picture = LoadBitmapA(programInstance, MAKEINTRESOURCEA(IDB_STRIP_PICTURE));
    if (picture == nullptr) {
        return;
    }
    HDC memory = CreateCompatibleDC(dc);
    HBRUSH stripBrush = CreateSolidBrush(STRIP_COLOR);
    HGDIOBJ previousBitmap = SelectObject(memory, picture);
    HGDIOBJ previousBrush = SelectObject(memory, stripBrush);
    ExtFloodFill(memory, 1, 1, PICTURE_KEY_COLOR, FLOODFILLSURFACE);
    BitBlt(dc, 16, screenHeight - 180, STRIP_PICTURE_WIDTH, STRIP_PICTURE_HEIGHT, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previousBrush);
    SelectObject(memory, previousBitmap);
    DeleteObject(picture);
    DeleteObject(stripBrush);
    DeleteDC(memory);
}

// Selects the next font and deletes the one it replaces.
HGDIOBJ switchFont(HDC dc, HGDIOBJ current, HGDIOBJ next)
{
    SelectObject(dc, next);
    if (current != nullptr) {
        DeleteObject(current);
    }
    return next;
}

// Each font is deleted as soon as the next one replaces it, the last when the
// stock system font does, so a paint leaves no object behind.
void drawTexts(HDC dc)
{
    HGDIOBJ font = switchFont(dc, nullptr, CreateFontIndirectA(&titleFont));
    drawTitle(dc);
    font = switchFont(dc, font, CreateFontIndirectA(&subtitleFont));
    drawSubtitle(dc);
    font = switchFont(dc, font, CreateFontIndirectA(&stepFont));
    drawStepList(dc);
    switchFont(dc, font, GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, HEADING_COLOR);
    TextOutA(dc, 10, 100, "Setup Mate:", 11);
}

LRESULT onCreate(HWND window)
{
    // The configuration is checked at compile time to fit both headings.
    concatenateTexts(installPaths.titleText, sizeof installPaths.titleText,
                     {installConfig.productName, " v", installConfig.productVersion});
    concatenateTexts(installPaths.subtitleText, sizeof installPaths.subtitleText,
                     {installConfig.productName, " - ", installConfig.productTagline});
    // The folder is described, not looked up: "." named the current folder,
    // and from a drive root (a setup started from a floppy or a CD) the shell
    // gave no image list, so the folder list had no icons.
    systemSmallImageList =
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(".", FILE_ATTRIBUTE_DIRECTORY, &shellFileInfo, sizeof shellFileInfo,
                                                    SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES));
    prepareFonts();
    readListColors();
    bannerBlock = loadPicture(IDB_BANNER);
    bannerFillBlock = loadPicture(IDB_BANNER_FILL);
    separatorBlock = loadPicture(IDB_SEPARATOR);
    SetTimer(window, IDT_BACKDROP_START, CHAIN_START_DELAY_MS, nullptr);
    return 1;
}

LRESULT onPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetBkMode(dc, TRANSPARENT);
    drawTopBand(dc);
    fillAreas(dc);
    drawStripes(dc);
    drawStripPicture(dc);
    drawTexts(dc);
    EndPaint(window, &paint);
    return 1;
}

// The first tick starts the wizard; the timer is killed first so that the
// pages' modal loops can never start the chain a second time.
LRESULT onTimer(HWND window, WPARAM timerId)
{
    KillTimer(window, timerId);
    runLicensePage(window);
    return 0;
}

void freeBlock(HGLOBAL* block)
{
    if (*block != nullptr) {
        GlobalFree(*block);
        *block = nullptr;
    }
}

LRESULT onDestroy()
{
    freeBlock(&bannerBlock);
    freeBlock(&bannerFillBlock);
    freeBlock(&separatorBlock);
    if (backdropPalette != nullptr) {
        DeleteObject(backdropPalette);
        backdropPalette = nullptr;
    }
    PostQuitMessage(0);
    return 0;
}
} // namespace

HGLOBAL copyBitmapResource(int resourceNumber)
{
    HRSRC resource = FindResourceA(programInstance, MAKEINTRESOURCEA(resourceNumber), MAKEINTRESOURCEA(2));
    if (resource == nullptr) {
        return nullptr;
    }
    const void* bytes = LockResource(LoadResource(programInstance, resource));
    const DWORD size = SizeofResource(programInstance, resource);
    // A resource that is not one whole picture would make drawing read past its end.
    if (bytes == nullptr || !dibIsComplete(static_cast<const DibHeader*>(bytes), size)) {
        return nullptr;
    }
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) {
        return nullptr;
    }
    void* copy = GlobalLock(block);
    if (copy == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    CopyMemory(copy, bytes, size);
    GlobalUnlock(block);
    return block;
}

HGLOBAL loadPicture(int resourceNumber)
{
    HGLOBAL block = copyBitmapResource(resourceNumber);
    if (block != nullptr && backdropPalette == nullptr) {
        backdropPalette = createDibPalette(block);
    }
    return block;
}

HPALETTE createDibPalette(HGLOBAL block)
{
    const auto* header = static_cast<const DibHeader*>(GlobalLock(block));
    if (header == nullptr) {
        return nullptr;
    }
    HPALETTE palette = nullptr;
    const uint16_t count = dibColorCount(header);
    HGLOBAL paletteBlock = count == 0 ? nullptr : GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4u * count + 8);
    auto* logical = paletteBlock == nullptr ? nullptr : static_cast<LOGPALETTE*>(GlobalLock(paletteBlock));
    if (logical != nullptr) {
        const RGBQUAD* table = bitmapInfo(header)->bmiColors;
        logical->palVersion = 0x300;
        logical->palNumEntries = count;
        for (uint16_t i = 0; i < count; ++i) {
            logical->palPalEntry[i].peRed = table[i].rgbRed;
            logical->palPalEntry[i].peGreen = table[i].rgbGreen;
            logical->palPalEntry[i].peBlue = table[i].rgbBlue;
            logical->palPalEntry[i].peFlags = 0;
        }
        palette = CreatePalette(logical);
        GlobalUnlock(paletteBlock);
    }
    if (paletteBlock != nullptr) {
        GlobalFree(paletteBlock);
    }
    GlobalUnlock(block);
    return palette;
}

int drawDib(HDC dc, int x, int y, HGLOBAL block, HPALETTE palette)
{
    const auto* header = static_cast<const DibHeader*>(GlobalLock(block));
    if (header == nullptr) {
        return 0;
    }
    HPALETTE previous = selectPalette(dc, palette);
    const int height = absoluteHeight(header);
    SetDIBitsToDevice(dc, x, y, header->width, height, 0, 0, 0, height, dibBits(header), bitmapInfo(header),
                      DIB_RGB_COLORS);
    restorePalette(dc, previous);
    GlobalUnlock(block);
    return 1;
}

int stretchDib(HDC dc, int x, int y, int width, int height, HGLOBAL block, HPALETTE palette)
{
    const auto* header = static_cast<const DibHeader*>(GlobalLock(block));
    if (header == nullptr) {
        return 0;
    }
    HPALETTE previous = selectPalette(dc, palette);
    StretchDIBits(dc, x, y, width, height, 0, 0, header->width, absoluteHeight(header), dibBits(header),
                  bitmapInfo(header), DIB_RGB_COLORS, SRCCOPY);
    restorePalette(dc, previous);
    GlobalUnlock(block);
    return 1;
}

LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_PAINT:
        return onPaint(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        return onTimer(window, wParam);
    case WM_DESTROY:
        return onDestroy();
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
