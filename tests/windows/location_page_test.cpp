// The program location page on a real dialog: the proposed folder, the
// folder browser and the checks of "Continue", with the rule by which a
// folder is left to the administrators.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "engine/registration.h"
#include "product/config.h"
#include "resource.h"
#include "rules/folder_security.h"
#include "setup/backdrop.h"
#include "setup/pages/location_page.h"
#include "setup/pages/pages.h"
#include "setup/wizard.h"

namespace {
struct Row {
    std::string text;
    LRESULT kind;
    int indent;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row)
{
    return out << row.text << " (" << row.kind << ", indent " << row.indent << ")";
}

// Answers the next message box of this process with OK and keeps its text.
class MessageBoxAnswerer {
  public:
    MessageBoxAnswerer() { thread = CreateThread(nullptr, 0, watch, this, 0, nullptr); }
    ~MessageBoxAnswerer()
    {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    std::string text;

  private:
    static DWORD WINAPI watch(void* self)
    {
        for (int tries = 0; tries < 500; ++tries) {
            HWND box = FindWindowA("#32770", setupTitle);
            if (box != nullptr) {
                char text[256] = {};
                GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                static_cast<MessageBoxAnswerer*>(self)->text = text;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return 0;
            }
            Sleep(10);
        }
        return 0;
    }
    HANDLE thread;
};

class LocationPage : public ::testing::Test {
  protected:
    void SetUp() override
    {
        programInstance = GetModuleHandleA(nullptr);
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
        systemSmallImageList = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA(".", 0, &shellFileInfo, sizeof shellFileInfo, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
        lstrcpyA(installPaths.installDir, ".");
    }

    void TearDown() override
    {
        if (page != nullptr) {
            DestroyWindow(page);
        }
        deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
    }

    void openPage()
    {
        page = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(IDD_LOCATION), nullptr, locationPageProc, 0);
        ASSERT_NE(page, nullptr);
        UpdateWindow(page);
    }

    static void storePreviousFolder(DWORD type, const void* data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, publisherKey, 0, nullptr, 0,
                                  KEY_ALL_ACCESS | registryView(HKEY_LOCAL_MACHINE), nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, installConfig.productName, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    HWND list() const { return GetDlgItem(page, IDC_FOLDER_LIST); }

    std::string editText() const
    {
        char text[300];
        GetDlgItemTextA(page, IDC_LOCATION_EDIT, text, sizeof text);
        return text;
    }

    std::vector<Row> rows() const
    {
        std::vector<Row> found;
        const LRESULT count = SendMessageA(list(), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[300];
            SendMessageA(list(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            found.push_back({text, SendMessageA(list(), LB_GETITEMDATA, i, 0), folderListState.rowIndent[i]});
        }
        return found;
    }

    Row computerRow() const { return {folderListState.computerName, ROW_COMPUTER, 0}; }

    // The list as it shows a folder: the computer, the drive, then each level.
    std::vector<Row> rowsDownTo(const std::string& folder) const
    {
        std::vector<Row> expected = {computerRow(), {folder.substr(0, 3), ROW_DRIVE, 1}};
        for (size_t end = folder.find('\\', 3);; end = folder.find('\\', end + 1)) {
            expected.push_back({folder.substr(0, end), ROW_FOLDER, static_cast<int>(expected.size())});
            if (end == std::string::npos) {
                return expected;
            }
        }
    }

    void command(int controlId, int notification)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, notification),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, controlId)));
    }

    void doubleClickRow(int row)
    {
        SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        command(IDC_FOLDER_LIST, LBN_DBLCLK);
    }

    // "Continue" on the page as it stands: the warning it shows, or "" when
    // the path was accepted.
    std::string warningOnContinue()
    {
        MessageBoxAnswerer answerer;
        if (validateLocation(page) != -1) {
            return "";
        }
        return answerer.text;
    }

    HWND page = nullptr;
};

void makeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path; }
} // namespace

