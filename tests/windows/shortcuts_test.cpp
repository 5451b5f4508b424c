#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "dialog_driver.h"
#include "engine/install_record.h"
#include "engine/shortcuts.h"
#include "product/config.h"
#include "rules/registration_texts.h"
#include "setup/pages/shortcuts.h"
#include "setup/wizard.h"

namespace {
struct Shortcut {
    bool loaded = false;
    std::string target;
    std::string workingFolder;
    std::string description;
};

Shortcut readShortcut(const std::string& path)
{
    Shortcut shortcut;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return shortcut;
    }
    IPersistFile* file = nullptr;
    WCHAR widePath[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(widePath, STGM_READ))) {
            char text[MAX_PATH] = "";
            shortcut.loaded = true;
            link->GetPath(text, sizeof text, nullptr, 0);
            shortcut.target = text;
            link->GetWorkingDirectory(text, sizeof text);
            shortcut.workingFolder = text;
            link->GetDescription(text, sizeof text);
            shortcut.description = text;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

// Program files the shortcuts point at, so that the shell link resolves them.
void createFile(const std::string& path)
{
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void prepareMachine(const char* programsDir, const char* groupName)
{
    const std::string installDir = std::string("C:\\Shortcut Test\\") + installConfig.productName;
    CreateDirectoryA("C:\\Shortcut Test", nullptr);
    CreateDirectoryA("C:\\Shortcut Test\\Windows", nullptr);
    CreateDirectoryA(installDir.c_str(), nullptr);
    CreateDirectoryA(programsDir, nullptr);
    lstrcpyA(installPaths.windowsDir, "C:\\Shortcut Test\\Windows");
    lstrcpyA(installPaths.installDir, installDir.c_str());
    lstrcpyA(installPaths.programsDir, programsDir);
    lstrcpyA(installPaths.groupName, groupName);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        createFile(installedPath(installConfig.files[i]));
    }
}

class ComScope {
  public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};
} // namespace

// The shortcut's bytes go into a file of the held group that the setup
// made; an earlier link of that name is replaced, but a name that is a link
// or has another name is never written through: what it leads to stays.
TEST(CreateShellLink, SavesTargetWorkingFolderAndDescriptionAndNeverWritesThroughAName)
{
    prepareMachine("C:\\Shortcut Test\\Links", "unused");
    ComScope com;
    const PayloadEntry& uninstaller = installConfig.files[UNINSTALL_ROW];
    const PayloadEntry& readMe = installConfig.files[README_ROW];
    HeldFolder group = {};
    ASSERT_TRUE(holdFolder(group, "C:\\Shortcut Test\\Links", nullptr));
    const std::string link = std::string("C:\\Shortcut Test\\Links\\") + readMe.shortcutCaption + ".lnk";
    const std::wstring name = std::wstring(link.begin() + link.rfind('\\') + 1, link.end());
    RecordItem written = {};
    EXPECT_TRUE(createShellLink(installedPath(uninstaller).c_str(), rowFolder(uninstaller).c_str(), "Old", group,
                                name.c_str(), &written));
    EXPECT_TRUE(createShellLink(installedPath(readMe).c_str(), rowFolder(readMe).c_str(), readMe.shortcutCaption, group,
                                name.c_str(), &written));
    const Shortcut saved = readShortcut(link);
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.target, installedPath(readMe));
    EXPECT_EQ(saved.workingFolder, rowFolder(readMe));
    EXPECT_EQ(saved.description, readMe.shortcutCaption);
    EXPECT_EQ(entriesIn("C:\\Shortcut Test\\Links").size(), 1u) << "no fresh file is left beside it";

    std::ofstream("C:\\Shortcut Test\\victim.ini") << "a file outside the group";
    ASSERT_TRUE(CreateHardLinkA("C:\\Shortcut Test\\Links\\Shared.lnk", "C:\\Shortcut Test\\victim.ini", nullptr));
    EXPECT_FALSE(createShellLink(installedPath(readMe).c_str(), rowFolder(readMe).c_str(), "Shared", group,
                                 L"Shared.lnk", &written));
    std::string victim;
    std::getline(std::ifstream("C:\\Shortcut Test\\victim.ini"), victim);
    EXPECT_EQ(victim, "a file outside the group");
    releaseFolder(group);
}

