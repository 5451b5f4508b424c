#include "wizard_path.h"

#include "e2e.h"

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
    HWND location = waitForWindow("#32770", "Tidy Kit Program Location");
    step("location");
    click(location, IDCANCEL);
    MessageBoxSeen warning = waitForMessageBox();
    expectText(warning.caption, "Setup Mate", "caption of the warning");
    expect(warning.text.rfind("Installation Aborted!\r\n\r\n", 0) == 0, "the warning begins \"Installation Aborted!\"");
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    expectNothingInstalled();
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
    expect(!readRegistryString(HKEY_LOCAL_MACHINE, "Software\\Moorfield Systems", "Tidy Kit", folder),
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