TEST_F(LocationPage, FirstInstallationProposesTheDefaultFolder)
{
    openPage();
    EXPECT_EQ(installPaths.installDir, defaultInstallFolder());
    EXPECT_EQ(editText(), defaultInstallFolder());
    const std::vector<Row> expected = rowsDownTo(defaultInstallFolder());
    EXPECT_EQ(rows(), expected);
    EXPECT_EQ(folderListState.currentRow, static_cast<int>(expected.size()) - 1);
    EXPECT_EQ(SendMessageA(list(), LB_GETCURSEL, 0, 0), folderListState.currentRow);
    EXPECT_EQ(folderListState.driveMode, 0);
    EXPECT_FALSE(std::string(folderListState.computerName).empty());
    char caption[64];
    GetWindowTextA(page, caption, sizeof caption);
    EXPECT_EQ(caption, withProductName("%s Program Location"));
    EXPECT_EQ(GetWindowLongPtrA(list(), GWL_STYLE) & WS_TABSTOP, 0);

    // The publisher key without the value proposes the same.
    DestroyWindow(page);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, publisherKey, 0, nullptr, 0,
                              KEY_ALL_ACCESS | registryView(HKEY_LOCAL_MACHINE), nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    lstrcpyA(installPaths.installDir, ".");
    openPage();
    EXPECT_EQ(editText(), defaultInstallFolder());
}

TEST_F(LocationPage, PreviousFolderIsProposedExactlyAsStored)
{
    const char stored[] = "c:\\Old Place\\TK";
    storePreviousFolder(REG_SZ, stored, sizeof stored);
    openPage();
    EXPECT_EQ(editText(), stored);
    EXPECT_EQ(rows(), (std::vector<Row>{computerRow(),
                                        {"c:\\", ROW_DRIVE, 1},
                                        {"c:\\Old Place", ROW_FOLDER, 2},
                                        {"c:\\Old Place\\TK", ROW_FOLDER, 3}}));
}

TEST_F(LocationPage, PreviousFolderStoredWithoutItsNulIsTerminated)
{
    const std::string folder = std::string("D:\\Tools\\") + installConfig.productName;
    const std::string stored = folder + "XXXX";
    storePreviousFolder(REG_SZ, stored.data(), static_cast<DWORD>(folder.size())); // the folder and no NUL
    char buffer[PATH_BUFFER_SIZE];
    FillMemory(buffer, sizeof buffer, 'X');
    ASSERT_TRUE(readPreviousFolder(buffer));
    EXPECT_EQ(buffer, folder);
}

TEST_F(LocationPage, PreviousFolderThatIsNoFittingStringIsIgnored)
{
    const std::string full(PATH_BUFFER_SIZE, 'a'); // no room for its NUL
    storePreviousFolder(REG_SZ, full.data(), PATH_BUFFER_SIZE);
    char buffer[PATH_BUFFER_SIZE];
    EXPECT_FALSE(readPreviousFolder(buffer));
    const std::string longer(300, 'a');
    storePreviousFolder(REG_SZ, longer.c_str(), 301);
    EXPECT_FALSE(readPreviousFolder(buffer));
    const DWORD number = 42;
    storePreviousFolder(REG_DWORD, &number, sizeof number);
    EXPECT_FALSE(readPreviousFolder(buffer));
    openPage();
    EXPECT_EQ(editText(), defaultInstallFolder());
}

TEST_F(LocationPage, StoredFolderWithoutDriveRootShowsOnlyTheComputer)
{
    const std::string name = installConfig.productName;
    for (const std::string& stored :
         {"\\\\server\\share\\" + name, std::string("D:"), "Apps\\" + name, std::string()}) {
        storePreviousFolder(REG_SZ, stored.c_str(), static_cast<DWORD>(stored.size() + 1));
        lstrcpyA(installPaths.installDir, ".");
        openPage();
        EXPECT_EQ(editText(), stored);
        EXPECT_EQ(rows(), std::vector<Row>{computerRow()}) << stored;
        EXPECT_EQ(folderListState.currentRow, 0);
        DestroyWindow(page);
        page = nullptr;
    }
}

