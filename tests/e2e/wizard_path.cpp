#include "wizard_path.h"

#include "../shared/machine_helpers.h"
#include "e2e.h"
#include "resource.h"

#include <shlobj.h>

#include "rules/crc32.h"
#include "rules/paths.h"

#include <algorithm>

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

HWND waitForLicensePage() { return waitForWindow("#32770", withProductName("%s License Agreement").c_str()); }

HWND openLicensePage()
{
    continueToBackdrop(openWelcome());
    return waitForLicensePage();
}

void expectLicenseAgreed(HWND license)
{
    waitForWindowGone(license);
    HWND location = waitForLocationPage();
    step("location");
    click(location, IDCANCEL);
    expectAborted();
    expectNothingInstalled();
}

HWND waitForLocationPage() { return waitForWindow("#32770", withProductName("%s Program Location").c_str()); }

HWND openLocationPage()
{
    HWND license = openLicensePage();
    click(license, IDOK);
    return waitForLocationPage();
}

HWND folderList(HWND page) { return control(page, IDC_FOLDER_LIST); }

int rowHeight(HWND page, int row) { return static_cast<int>(SendMessageA(folderList(page), LB_GETITEMHEIGHT, row, 0)); }

int rowTop(HWND page, int row)
{
    HWND list = folderList(page);
    LRESULT top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
    int y = 0;
    for (LRESULT i = top; i < row; ++i) {
        y += static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, i, 0));
    }
    RECT client;
    GetClientRect(list, &client);
    if (row < top || y + rowHeight(page, row) > client.bottom) {
        fail("row %d of the folder list is not visible", row);
    }
    return y;
}

LPARAM rowPoint(HWND page, int row) { return MAKELPARAM(60, rowTop(page, row) + rowHeight(page, row) / 2); }

void clickRow(HWND page, int row)
{
    LPARAM point = rowPoint(page, row);
    PostMessageA(folderList(page), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(folderList(page), WM_LBUTTONUP, 0, point);
    pause(100);
}

void doubleClickRow(HWND page, int row)
{
    LPARAM point = rowPoint(page, row);
    HWND list = folderList(page);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageA(list, WM_LBUTTONUP, 0, point);
    pause(200);
}

HWND inFront(HWND page)
{
    const RECT rect = windowRect(page);
    const POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    const DWORD start = scenarioClock();
    if (!waitUntil([&] { return GetAncestor(WindowFromPoint(middle), GA_ROOT) == page; }, 5000)) {
        fail("%s stays covered by %s", describeWindow(page).c_str(),
             describeWindow(GetAncestor(WindowFromPoint(middle), GA_ROOT)).c_str());
    }
    if (scenarioClock() > start) {
        note("%s was covered for %lu ms after it opened", describeWindow(page).c_str(),
             static_cast<unsigned long>(scenarioClock() - start));
    }
    return page;
}

int pixelsDifferingFrom(const RECT& area, const std::function<void(HDC)>& draw)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    const std::vector<uint32_t> pixels = drawnPixels(screen, width, height, draw);
    ReleaseDC(nullptr, screen);
    if (pixels.empty()) {
        fail("no picture of %d x %d could be drawn to compare with the screen", width, height);
    }
    int different = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            different += screenPixel(area.left + x, area.top + y) != pixelColor(pixels[y * width + x]);
        }
    }
    return different;
}

void expectMessageBoxIcon(const MessageBoxSeen& box, LPCSTR systemIcon)
{
    const int iconControlId = 1088; // the icon of a message box
    HWND iconControl = GetDlgItem(box.window, iconControlId);
    if (!iconControl) {
        expect(false, "the message box shows an icon");
        return;
    }
    RECT rect = windowRect(iconControl);
    // The icon drawn here on the control's background.
    int different = pixelsDifferingFrom(rect, [&](HDC dc) {
        HBRUSH background = CreateSolidBrush(screenPixel(rect.left, rect.top));
        RECT whole = {0, 0, rect.right - rect.left, rect.bottom - rect.top};
        FillRect(dc, &whole, background);
        DeleteObject(background);
        DrawIcon(dc, 0, 0, LoadIconA(nullptr, systemIcon));
    });
    expect(different == 0, "the message box shows the expected system icon: %d of %ld pixels differ", different,
           (rect.right - rect.left) * (rect.bottom - rect.top));
}

