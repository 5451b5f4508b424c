#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "../shared/machine_helpers.h"
#include "dialog_driver.h"
#include "pages/shortcuts.h"
#include "shell/config.h"
#include "shell/wizard.h"

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
    CreateDirectoryA("C:\\Shortcut Test", nullptr);
    CreateDirectoryA("C:\\Shortcut Test\\Windows", nullptr);
    CreateDirectoryA("C:\\Shortcut Test\\Tidy Kit", nullptr);
    CreateDirectoryA(programsDir, nullptr);
    lstrcpyA(installPaths.windowsDir, "C:\\Shortcut Test\\Windows");
    lstrcpyA(installPaths.installDir, "C:\\Shortcut Test\\Tidy Kit");
    lstrcpyA(installPaths.programsDir, programsDir);
    lstrcpyA(installPaths.groupName, groupName);
    for (int i = 0; i < installConfig.fileCount; ++i) {
        const PayloadEntry& row = installConfig.files[i];
        const char* folder = (row.flags & FILE_IN_WINDOWS_DIR) ? installPaths.windowsDir : installPaths.installDir;
        createFile(std::string(folder) + "\\" + row.fileName);
    }
}

class ComScope {
public:
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};
} // namespace

TEST(CreateShellLink, SavesTargetWorkingFolderAndDescriptionAndReplacesAnEarlierLink)
{
    prepareMachine("C:\\Shortcut Test\\Links", "unused");
    ComScope com;
    const std::string link = "C:\\Shortcut Test\\Links\\Read Me.lnk";
    createShellLink("C:\\Shortcut Test\\Windows\\Tkremove.exe", "C:\\Shortcut Test\\Windows", link.c_str(), "Old");
    createShellLink("C:\\Shortcut Test\\Tidy Kit\\ReadFirst.txt", "C:\\Shortcut Test\\Tidy Kit", link.c_str(),
                    "Read Me");
    const Shortcut saved = readShortcut(link);
    ASSERT_TRUE(saved.loaded);
    EXPECT_STREQ(saved.target.c_str(), "C:\\Shortcut Test\\Tidy Kit\\ReadFirst.txt");
    EXPECT_STREQ(saved.workingFolder.c_str(), "C:\\Shortcut Test\\Tidy Kit");
    EXPECT_STREQ(saved.description.c_str(), "Read Me");
}

TEST(ShortcutsDialog, CreatesTheGroupAndOneShortcutPerShortcutRow)
{
    prepareMachine("C:\\Shortcut Test\\Programs", "Tidy Kit");
    std::string caption;
    std::thread watcher([&] {
        HWND dialog = driver::waitForWindow("#32770", "Creating Tidy Kit Shortcuts");
        caption = dialog != nullptr ? driver::text(dialog) : "<none>";
        // Esc, as the dialog manager passes it on, does not stop the work.
        driver::pressKey(dialog, VK_ESCAPE);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    const DWORD start = GetTickCount();
    EXPECT_EQ(runShortcutsDialog(nullptr), 1);
    const DWORD elapsed = GetTickCount() - start;
    watcher.join();
    EXPECT_EQ(caption, "Creating Tidy Kit Shortcuts");
    EXPECT_GE(elapsed, 250u + 5 * 200u + 500u) << "the fixed pauses";

    ComScope com;
    const std::string group = "C:\\Shortcut Test\\Programs\\Tidy Kit\\";
    const char* captions[] = {"Uninstall", "Update", "Tidy Kit", "Help", "Read Me"};
    const char* targets[] = {"Windows\\Tkremove.exe", "Tidy Kit\\Tkpatch.exe", "Tidy Kit\\Tidy Kit.exe",
                             "Tidy Kit\\Tidy Kit.hlp", "Tidy Kit\\ReadFirst.txt"};
    const char* folders[] = {"Windows", "Tidy Kit", "Tidy Kit", "Tidy Kit", "Tidy Kit"};
    EXPECT_EQ(entriesIn(group).size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const Shortcut saved = readShortcut(group + captions[i] + ".lnk");
        ASSERT_TRUE(saved.loaded) << captions[i];
        EXPECT_EQ(saved.target, std::string("C:\\Shortcut Test\\") + targets[i]);
        EXPECT_EQ(saved.workingFolder, std::string("C:\\Shortcut Test\\") + folders[i]);
        EXPECT_EQ(saved.description, captions[i]);
    }
}

TEST(ShortcutsDialog, AGroupEndingWithABackslashGetsNoSecondOne)
{
    prepareMachine("C:\\Shortcut Test\\Backslash", "Tidy Kit\\");
    ASSERT_EQ(runShortcutsDialog(nullptr), 1);
    ComScope com;
    const Shortcut saved = readShortcut("C:\\Shortcut Test\\Backslash\\Tidy Kit\\Update.lnk");
    ASSERT_TRUE(saved.loaded);
    EXPECT_EQ(saved.target, "C:\\Shortcut Test\\Tidy Kit\\Tkpatch.exe");
}

TEST(ShortcutsDialog, AShortcutPathThatDoesNotFitSkipsThatShortcutOnly)
{
    // A group folder of 247 characters: "\Help.lnk" and "\Update.lnk" still
    // fit the 260-byte path with its NULs, the longer captions do not.
    const std::string group = "Tidy Kit";
    const std::string programs = "C:\\Shortcut Test\\" + std::string(247 - group.size() - 1 - 17, 'p');
    prepareMachine(programs.c_str(), group.c_str());
    ASSERT_EQ(runShortcutsDialog(nullptr), 1) << "skipped shortcuts are not a failure";
    std::vector<std::string> made = entriesIn(programs + "\\" + group);
    EXPECT_EQ(made, (std::vector<std::string>{"Help.lnk", "Update.lnk"}));
    EXPECT_TRUE(entriesIn(programs).empty()) << "no cut name lands beside the group";
}

TEST(ShortcutsDialog, FailsWithoutAnyShortcutWhenComWasAlreadyInitialised)
{
    prepareMachine("C:\\Shortcut Test\\Busy", "Tidy Kit");
    ComScope com;
    EXPECT_EQ(runShortcutsDialog(nullptr), 2);
    EXPECT_EQ(GetFileAttributesA("C:\\Shortcut Test\\Busy\\Tidy Kit"), INVALID_FILE_ATTRIBUTES);
}