TEST_F(LocationPage, BrowsingDrivesAndFolders)
{
    makeFolder("C:\\Browse");
    makeFolder("C:\\Browse\\beta");
    makeFolder("C:\\Browse\\Alpha");
    makeFolder("C:\\Browse\\.dot");
    makeFolder("C:\\Browse\\Hidden");
    SetFileAttributesA("C:\\Browse\\Hidden", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(CreateFileA("C:\\Browse\\file.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    openPage();

    doubleClickRow(0);
    EXPECT_EQ(folderListState.driveMode, 1);
    EXPECT_EQ(editText(), folderListState.computerName);
    EXPECT_STREQ(installPaths.installDir, folderListState.computerName);
    const std::vector<Row> drives = rows();
    ASSERT_GE(drives.size(), 2u);
    EXPECT_EQ(drives[0], computerRow());
    EXPECT_EQ(drives[1], (Row{"C:\\", ROW_DRIVE, 1}));
    for (const Row& drive : drives) {
        if (drive.kind == ROW_DRIVE) {
            EXPECT_TRUE(drive.text[0] >= 'A' && drive.text[0] <= 'Z') << drive;
            EXPECT_EQ(GetDriveTypeA(drive.text.c_str()), static_cast<UINT>(DRIVE_FIXED)) << drive;
        }
    }
    EXPECT_EQ(SendMessageA(list(), LB_GETCURSEL, 0, 0), 0);
    doubleClickRow(0);
    EXPECT_EQ(rows(), drives) << "the computer row in drive mode does nothing";
    EXPECT_EQ(warningOnContinue(), "Path Invalid!\r\n\r\nMissing : or \\ in drive.");

    doubleClickRow(1);
    EXPECT_EQ(folderListState.driveMode, 0);
    EXPECT_EQ(editText(), "C:\\");
    EXPECT_EQ(folderListState.currentRow, 1);
    EXPECT_EQ(warningOnContinue(), "Path Invalid!\r\n\r\nPath may not be a root drive...");

    SendMessageA(list(), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("C:\\Browse"));
    command(IDC_FOLDER_LIST, LBN_DBLCLK);
    EXPECT_EQ(rows(), (std::vector<Row>{computerRow(),
                                        {"C:\\", ROW_DRIVE, 1},
                                        {"C:\\Browse", ROW_FOLDER, 2},
                                        {"C:\\Browse\\Alpha", ROW_FOLDER, 3},
                                        {"C:\\Browse\\beta", ROW_FOLDER, 3},
                                        {"C:\\Browse\\Hidden", ROW_FOLDER, 3}}));
    EXPECT_EQ(editText(), "C:\\Browse");

    doubleClickRow(2);
    EXPECT_EQ(rows().size(), 6u) << "the current row does nothing";
    SendMessageA(list(), LB_SETCURSEL, 4, 0);
    command(IDC_FOLDER_LIST, LBN_SELCHANGE);
    EXPECT_EQ(editText(), "C:\\Browse") << "a single click changes nothing";
    EXPECT_STREQ(installPaths.installDir, "C:\\Browse");
    SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    command(IDC_FOLDER_LIST, LBN_DBLCLK);
    EXPECT_EQ(editText(), "C:\\Browse") << "a double-click without a selected row does nothing";

    doubleClickRow(4);
    EXPECT_EQ(editText(), "C:\\Browse\\beta");
    EXPECT_EQ(folderListState.currentRow, 3);
}

TEST_F(LocationPage, FolderWithMoreSubfoldersThanRowsListsTheFirstThatFit)
{
    makeFolder("C:\\Many");
    for (int i = 0; i < FOLDER_LIST_ROWS + 20; ++i) {
        makeFolder("C:\\Many\\" + std::to_string(1000 + i));
    }
    openPage();
    showFolderList(page, "C:\\Many", 0);
    ASSERT_EQ(SendMessageA(list(), LB_GETCOUNT, 0, 0), FOLDER_LIST_ROWS);
    EXPECT_EQ(folderListState.rowIndent[FOLDER_LIST_ROWS - 1], 3);
    EXPECT_EQ(folderListState.currentRow, 2);
    SendMessageA(list(), LB_SETTOPINDEX, FOLDER_LIST_ROWS - 1, 0);
    UpdateWindow(list()); // the last rows draw with their indents
}

TEST_F(LocationPage, SubfolderWhosePathDoesNotFitIsSkipped)
{
    // 4 + 9 x 25 = 229 characters, each level short enough to create.
    std::string deep = "C:\\D";
    makeFolder(deep);
    for (int level = 0; level < 9; ++level) {
        deep += "\\" + std::string(24, static_cast<char>('a' + level));
        makeFolder(deep);
    }
    makeFolder(deep + "\\fits");
    const std::string tooLong = deep + "\\" + std::string(27, 'z'); // 257 characters
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + std::wstring(tooLong.begin(), tooLong.end())).c_str(), nullptr));
    openPage();
    showFolderList(page, deep.c_str(), 0);
    const std::vector<Row> shown = rows();
    ASSERT_EQ(shown.size(), 1 + 11 + 1u) << "the computer, C:\\, C:\\D, nine levels and one subfolder";
    EXPECT_EQ(shown.back(), (Row{deep + "\\fits", ROW_FOLDER, 12}));
}

