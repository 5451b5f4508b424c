#include "setup/wizard_chain.h"

#include "engine/registration.h"
#include "product/config.h"
#include "resource.h"
#include "setup/pages/pages.h"
#include "setup/read_me.h"
#include "setup/wizard.h"

namespace {
// One link of the chain: makes its step current and runs its page owned by
// the backdrop; on 1 the next link follows, on anything else (a refusal, or a
// page that could not be created) the backdrop is destroyed, ending the setup.
void runLink(HWND backdrop, int32_t marker, int dialogId, DLGPROC pageProc, void (*nextLink)(HWND))
{
    setStepMarker(marker);
    if (DialogBoxParamA(programInstance, MAKEINTRESOURCEA(dialogId), backdrop, pageProc, 0) == 1) {
        nextLink(backdrop);
    } else {
        DestroyWindow(backdrop);
    }
}
} // namespace

void runLicensePage(HWND backdrop) { runLink(backdrop, STEP_LICENSE, IDD_LICENSE, licensePageProc, runLocationPage); }

void runLocationPage(HWND backdrop)
{
    runLink(backdrop, STEP_LOCATION, IDD_LOCATION, locationPageProc, runInstallingPage);
}

void runInstallingPage(HWND backdrop)
{
    runLink(backdrop, STEP_INSTALLING, IDD_INSTALLING, installingPageProc, runGroupPage);
}

void runGroupPage(HWND backdrop) { runLink(backdrop, STEP_GROUP, IDD_GROUP, groupPageProc, finishInstallation); }

void finishInstallation(HWND backdrop)
{
    registerInstallation();
    setStepMarker(STEP_READ_ME);
    char message[CLOSING_NOTE_SIZE];
    wsprintfA(message, "%s was successfully installed.\r\n\r\nWould you like to view the Read Me file now?",
              installConfig.productName);
    if (MessageBoxA(backdrop, message, setupTitle, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        viewReadMe(backdrop);
    }
    setStepMarker(STEP_FINISHED);
    lstrcpynA(message, closingNote, sizeof message);
    MessageBoxA(backdrop, message, setupTitle, MB_OK | MB_ICONINFORMATION);
    DestroyWindow(backdrop);
}
