// The way through the wizard that many scenarios share: each helper brings
// the setup to a page by the usual clicks and checks only what it must.
#pragma once
#include <windows.h>

#include "../shared/product_facts.h"
#include "e2e.h"

#include <algorithm>
#include <functional>
#include <span>
#include <string>
#include <vector>

// The folder a first installation proposes, the product's uninstall entry,
// the captions of the pages that install, and the texts of the read-me
// question and of a destination that cannot be made. The publisher key and
// the product's other facts come from its compiled-in description.
inline const std::string defaultFolder = defaultInstallFolder();
inline const std::string uninstallEntry =
    std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + installConfig.productName;
inline const std::string installingCaption = withProductName("Installing %s Program Files");
inline const std::string groupCaption = withProductName("%s Program Group");
inline const std::string readMeQuestion =
    withProductName("%s was successfully installed.\r\n\r\nWould you like to view the Read Me file now?");
inline constexpr char createFailed[] = "Unable to create destination file!\r\nInstallation will now be aborted.";

// ---- The payload rows, picked by their role

inline std::span<const PayloadEntry> payloadRows()
{
    return {installConfig.files, static_cast<size_t>(installConfig.fileCount)};
}
inline int installFolderRowCount()
{
    return static_cast<int>(std::count_if(payloadRows().begin(), payloadRows().end(), isInInstallFolder));
}
// The first install-folder row with a shortcut, and the first with a
// preserved extension (prepare/*.sh know their names as PRODUCT_PROGRAM_FILE
// and PRODUCT_DATA_FILE); the scenario fails, saying so, when the product has
// no such row.
int programRow();
int dataRow();
int firstInstallFolderRow();
// The number the installing page shows for the row: 1 for the first.
std::string rowNumber(int row);
// Where the row is installed: the Windows folder or the install folder.
std::string rowPath(const PayloadEntry& row, const std::string& installFolder);
// Where the rows before the given one are installed.
std::vector<std::string> rowPathsBefore(int row, const std::string& installFolder);
// The bytes are those the build packed for the row: its size and CRC-32.
bool holdsPayload(const std::string& contents, const PayloadEntry& row);
// The uninstaller as the build of the setup under test made it.
std::string builtUninstaller();
// A user's data file: the stem and the product's preserved extension of that
// index (counted round), lowered when asked, since case does not matter.
std::string dataFileName(const char* stem, int extension = 0, bool lowered = false);
// The folders of a path below its drive, each with a closing backslash.
std::vector<std::string> foldersAlong(const std::string& path);

// The welcome dialog of a freshly started setup; drive C: is noted first.
HWND openWelcome();
// The files and folders of drive C: just before openWelcome started the setup.
const FileSnapshot& machineBeforeSetup();
// "Continue" on the welcome dialog; returns the backdrop once it is shown.
HWND continueToBackdrop(HWND welcome);
// The licence page, after the backdrop.
HWND waitForLicensePage();
// Starts the setup and clicks through to the licence page.
HWND openLicensePage();
// After "I Agree" (by whatever means): the licence page closes and the
// location page opens; cancelled there, the setup shows the abort warning and
// ends, the machine untouched.
void expectLicenseAgreed(HWND license);
// The location page, after the licence page.
HWND waitForLocationPage();
// Starts the setup and clicks through to the location page.
HWND openLocationPage();
// Waits until the page is in front where a user looks at it, its middle, and
// notes how long the backdrop covered it: under Wine the topmost backdrop is
// now and then raised over a page that has just opened, for a moment.
HWND inFront(HWND page);
// The location page's folder list, and its rows as a user points at them:
// the height and top of a visible row in the list's client coordinates
// (a row out of sight fails the scenario), and a point in its middle.
HWND folderList(HWND page);
int rowHeight(HWND page, int row);
int rowTop(HWND page, int row);
LPARAM rowPoint(HWND page, int row);
// A click and a double click on a row; the button messages go to the list
// itself, as the driver's click does.
void clickRow(HWND page, int row);
void doubleClickRow(HWND page, int row);
// The pixels of the last screenshot's area that differ from a picture of the
// area's size drawn by the given function.
int pixelsDifferingFrom(const RECT& area, const std::function<void(HDC)>& draw);
// The last screenshot shows the system icon (IDI_WARNING, IDI_ERROR, ...) in
// the message box.
void expectMessageBoxIcon(const MessageBoxSeen& box, LPCSTR systemIcon);
// A page's "Cancel" or Esc: the product's abort warning, answered,
// then the setup ends with exit code 1 and no other message box appeared.
void expectAborted();
// A refusal: the setup ends silently with exit code 1 and leaves the machine
// as it found it, no file written and nothing recorded in the registry.
void expectRefusedCleanly();
// No file written on drive C: since openWelcome, nothing recorded in the registry.
void expectNothingInstalled();
// The rectangle of the window's size centred between x = bandLeft and the
// right edge of the 1024 x 768 screen, and from top to bottom.
RECT centredRect(const RECT& window, int bandLeft);
// The Start Menu's programs folder.
std::string programsFolder();
// Writes a file with the contents, replacing one of that name.
void writeFile(const std::string& path, const std::string& contents);
// A file or folder of that path exists.
bool exists(const std::string& path);
// The Windows folder as the setup writes it: each word capitalised.
std::string windowsFolder();
// Records the folder under the publisher key and in the install record, as an
// earlier installation that created it did: the setup clears an existing
// folder only when it is the recorded one and the record says it made it.
void recordEarlierInstallation(const std::string& folder);
// A REG_SZ value's text, or "<missing>".
std::string registryText(HKEY root, const std::string& key, const std::string& name);

// ---- Typing and the pages that install

// Replaces the location page's edit text so, and checks that the field took it whole.
void typeFolder(HWND page, const char* text);
// The edit field inside the group page's combo box.
HWND groupField(HWND group);
// Replaces the group field's text so, and waits for the first 40 characters,
// all that the field keeps, to have arrived.
void retypeGroup(HWND group, const std::string& typed);
// The rows of the location page's folder list as the list holds them.
struct ListRow {
    std::string text;
    LRESULT kind;
    bool operator==(const ListRow&) const = default;
};
std::vector<ListRow> listRows(HWND page);
std::string describeRows(const std::vector<ListRow>& rows);
// A refused path: the warning with its reason; the page stays with the
// typed text and the focus in the edit field.
void expectRefused(HWND page, const char* typed, const char* reason);
// A fresh setup on the location page (drive C: noted first), every page
// clicked once it is in front.
HWND startToLocationPage();
// The location page's "Continue", then the installing page ends by itself.
HWND installToGroupPage(HWND location);
// The installation stops at a row with one error box, which the page owns,
// and then the abort warning; nothing is registered.
void expectInstallationStops(HWND page, const char* error, const char* row);
void expectNothingRegistered();
// The group page's proposal taken, "No" to the read-me, the closing note.
void finishInstallation(HWND group);
// Notepad showing the read-me while the backdrop waits minimised: checked,
// pictured, then closed as the user would.
void closeReadMe(HWND viewer, HWND backdrop);