TEST_F(LocationPage, ResetFolderKeepsATypedPathWhileTheFolderIsUnchanged)
{
    openPage();
    SetDlgItemTextA(page, IDC_LOCATION_EDIT, "D:\\Elsewhere");
    command(IDC_RESET_FOLDER, BN_CLICKED);
    EXPECT_EQ(editText(), "D:\\Elsewhere");
    doubleClickRow(0);
    command(IDC_RESET_FOLDER, BN_CLICKED);
    EXPECT_EQ(editText(), defaultInstallFolder());
    EXPECT_EQ(folderListState.driveMode, 0);
}

TEST_F(LocationPage, ContinueStoresTheFolderTheListShows)
{
    openPage();
    SetDlgItemTextA(page, IDC_LOCATION_EDIT, "D:\\Apps\\");
    EXPECT_EQ(validateLocation(page), 1);
    const std::string joined = std::string("D:\\Apps\\") + installConfig.productName;
    EXPECT_EQ(installPaths.installDir, joined);
    EXPECT_EQ(editText(), joined);
    EXPECT_EQ(rows().back(), (Row{joined, ROW_FOLDER, 3}));
    const std::string named = "D:\\Old\\" + lowerCaseProductName() + "chen"; // holds the name already
    SetDlgItemTextA(page, IDC_LOCATION_EDIT, named.c_str());
    EXPECT_EQ(validateLocation(page), 1);
    EXPECT_EQ(installPaths.installDir, named);
    ASSERT_TRUE(CreateDirectoryA("C:\\Made Here", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    SetDlgItemTextA(page, IDC_LOCATION_EDIT, "C:\\Made Here");
    EXPECT_EQ(validateLocation(page), 1) << "a folder of the account the setup runs as";
}

TEST_F(LocationPage, RefusedPathsWarnAndChangeNothing)
{
    openPage();
    const std::string name = installConfig.productName;
    const size_t joinedLength = sizeof installPaths.installDir + 1; // with "\\" and the name appended
    const size_t longestTyped = TYPED_PATH_CAPACITY - 1;            // refused, not cut
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\", "Path may not be a root drive..."},
        {"C:", "Missing : or \\ in drive."},
        {"C:/Apps", "Missing : or \\ in drive."},
        {"", "Path may not be empty!"},
        {"D:\\Long\\" + std::string(joinedLength - 9 - name.size(), 'a'), "Path is too long!"},
        {"D:\\" + name + "\\" + std::string(longestTyped - 4 - name.size(), 'a'), "Path is too long!"},
        {"C:\\" + name + "\\..", "Path may not be a root drive..."},
        {"C:\\" + name + "\\CON", "Path holds a name that Windows does not allow."}, // a device to the system
        {linuxPath(ENGINE_FIXTURES "/linked/link/" + name), "Path may not lead through a folder link."},
    };
    for (const auto& [typed, reason] : cases) {
        SetDlgItemTextA(page, IDC_LOCATION_EDIT, typed.c_str());
        std::string shown;
        {
            MessageBoxAnswerer answerer;
            EXPECT_EQ(validateLocation(page), -1) << typed;
            shown = answerer.text;
        }
        EXPECT_EQ(shown, "Path Invalid!\r\n\r\n" + reason);
        EXPECT_EQ(installPaths.installDir, defaultInstallFolder());
        EXPECT_EQ(editText(), typed);
    }
}

// The folder security rule on descriptors as Windows makes them from SDDL
// (self-relative), with the account the setup runs as and a user who planted
// a folder. Wine keeps no owners or access lists on files, so the page's own
// refusal of such a folder is shown on Windows only.
namespace {
const std::string setupAccount = "S-1-5-21-1-2-3-500";
const std::string planter = "S-1-5-21-1-2-3-1001";
const std::string trustedInstaller = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
// What a folder an administrator made at a drive root inherits from it.
const std::string fromDriveRoot =
    "(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)(A;ID;0x1301bf;;;AU)(A;OICIIOID;SDGXGWGR;;;AU)";

// The descriptor's bytes, or none when the SDDL does not convert.
std::vector<uint8_t> descriptorOf(const std::string& sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return {};
    }
    const auto* bytes = static_cast<const uint8_t*>(descriptor);
    std::vector<uint8_t> copy(bytes, bytes + GetSecurityDescriptorLength(descriptor));
    LocalFree(descriptor);
    return copy;
}

bool leftToAdministrators(const std::vector<uint8_t>& descriptor, const std::string& account)
{
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(account.c_str(), &sid)) {
        return false;
    }
    const bool left = isLeftToAdministrators(descriptor.data(), descriptor.size(), static_cast<const uint8_t*>(sid),
                                             GetLengthSid(sid));
    LocalFree(sid);
    return left;
}
} // namespace

