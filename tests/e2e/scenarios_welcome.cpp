// The welcome dialog: what it says, where it stands, and refusing it.
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <string>

namespace {
void expectNoBackdropEver()
{
    SeenWindow backdrop;
    expect(!findSeenWindow("InstallApp", nullptr, backdrop), "no window of class \"InstallApp\" was ever created");
}

// Control 700 is drawn in navy on the face colour: the screenshot holds navy
// pixels inside it and no black ones.
void expectNavyIntroText(HWND dialog)
{
    RECT rect = windowRect(control(dialog, IDC_INTRO_TEXT));
    int navy = 0;
    int black = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            COLORREF pixel = screenPixel(x, y);
            navy += pixel == RGB(0, 0, 128);
            black += pixel == RGB(0, 0, 0);
        }
    }
    expect(navy > 100 && black == 0, "control 700 is written in navy: %d navy and %d black pixels", navy, black);
}
} // namespace

SCENARIO(welcome_cancel, 30)
{
    HWND welcome = openWelcome();
    step("welcome");

    std::string title = controlText(welcome, IDC_WELCOME_TITLE);
    size_t lineBreak = title.find("\r\n");
    expectText(title.substr(0, lineBreak), "Setup Mate For Windows", "first line of control 100");
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string year = std::to_string(now.wYear);
    std::string publisherLine = lineBreak == std::string::npos ? "" : title.substr(lineBreak + 2);
    expect(publisherLine.size() > year.size() && publisherLine.compare(publisherLine.size() - year.size(),
                                                                        year.size(), year) == 0,
           "the second line of control 100 names the publisher and ends in the current year %s: \"%s\"",
           year.c_str(), publisherLine.c_str());
    expect(publisherLine.find(installConfig.publisherName) != std::string::npos, "the second line names %s",
           installConfig.publisherName);
    expectText(controlText(welcome, IDC_INTRO_TEXT),
               withProductName("This program will install %s to your computer. It is strongly recommended that you "
                               "quit all running programs before you continue."),
               "control 700");
    expectText(windowText(welcome), "Setup Mate", "caption");

    RECT rect = windowRect(welcome);
    expectRect(rect, centredRect(rect, 0), "the welcome dialog, centred on the 1024 x 768 screen");
    expect(focusedControl(welcome) == control(welcome, IDOK), "the focus is on \"Continue\"");
    expectNavyIntroText(welcome);

    click(welcome, IDCANCEL);
    expectRefusedCleanly();
    expectNoBackdropEver();
}

SCENARIO(welcome_escape, 30)
{
    HWND welcome = openWelcome();
    step("welcome");
    expect(GetForegroundWindow() == welcome, "the welcome dialog is the active window");
    pressKey(VK_ESCAPE);
    expectRefusedCleanly();
    expectNoBackdropEver();
}