void expectAborted()
{
    MessageBoxSeen warning = waitForMessageBox();
    step("abort-warning");
    expectText(warning.caption, "Setup Mate", "caption of the abort warning");
    expectText(warning.text, abortWarningText, "the abort warning");
    expectMessageBoxIcon(warning, IDI_WARNING);
    answerMessageBox(warning, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    std::vector<SeenWindow> seen = seenWindows();
    DWORD warned = 0;
    for (const SeenWindow& window : seen) {
        warned = window.window == warning.window ? window.created : warned;
    }
    int later = 0;
    for (const SeenWindow& window : seen) {
        later += window.messageBox && window.window != warning.window && window.created >= warned;
    }
    expect(later == 0, "no message box follows the warning: %d did", later);
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
    expect(!readRegistryString(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, folder),
           "no install folder is recorded under HKLM\\%s", publisherKey);
}

RECT centredRect(const RECT& window, int bandLeft)
{
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    int left = (1024 - width + bandLeft) / 2;
    int top = (768 - height) / 2;
    return {left, top, left + width, top + height};
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string programsFolder()
{
    char folder[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, folder);
    return folder;
}

void writeFile(const std::string& path, const std::string& contents)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("%s could not be written", path.c_str());
    }
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
}

std::string windowsFolder()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    std::string normalised = folder;
    bool wordStart = true;
    for (char& c : normalised) {
        c = wordStart ? static_cast<char>(toupper(static_cast<unsigned char>(c)))
                      : static_cast<char>(tolower(static_cast<unsigned char>(c)));
        wordStart = c == '\\' || c == ' ';
    }
    return normalised;
}

// The install record of that installation says that it created the folder.
void recordEarlierInstallation(const std::string& folder)
{
    if (!setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, folder.c_str()) ||
        !writeFolderItem(folder, REG_BINARY)) {
        fail("the earlier installation in %s could not be recorded", folder.c_str());
    }
}

std::string registryText(HKEY root, const std::string& key, const std::string& name)
{
    std::string data;
    return readRegistryString(root, key.c_str(), name.c_str(), data) ? data : "<missing>";
}

namespace {
// Replaces the whole text of the focused-by-click edit field with typed
// text, a few keys at a time: a long burst of input loses keys on the way.
void retype(HWND dialog, int editId, const std::string& typed)
{
    click(dialog, editId);
    pressKey(VK_END);
    pressKeyWith(VK_SHIFT, VK_HOME);
    pressKey(VK_DELETE);
    // Sixteen bytes at a time, never half of a two-byte character.
    for (const char* rest = typed.c_str(); *rest != '\0';) {
        const char* end = rest;
        while (*end != '\0' && end - rest < 16) {
            end = nextCharacter(end);
        }
        typeText(std::string(rest, end).c_str());
        rest = end;
    }
}
} // namespace

void typeFolder(HWND page, const char* text)
{
    retype(page, IDC_LOCATION_EDIT, text);
    expectText(typedText(control(page, IDC_LOCATION_EDIT), text), text, "the typed folder");
}

// The combo box's edit field has the id 1001.
HWND groupField(HWND group) { return control(control(group, IDC_GROUP_BOX), 1001); }
void retypeGroup(HWND group, const std::string& typed)
{
    retype(control(group, IDC_GROUP_BOX), 1001, typed);
    typedText(groupField(group), typed.substr(0, 40));
}

// The text is read in its Unicode form, which crosses the process boundary whole.
std::vector<ListRow> listRows(HWND page)
{
    HWND list = folderList(page);
    std::vector<ListRow> rows;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring wide(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        char text[600] = "";
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, sizeof text, nullptr, nullptr);
        rows.push_back({text, SendMessageA(list, LB_GETITEMDATA, i, 0)});
    }
    return rows;
}

std::string describeRows(const std::vector<ListRow>& rows)
{
    std::string text;
    for (const ListRow& row : rows) {
        text += (text.empty() ? "" : ", ") + row.text + " (" + std::to_string(row.kind) + ")";
    }
    return text;
}

void expectRefused(HWND page, const char* typed, const char* reason)
{
    typeFolder(page, typed);
    click(page, IDOK);
    MessageBoxSeen box = waitForMessageBox();
    step("refused");
    expectText(box.caption, "Setup Mate", "caption of the warning");
    expectText(box.text, std::string("Path Invalid!\r\n\r\n") + reason,
               (std::string("warning for \"") + typed + "\"").c_str());
    expectMessageBoxIcon(box, IDI_WARNING);
    answerMessageBox(box, IDOK);
    expect(IsWindowVisible(page), "the page stays open after \"%s\"", typed);
    expectText(controlText(page, IDC_LOCATION_EDIT), typed, "the edit field keeps the typed text");
    expect(focusedControl(page) == control(page, IDC_LOCATION_EDIT), "the focus is in the edit field");
}