TEST(FolderSecurity, FoldersOfAdministratorsAndOfTheSetupsAccountAreLeftToThem)
{
    const std::vector<std::string> allowed = {
        "O:BAD:AI" + fromDriveRoot,
        "O:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)",
        "O:" + trustedInstaller + "D:P(A;OICI;GA;;;" + trustedInstaller + ")(A;;FA;;;SY)(A;;0x1200a9;;;BU)",
        // Everyone may write in it, but not change its access list or owner.
        "O:" + setupAccount + "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + setupAccount + ")(A;OICI;0x1301ff;;;WD)",
        // Full control for whoever creates something inside, not for the folder.
        "O:BAD:(A;OICIIO;FA;;;CO)(A;;FA;;;BA)",
        "O:BAD:AI(D;;WDWO;;;WD)" + fromDriveRoot,
        "O:BAD:P",
    };
    for (const std::string& sddl : allowed) {
        const std::vector<uint8_t> descriptor = descriptorOf(sddl);
        ASSERT_FALSE(descriptor.empty()) << sddl;
        EXPECT_TRUE(leftToAdministrators(descriptor, setupAccount)) << sddl;
    }
}

TEST(FolderSecurity, FoldersOthersMayChangeAreNot)
{
    const std::vector<std::string> refused = {
        "O:" + planter + "D:AI" + fromDriveRoot,
        "O:BAD:AI(A;;WD;;;" + planter + ")" + fromDriveRoot,
        "O:BAD:AI(A;OICI;FA;;;BU)" + fromDriveRoot,
        "O:BAD:(A;;WO;;;AU)(A;;FA;;;BA)",
        "O:BAD:(A;OICI;GA;;;WD)",
        "O:BA",           // no access list: everyone has full control
        "D:(A;;FA;;;BA)", // no owner to judge
    };
    for (const std::string& sddl : refused) {
        const std::vector<uint8_t> descriptor = descriptorOf(sddl);
        ASSERT_FALSE(descriptor.empty()) << sddl;
        EXPECT_FALSE(leftToAdministrators(descriptor, setupAccount)) << sddl;
    }
    // A null access list, present at offset 0, does the same.
    // Built by hand, as Wine converts "D:NO_ACCESS_CONTROL" into an empty list.
    std::vector<uint8_t> nullList = descriptorOf("O:BA");
    nullList[2] |= SE_DACL_PRESENT;
    EXPECT_FALSE(leftToAdministrators(nullList, setupAccount)) << "a null access list";
    const std::vector<uint8_t> ownFolder = descriptorOf("O:" + setupAccount + "D:(A;OICI;FA;;;" + setupAccount + ")");
    EXPECT_FALSE(leftToAdministrators(ownFolder, planter)) << "another account's folder";
    const std::vector<uint8_t> ordinary = descriptorOf("O:BAD:AI" + fromDriveRoot);
    for (size_t cut = 0; cut < ordinary.size(); ++cut) {
        EXPECT_FALSE(isLeftToAdministrators(ordinary.data(), cut, nullptr, 0)) << "cut to " << cut << " bytes";
    }
}

TEST_F(LocationPage, RowsBeyondTheListAreNotDrawn)
{
    openPage();
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_LISTBOX;
    item.hwndItem = list();
    item.hDC = GetDC(list());
    item.itemID = FOLDER_LIST_ROWS;
    EXPECT_TRUE(drawFolderRow(&item));
    item.itemID = static_cast<UINT>(-1);
    EXPECT_TRUE(drawFolderRow(&item));
    ReleaseDC(list(), item.hDC);
}
