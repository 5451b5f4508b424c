// The way from the welcome dialog over the backdrop to the licence page, and
// every way of leaving the licence page.
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <string>

namespace {
std::string licenseText()
{
    std::string text;
    if (!readFile(builtPath("generated/license.txt"), text)) {
        fail("the product's licence, generated/license.txt of the build, could not be read");
    }
    return text;
}

RECT moved(RECT rect, int dx, int dy)
{
    OffsetRect(&rect, dx, dy);
    return rect;
}

RECT grown(RECT rect, int dx, int dy)
{
    rect.right += dx;
    rect.bottom += dy;
    return rect;
}

// The page's window and controls, the controls in its client coordinates.
struct LicenseLayout {
    RECT page;
    RECT text;
    RECT agree;
    RECT disagree;
};

LicenseLayout layoutOf(HWND license)
{
    return {windowRect(license), controlRect(license, IDC_LICENSE_TEXT), controlRect(license, IDOK),
            controlRect(license, IDCANCEL)};
}

// Every button of the page is drawn where it now stands: its caption and
// frame put dark pixels into the last screenshot.
void expectButtonsDrawn(HWND license, const char* when)
{
    for (int id : {IDOK, IDCANCEL}) {
        RECT rect = windowRect(control(license, id));
        int dark = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                COLORREF pixel = screenPixel(x, y);
                dark += GetRValue(pixel) < 64 && GetGValue(pixel) < 64 && GetBValue(pixel) < 64;
            }
        }
        expect(dark > 20, "button %d is drawn at %s %s: %d dark pixels", id, describeRect(rect).c_str(), when, dark);
    }
}

// The page after its size changed by dx, dy: the text field follows the
// lower right corner, both buttons keep their distance to it.
void expectLayoutFollows(HWND license, const LicenseLayout& before, int dx, int dy, const char* how)
{
    std::string what = std::string(" after ") + how;
    LicenseLayout after = layoutOf(license);
    expectRect(after.page, grown(before.page, dx, dy), ("the page" + what).c_str());
    expectRect(after.text, grown(before.text, dx, dy), ("control 200" + what).c_str());
    expectRect(after.agree, moved(before.agree, dx, dy), ("\"I Agree\"" + what).c_str());
    expectRect(after.disagree, moved(before.disagree, dx, dy), ("\"I Disagree\"" + what).c_str());
}
} // namespace

SCENARIO(welcome_continue, 40)
{
    HWND welcome = openWelcome();
    HWND backdrop = continueToBackdrop(welcome);
    step("backdrop");
    expect(!IsWindowVisible(welcome), "the welcome dialog is gone");
    expectRect(windowRect(backdrop), RECT{0, 0, 1024, 768}, "the backdrop covers the screen");
    LONG_PTR style = GetWindowLongPtrA(backdrop, GWL_STYLE);
    LONG_PTR extendedStyle = GetWindowLongPtrA(backdrop, GWL_EXSTYLE);
    expect((style & WS_POPUP) && !(style & WS_CAPTION), "the backdrop is a popup without a caption");
    expect(extendedStyle & WS_EX_TOPMOST, "the backdrop is topmost");

    HWND license = waitForLicensePage();
    step("license");
    SeenWindow shownBackdrop;
    SeenWindow shownLicense;
    if (expect(findSeenWindow("InstallApp", nullptr, shownBackdrop) &&
                   findSeenWindow("#32770", withProductName("%s License Agreement").c_str(), shownLicense),
               "the watcher saw the backdrop and the licence page")) {
        long gap = static_cast<long>(shownLicense.created - shownBackdrop.created);
        expect(gap >= 250, "the licence page opens at least 250 ms after the backdrop: %ld ms later", gap);
    }
    expect(GetWindow(license, GW_OWNER) == backdrop, "the backdrop owns the licence page");
    expectText(windowText(license), withProductName("%s License Agreement"), "caption");

    RECT rect = windowRect(license);
    expectRect(rect, centredRect(rect, 150), "the licence page, centred in the band right of x = 150");
    expect(focusedControl(license) == control(license, IDOK), "the focus is on \"I Agree\"");
    expectText(controlText(license, IDC_LICENSE_TEXT), licenseText(), "control 200 against the product's licence");

    click(license, IDC_LICENSE_TEXT);
    pressKeyWith(VK_CONTROL, VK_END);
    step("license-end");
    click(license, IDCANCEL);
    expectRefusedCleanly();
}

SCENARIO(license_escape, 40)
{
    HWND license = openLicensePage();
    step("license");
    expect(GetForegroundWindow() == license, "the licence page is the active window");
    pressKey(VK_ESCAPE);
    expectRefusedCleanly();
}

SCENARIO(license_enter_agrees, 40)
{
    HWND license = openLicensePage();
    step("license");
    pressKey(VK_RETURN);
    expectLicenseAgreed(license);
}

SCENARIO(license_resize, 60)
{
    HWND license = openLicensePage();
    expect(GetWindowLongPtrA(license, GWL_STYLE) & WS_THICKFRAME, "the licence page has a sizing frame");
    LicenseLayout original = layoutOf(license);
    resizeWindow(license, 40, 30);
    step("license-larger");
    expectLayoutFollows(license, original, 40, 30, "growing by 40 x 30");
    expectButtonsDrawn(license, "after growing");
    resizeWindow(license, -40, -30);
    step("license-restored");
    expectLayoutFollows(license, original, 0, 0, "shrinking back");
    expectButtonsDrawn(license, "after shrinking back");
    resizeWindow(license, -40, -30);
    step("license-smaller");
    expectLayoutFollows(license, original, -40, -30, "shrinking 40 x 30 below the template size");
    expectButtonsDrawn(license, "below the template size");
    resizeWindow(license, 40, 30);
    expectLayoutFollows(license, original, 0, 0, "growing back");
    click(license, IDCANCEL);
    expectRefusedCleanly();
}

SCENARIO(license_typing, 40)
{
    HWND license = openLicensePage();
    LicenseLayout original = layoutOf(license);
    click(license, IDC_LICENSE_TEXT);
    typeText("typed by a user");
    step("license-typed");
    std::string text;
    waitUntil(
        [&] {
            text = controlText(license, IDC_LICENSE_TEXT);
            return text.find("typed by a user") != std::string::npos;
        },
        3000);
    expect(text.find("typed by a user") != std::string::npos, "the typed words are in the field");
    expectLayoutFollows(license, original, 0, 0, "typing");
    expect(setupWindows().size() == 2, "the setup still shows just the backdrop and the licence page");
    expect(focusedControl(license) == control(license, IDC_LICENSE_TEXT), "the focus is in the field");
    pressKey(VK_RETURN);
    expectLicenseAgreed(license);
}