HWND startToLocationPage()
{
    continueToBackdrop(openWelcome());
    click(inFront(waitForLicensePage()), IDOK);
    return inFront(waitForLocationPage());
}

HWND installToGroupPage(HWND location)
{
    click(location, IDOK);
    return inFront(waitForWindow("#32770", groupCaption.c_str(), 40000));
}

namespace {
unsigned long long shownNumber(HWND page, int controlId)
{
    std::string digits = controlText(page, controlId);
    digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
    return std::stoull("0" + digits);
}
} // namespace

void expectInstallationStops(HWND page, const char* error, const char* row)
{
    MessageBoxSeen box = waitForMessageBox(30000);
    pause(300);
    step("stopped");
    expectText(box.text, error, "the error box");
    expectText(box.caption, "Setup Mate", "its caption");
    expect(GetWindow(box.window, GW_OWNER) == page, "the installing page owns it");
    expectMessageBoxIcon(box, IDI_ERROR);
    expectText(controlText(page, IDC_CURRENT_FILE), row, "the row that stopped");
    const unsigned long long done = shownNumber(page, IDC_CURRENT_SIZE);
    const unsigned long long total = shownNumber(page, IDC_TOTAL_SIZE);
    expect(done < total, "the bytes done stop short of the total: %llu of %llu", done, total);
    answerMessageBox(box, IDOK);
    expectAborted();
    expectNothingRegistered();
}

// Registration writes the uninstall entry together with the folder; an earlier
// installation may have recorded the folder already.
void expectNothingRegistered()
{
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayName"), "<missing>", "no uninstall entry");
}

void finishInstallation(HWND group)
{
    click(group, IDC_GROUP_CONTINUE);
    MessageBoxSeen question = waitForMessageBox(30000);
    expectText(question.text, readMeQuestion, "the read-me question");
    pause(300);
    answerMessageBox(question, IDNO);
    MessageBoxSeen closing = waitForMessageBox();
    expectText(closing.text, closingNote, "then the closing note");
    answerMessageBox(closing, IDOK);
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
}

void closeReadMe(HWND viewer, HWND backdrop)
{
    pause(500);
    expectText(windowText(viewer), std::string(installConfig.files[README_ROW].fileName) + " - Notepad",
               "the viewer's caption");
    expect(IsIconic(backdrop), "the backdrop is minimised while the read-me is shown");
    step("read-me");
    PostMessageA(viewer, WM_CLOSE, 0, 0);
}

namespace {
// The first row that satisfies the predicate; a product without one cannot
// play the scenario, which says so.
int rowWhere(const char* role, const std::function<bool(const PayloadEntry&)>& predicate)
{
    const int row = findRow(predicate);
    if (row < 0) {
        fail("the product has no %s, which this scenario needs", role);
    }
    return row;
}
} // namespace

int programRow()
{
    return rowWhere("install-folder row with a shortcut",
                    [](const PayloadEntry& row) { return isInInstallFolder(row) && hasShortcutCaption(row); });
}

int dataRow()
{
    return rowWhere("install-folder row with a preserved extension",
                    [](const PayloadEntry& row) { return isInInstallFolder(row) && isPreservedFile(row); });
}

int firstInstallFolderRow() { return rowWhere("install-folder row", isInInstallFolder); }

std::string rowNumber(int row) { return std::to_string(row + 1); }

std::string rowPath(const PayloadEntry& row, const std::string& installFolder)
{
    return (isInInstallFolder(row) ? installFolder : windowsFolder()) + "\\" + row.fileName;
}

std::vector<std::string> rowPathsBefore(int row, const std::string& installFolder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < row; ++i) {
        paths.push_back(rowPath(installConfig.files[i], installFolder));
    }
    return paths;
}

bool holdsPayload(const std::string& contents, const PayloadEntry& row)
{
    return contents.size() == row.unpackedSize &&
           crc32(reinterpret_cast<const uint8_t*>(contents.data()), contents.size()) == row.unpackedCrc;
}

std::string builtUninstaller() { return builtPath("generated/payload/" PRODUCT_UNINSTALLER_NAME ".exe"); }

std::string dataFileName(const char* stem, int extension, bool lowered)
{
    const std::string name = stem + std::string(preservedExtensions[extension % PRESERVED_EXTENSION_COUNT]);
    return lowered ? lowerCase(name) : name;
}

std::vector<std::string> foldersAlong(const std::string& path)
{
    std::vector<std::string> folders;
    for (size_t end = path.find('\\', 3); end != std::string::npos; end = path.find('\\', end + 1)) {
        folders.push_back(path.substr(0, end + 1));
    }
    folders.push_back(path + "\\");
    return folders;
}