TEST(ShortcutsDialog, CreatesTheGroupAndOneShortcutPerShortcutRow)
{
    prepareMachine("C:\\Shortcut Test\\Programs", installConfig.productName);
    const std::string dialogCaption = withProductName("Creating %s Shortcuts");
    std::string caption;
    std::thread watcher([&] {
        HWND dialog = driver::waitForWindow("#32770", dialogCaption.c_str());
        caption = dialog != nullptr ? driver::text(dialog) : "<none>";
        // Esc, as the dialog manager passes it on, does not stop the work.
        driver::pressKey(dialog, VK_ESCAPE);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(runShortcutsDialog(nullptr), 1);
    const DWORD elapsed = GetTickCount() - start;
    watcher.join();
    EXPECT_EQ(caption, dialogCaption);
    EXPECT_GE(elapsed, 250u + installConfig.shortcutCount * 200u + 500u) << "the fixed pauses";

    ComScope com;
    const std::string group = std::string("C:\\Shortcut Test\\Programs\\") + installConfig.productName + "\\";
    EXPECT_EQ(entriesIn(group).size(), static_cast<size_t>(installConfig.shortcutCount));
    for (int i = 0; i < installConfig.shortcutCount; ++i) {
        const PayloadEntry& row = installConfig.files[i];
        const Shortcut saved = readShortcut(group + row.shortcutCaption + ".lnk");
        ASSERT_TRUE(saved.loaded) << row.shortcutCaption;
        EXPECT_EQ(saved.target, installedPath(row));
        EXPECT_EQ(saved.workingFolder, rowFolder(row));
        EXPECT_EQ(saved.description, row.shortcutCaption);
    }
}

TEST(ShortcutsDialog, AGroupEndingWithABackslashGetsNoSecondOne)
{
    const int shortcutRow =
        findRow([](const PayloadEntry& row) { return isInInstallFolder(row) && hasShortcutCaption(row); });
    if (shortcutRow < 0) {
        GTEST_SKIP() << "the product has no shortcut to a file in the install folder";
    }
    const PayloadEntry& row = installConfig.files[shortcutRow];
    const std::string group = std::string(installConfig.productName) + "\\";
    prepareMachine("C:\\Shortcut Test\\Backslash", group.c_str());
    ASSERT_EQ(runShortcutsDialog(nullptr), 1);
    ComScope com;
    const Shortcut saved = readShortcut("C:\\Shortcut Test\\Backslash\\" + group + row.shortcutCaption + ".lnk");
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.target, installedPath(row));
}

TEST(ShortcutsDialog, AShortcutPathThatDoesNotFitSkipsThatShortcutOnly)
{
    // A group folder of at most 247 characters (the longest Windows creates)
    // that leaves room in the 260-byte path with its NULs for "\" + caption +
    // ".lnk" of the shortest captions only.
    const auto captionLength = [](int row) { return std::strlen(installConfig.files[row].shortcutCaption); };
    size_t shortest = MAX_PATH;
    for (int i = 0; i < installConfig.shortcutCount; ++i) {
        shortest = std::min(shortest, captionLength(i));
    }
    const size_t groupFolderLength = std::min<size_t>(247, MAX_PATH - 2 - 5 - shortest);
    std::vector<std::string> fitting;
    for (int i = 0; i < installConfig.shortcutCount; ++i) {
        if (groupFolderLength + 5 + captionLength(i) <= MAX_PATH - 2) {
            fitting.push_back(std::string(installConfig.files[i].shortcutCaption) + ".lnk");
        }
    }
    if (fitting.size() == static_cast<size_t>(installConfig.shortcutCount)) {
        GTEST_SKIP() << "every shortcut caption of the product is of the shortest length";
    }
    std::sort(fitting.begin(), fitting.end());
    const std::string group = installConfig.productName;
    const std::string programs = "C:\\Shortcut Test\\" + std::string(groupFolderLength - group.size() - 1 - 17, 'p');
    prepareMachine(programs.c_str(), group.c_str());
    ASSERT_EQ(runShortcutsDialog(nullptr), 1) << "skipped shortcuts are not a failure";
    std::vector<std::string> made = entriesIn(programs + "\\" + group);
    EXPECT_EQ(made, fitting);
    EXPECT_TRUE(entriesIn(programs).empty()) << "no cut name lands beside the group";
}

TEST(ShortcutsDialog, FailsWithoutAnyShortcutWhenComWasAlreadyInitialised)
{
    prepareMachine("C:\\Shortcut Test\\Busy", installConfig.productName);
    ComScope com;
    EXPECT_EQ(runShortcutsDialog(nullptr), 2);
    const std::string group = std::string("C:\\Shortcut Test\\Busy\\") + installConfig.productName;
    EXPECT_EQ(GetFileAttributesA(group.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {
bool isRecorded(const std::string& path, RecordKind kind)
{
    RecordItem item;
    return readRecordedItem(std::wstring(path.begin(), path.end()).c_str(), &item) && item.kind == kind;
}
} // namespace

// Every missing level of a group is created and recorded, with the access
// that a folder the user made there would get: the Start Menu stays the
// user's. In a group that was there before, a shortcut of the product's
// caption (an earlier installation's whose record was lost) is replaced and
// recorded. A file where the group's folder should be is a failure.
TEST(ShortcutsDialog, CreatesEveryLevelOfTheGroupAndReplacesAnEarlierShortcut)
{
    const std::string levels = "C:\\Shortcut Test\\Levels";
    prepareMachine(levels.c_str(), "Tools\\Utilities");
    ASSERT_TRUE(openInstallRecord(true));
    ASSERT_EQ(runShortcutsDialog(nullptr), 1);
    EXPECT_EQ(entriesIn(levels + "\\Tools\\Utilities").size(), static_cast<size_t>(installConfig.shortcutCount));
    EXPECT_TRUE(isRecorded(levels + "\\Tools", RECORD_FOLDER));
    EXPECT_TRUE(isRecorded(levels + "\\Tools\\Utilities", RECORD_FOLDER));
    CreateDirectoryA((levels + "\\Made By The User").c_str(), nullptr);
    EXPECT_EQ(accessListOf(levels + "\\Tools"), accessListOf(levels + "\\Made By The User"));

    const std::string shared = std::string("C:\\Shortcut Test\\Shared\\") + installConfig.productName;
    prepareMachine("C:\\Shortcut Test\\Shared", installConfig.productName);
    CreateDirectoryA(shared.c_str(), nullptr);
    const std::string earlier = shared + "\\" + installConfig.files[0].shortcutCaption + ".lnk";
    std::ofstream(earlier) << "an earlier installation's shortcut";
    ASSERT_EQ(runShortcutsDialog(nullptr), 1);
    {
        ComScope com;
        EXPECT_EQ(readShortcut(earlier).target, installedPath(installConfig.files[0]));
    }
    EXPECT_FALSE(isRecorded(shared, RECORD_FOLDER));
    for (int i = 0; i < installConfig.shortcutCount; ++i) {
        EXPECT_TRUE(isRecorded(shared + "\\" + installConfig.files[i].shortcutCaption + ".lnk", RECORD_SHORTCUT));
    }

    prepareMachine("C:\\Shortcut Test\\Blocked", installConfig.productName);
    createFile(std::string("C:\\Shortcut Test\\Blocked\\") + installConfig.productName);
    EXPECT_EQ(runShortcutsDialog(nullptr), 2);
    closeInstallRecord();
    deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
}
