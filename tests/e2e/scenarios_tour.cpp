// The tour that `make run` shows without a display: one installation with the
// defaults, as a user clicks through it, a screenshot of every screen on the
// way, and then what the setup left on the machine. It makes sure that each
// screen appeared; the other scenarios check what is on them.
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <commctrl.h>

#include <cctype>
#include <string>

namespace {

// Waits until the screen shows what the condition looks for; the tour fails,
// naming the screen, when it does not come within the time.
void waitForScreen(const char* screen, const std::function<bool()>& shown, DWORD milliseconds = 20000)
{
    if (!waitUntil(shown, milliseconds)) {
        fail("the %s did not appear within %lu ms", screen, static_cast<unsigned long>(milliseconds));
    }
}

// A counter of the installing page as a number, its separators left out; 0
// while it is empty.
unsigned long counter(HWND page, int controlId)
{
    unsigned long value = 0;
    for (unsigned char c : controlText(page, controlId)) {
        value = std::isdigit(c) ? value * 10 + (c - '0') : value;
    }
    return value;
}

// The number the installing page shows for the largest row after the first:
// shown for half a second before it is written, and long in writing.
unsigned long largestLaterRow()
{
    int largest = 1;
    for (int row = 2; row < installConfig.fileCount; ++row) {
        largest = installConfig.files[row].unpackedSize > installConfig.files[largest].unpackedSize ? row : largest;
    }
    return static_cast<unsigned long>(largest + 1);
}

HWND notepadShown()
{
    HWND viewer = FindWindowA("Notepad", nullptr);
    return viewer && IsWindowVisible(viewer) ? viewer : nullptr;
}
} // namespace

SCENARIO(tour, 300)
{
    HWND welcome = openWelcome();
    step("welcome");
    continueToBackdrop(welcome);
    step("backdrop");

    HWND license = inFront(waitForLicensePage());
    step("licence");
    click(license, IDOK);

    HWND location = inFront(waitForLocationPage());
    step("location");
    // A double click on the computer row lists the drives; "Reset Folder"
    // brings the proposed folder back.
    doubleClickRow(location, 0);
    waitForScreen("drive list", [&] { return controlText(location, IDC_LOCATION_EDIT).find(":\\") == std::string::npos; });
    step("drive-list");
    click(location, IDC_RESET_FOLDER);
    waitForScreen("proposed folder", [&] { return controlText(location, IDC_LOCATION_EDIT) == defaultFolder; });
    click(location, IDOK);

    // The bar stands part-way.
    HWND installing = inFront(waitForWindow("#32770", installingCaption.c_str()));
    waitForScreen("largest file on the installing page",
                  [&] { return counter(installing, IDC_CURRENT_FILE) == largestLaterRow(); });
    step("installing");
    const unsigned long done = counter(installing, IDC_CURRENT_SIZE);
    const unsigned long total = counter(installing, IDC_TOTAL_SIZE);
    expect(done > 0 && done < total, "the installation is part-way: %lu of %lu bytes", done, total);

    HWND group = inFront(waitForWindow("#32770", groupCaption.c_str(), 30000));
    step("group");
    click(group, IDC_GROUP_CONTINUE);

    HWND shortcuts = waitForWindow("#32770", withProductName("Creating %s Shortcuts").c_str());
    HWND shortcutBar = control(shortcuts, IDC_SHORTCUT_BAR);
    waitForScreen("shortcuts dialog part-way", [&] { return SendMessageA(shortcutBar, PBM_GETPOS, 0, 0) >= 2; });
    step("shortcuts");

    MessageBoxSeen question = waitForMessageBox(20000);
    expectText(question.text, readMeQuestion, "the read-me question");
    step("read-me-question");
    answerMessageBox(question, IDYES);

    waitForScreen("read-me in Notepad", [] { return notepadShown() != nullptr; });
    HWND viewer = notepadShown();
    expectText(windowText(viewer), std::string(installConfig.files[README_ROW].fileName) + " - Notepad",
               "the viewer's caption");
    step("read-me");
    PostMessageA(viewer, WM_CLOSE, 0, 0);

    MessageBoxSeen closing = waitForMessageBox(20000);
    expectText(closing.text, closingNote, "the closing note");
    step("closing-note");
    answerMessageBox(closing, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");

    reportFileChanges(machineBeforeSetup());
    reportRegistryKey(HKEY_LOCAL_MACHINE, publisherKey);
    reportRegistryKey(HKEY_LOCAL_MACHINE, uninstallEntry);
    // The installed uninstaller is kept beside the pictures, so that its bytes
    // and its signature can be checked from outside the prefix.
    const PayloadEntry& uninstaller = installConfig.files[UNINSTALL_ROW];
    const std::string copy = driverOptions.outputDir + "\\" + uninstaller.fileName;
    expect(CopyFileA(rowPath(uninstaller, defaultFolder).c_str(), copy.c_str(), FALSE) != FALSE,
           "the installed uninstaller is copied to %s", copy.c_str());
}
