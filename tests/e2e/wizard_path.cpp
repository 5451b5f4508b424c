#include "wizard_path.h"

#include "e2e.h"
#include "resource.h"

HWND openWelcome()
{
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
    if (setupHasDialog(IDD_LOCATION)) {
        fail("SetupMate.exe now has the location page: agreeing should open it; extend expectLicenseAgreed");
    }
    expectSetupEndsSilently();
}

RECT centredRect(const RECT& window, int bandLeft)
{
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int left = (1024 - width + bandLeft) / 2;
    int top = (768 - height) / 2;
    return {left, top, left + width, top + height};
}
