// The backdrop behind the pages: its step list follows the wizard, and its
// banner, strip, stripes, picture and texts stand where the user expects them.
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

namespace {
const int screenWidth = 1024;
const int screenHeight = 768;
const COLORREF currentStepColor = RGB(207, 216, 255);
const COLORREF otherStepColor = RGB(111, 136, 255);
const COLORREF stripColor = RGB(0, 24, 96);
const COLORREF stripeColor = RGB(248, 248, 255);
const COLORREF white = RGB(255, 255, 255);
const COLORREF teal = RGB(0, 128, 128);
const COLORREF titlePassColors[] = {RGB(22, 28, 45), RGB(30, 37, 60), RGB(40, 50, 80), RGB(128, 160, 255)};
const COLORREF subtitleTopColor = RGB(0, 0, 255);
const char* const stepNames[] = {"License Agreement",  "Program Location", "Installing Files", "Program Group",
                                 "Creating Shortcuts", "View Read Me",     "Finished"};

int countPixels(const RECT& area, COLORREF color)
{
    int found = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            found += screenPixel(x, y) == color;
        }
    }
    return found;
}

// Line i of the step list is drawn at y = 120 + 18 i in the strip; the one
// current line (or none, -1) is in the light colour, the others in the darker.
void expectCurrentStep(int currentLine, const char* when)
{
    for (int line = 0; line < 7; ++line) {
        RECT area = {0, 120 + 18 * line, 150, 138 + 18 * line};
        int current = countPixels(area, currentStepColor);
        int other = countPixels(area, otherStepColor);
        if (line == currentLine) {
            expect(current > 20 && other == 0, "%s: line \"- %s\" is the current step (%d light, %d dark pixels)", when,
                   stepNames[line], current, other);
        } else {
            expect(other > 20 && current == 0, "%s: line \"- %s\" is another step (%d light, %d dark pixels)", when,
                   stepNames[line], current, other);
        }
    }
}

// The white area right of the strip, in a column that no page covers.
void expectStripes()
{
    const int x = 200;
    int wrong = 0;
    for (int y = 60; y < screenHeight; ++y) {
        bool stripe = y >= 63 && (y - 63) % 4 == 0;
        bool between = (y - 63) % 4 == 2 || y < 62;
        COLORREF pixel = screenPixel(x, y);
        wrong += (stripe && pixel != stripeColor) || (between && pixel != white);
    }
    expect(wrong == 0, "stripes in 0x00FFF8F8 at y = 63, 67, ... and white between them at x = %d: %d wrong rows", x,
           wrong);
}

void expectStrip()
{
    for (POINT point :
         {POINT{2, 60}, POINT{148, 90}, POINT{75, 300}, POINT{2, screenHeight - 1}, POINT{148, screenHeight - 1}}) {
        expect(screenPixel(point.x, point.y) == stripColor, "the strip colour 0x00601800 at %ld,%ld", point.x, point.y);
    }
    RECT heading = {10, 100, 150, 116};
    expect(countPixels(heading, RGB(175, 175, 255)) > 20, "the heading \"Setup Mate:\" is drawn in 0x00FFAFAF");
}

// Four passes, each one pixel up and left of the one before: the light top
// pass covers most of the others, which show only along its lower right edges.
void expectTitle()
{
    RECT band = {0, 0, screenWidth - 334, 58};
    int counts[4];
    for (int pass = 0; pass < 4; ++pass) {
        counts[pass] = countPixels(band, titlePassColors[pass]);
    }
    expect(counts[0] > 0 && counts[1] > 0 && counts[2] > 0 && counts[3] > counts[2] && counts[3] > counts[1] &&
               counts[3] > counts[0],
           "the title in four passes, the light one on top: %d, %d, %d and %d pixels of passes 1 to 4", counts[0],
           counts[1], counts[2], counts[3]);
}

// The brightest pass of the subtitle ends 32 - 2 pixels from the right edge
// and 16 - 2 from the bottom, less the glyphs' own margins.
void expectSubtitle()
{
    RECT lowerRight = {screenWidth / 4, screenHeight - 100, screenWidth, screenHeight};
    int right = -1;
    int bottom = -1;
    int left = screenWidth;
    for (int y = lowerRight.top; y < lowerRight.bottom; ++y) {
        for (int x = lowerRight.left; x < lowerRight.right; ++x) {
            if (screenPixel(x, y) == subtitleTopColor) {
                right = x > right ? x : right;
                bottom = y > bottom ? y : bottom;
                left = x < left ? x : left;
            }
        }
    }
    expect(right >= screenWidth - 32 - 12 && right <= screenWidth - 32 + 2 && bottom >= screenHeight - 16 - 20 &&
               bottom <= screenHeight - 16 + 2 && left < screenWidth / 2,
           "the subtitle at the bottom right: its brightest pass spans x %d to %d, down to y %d", left, right, bottom);
}

// Picture 201 at 16, H - 180: the key colour around its top-left corner has
// become the strip colour; the teal inside it is not connected and stays.
void expectStripPicture()
{
    RECT picture = {16, screenHeight - 180, 16 + 120, screenHeight - 180 + 168};
    expect(screenPixel(picture.left + 1, picture.top + 1) == stripColor,
           "the picture's corner area has the strip colour");
    int tealInside = countPixels(picture, teal);
    int tealInStrip = countPixels({0, 58, 150, screenHeight}, teal);
    expect(tealInside > 100 && tealInStrip == tealInside,
           "teal pixels not connected to the corner stay teal: %d in the picture, %d in the whole strip", tealInside,
           tealInStrip);
}
} // namespace

SCENARIO(backdrop_steps, 120)
{
    // The first page opens 250 ms after the backdrop: the picture shows the
    // setup held still before then. A loaded machine may be too slow for
    // that; the setup is then started again.
    HWND backdrop = nullptr;
    for (int attempt = 1;; ++attempt) {
        backdrop = continueToBackdrop(openWelcome());
        const DWORD held = stepWithSetupHeld("backdrop");
        SeenWindow created = {};
        if (findSeenWindow("InstallApp", "Setup Mate", created) && held - created.created < 250) {
            break;
        }
        if (attempt == 10) {
            fail("ten times the backdrop could not be captured within 250 ms of its creation");
        }
        note("the backdrop was captured %lu ms after its creation; the setup starts again",
             static_cast<unsigned long>(held - created.created));
        stopSetup();
    }
    expectCurrentStep(-1, "before the first page");
    expectRect(windowRect(backdrop), {0, 0, screenWidth, screenHeight}, "the backdrop covers the screen");
    expectStrip();
    expectStripes();
    expectTitle();
    expectSubtitle();
    expectStripPicture();

    HWND licensePage = waitForLicensePage();
    step("license");
    expectCurrentStep(0, "on the licence page");
    click(licensePage, IDOK);
    HWND location = waitForLocationPage();
    step("location");
    expectCurrentStep(1, "on the location page");
    expectStripes();
    expectStripPicture();
    click(location, IDCANCEL);
    expectAborted();
    expectNothingInstalled();
}
