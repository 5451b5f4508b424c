#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "engine/registration.h"
#include "product/config.h"
#include "setup/read_me.h"

namespace {
const std::string uninstallEntry =
    std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + installConfig.productName;
const std::string versionKey = std::string(publisherKey) + versionKeySuffix;
const std::string productGroup = std::string(installConfig.publisherName) + "\\" + installConfig.productName;
constexpr char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char runServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::pair<HKEY, const char*> autostartKeys[] = {
    {HKEY_LOCAL_MACHINE, runKey}, {HKEY_LOCAL_MACHINE, runServicesKey}, {HKEY_CURRENT_USER, runKey}};

// The text of a REG_SZ value whose byte count includes its NUL, or "<missing>".
std::string readText(HKEY root, const std::string& path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | registryView(root), &key) != ERROR_SUCCESS) {
        return "<missing>";
    }
    char data[512] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return "<missing>";
    }
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(size, std::string(data).size() + 1) << name << ": the byte count includes the NUL";
    return data;
}

// The number of a REG_DWORD value, or -1 when it is missing or of another type.
long long readNumber(HKEY root, const std::string& path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | registryView(root), &key) != ERROR_SUCCESS) {
        return -1;
    }
    DWORD number = 0;
    DWORD type = 0;
    DWORD size = sizeof number;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof number ? number : -1;
}

void useFolders(const char* installDir)
{
    lstrcpyA(installPaths.installDir, installDir);
    lstrcpyA(installPaths.windowsDir, "C:\\Windows");
    lstrcpyA(installPaths.groupName, productGroup.c_str());
}
} // namespace

TEST(RegisterInstallation, WritesEveryValueAndRemovesOnlyTheOldAutostartValues)
{
    const std::string name = installConfig.productName;
    useFolders(("D:\\Apps\\" + name).c_str());
    for (const auto& [root, path] : autostartKeys) {
        ASSERT_TRUE(setRegistryText(root, path, previousAutostartValue, "C:\\Old\\Program.exe"));
        ASSERT_TRUE(setRegistryText(root, path, "Neighbour", "C:\\Neighbour.exe"));
    }
    registerInstallation();

    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, publisherKey, name.c_str()), "D:\\Apps\\" + name);
    // Only a 64-bit system has a second view; a 32-bit one has the one.
    HKEY otherView;
    if (sizeof(void*) == 8) {
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, publisherKey, 0, KEY_READ | KEY_WOW64_64KEY, &otherView),
                  ERROR_SUCCESS)
            << "the shipped 32-bit program writes the 32-bit view only";
    }
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, versionKey, "Program Version"), installConfig.productVersion);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayName"), name);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayVersion"),
              std::string("v") + installConfig.productVersion);
    const std::string uninstaller = std::string("C:\\Windows\\") + installConfig.files[UNINSTALL_ROW].fileName;
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "UninstallString"), "\"" + uninstaller + "\"");
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "QuietUninstallString"), "\"" + uninstaller + "\" /quiet");
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), "D:\\Apps\\" + name);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Group"), productGroup);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "Publisher"), installConfig.publisherName);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "HelpLink"), installConfig.productUrl);
    // What the list of installed programs shows beside the name.
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayIcon"), uninstaller);
    unsigned long long bytes = 0;
    for (int row = 0; row < installConfig.fileCount; ++row) {
        bytes += installConfig.files[row].unpackedSize;
    }
    EXPECT_EQ(readNumber(HKEY_LOCAL_MACHINE, uninstallEntry, "EstimatedSize"),
              static_cast<long long>((bytes + 1023) / 1024));
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "InstallDate"), date);
    EXPECT_EQ(readNumber(HKEY_LOCAL_MACHINE, uninstallEntry, "NoModify"), 1);
    EXPECT_EQ(readNumber(HKEY_LOCAL_MACHINE, uninstallEntry, "NoRepair"), 1);
    for (const auto& [root, path] : autostartKeys) {
        EXPECT_EQ(readText(root, path, previousAutostartValue), "<missing>") << path;
        EXPECT_EQ(readText(root, path, "Neighbour"), "C:\\Neighbour.exe") << path;
    }

    // A second installation overwrites the values of the first.
    useFolders(("E:\\" + name).c_str());
    registerInstallation();
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, publisherKey, name.c_str()), "E:\\" + name);
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), "E:\\" + name);
}

TEST(RegisterInstallation, WithoutTheUninstallListStillWritesThePublisherAndVersionValues)
{
    useFolders(defaultInstallFolder().c_str());
    deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
    deleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    deleteRegistryTree(HKEY_LOCAL_MACHINE, runServicesKey);
    ASSERT_TRUE(setRegistryText(HKEY_CURRENT_USER, runKey, previousAutostartValue, "C:\\Old\\Program.exe"));

    registerInstallation();

    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName), defaultInstallFolder());
    EXPECT_EQ(readText(HKEY_LOCAL_MACHINE, versionKey, "Program Version"), installConfig.productVersion);
    HKEY list;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                            KEY_READ | registryView(HKEY_LOCAL_MACHINE), &list),
              ERROR_SUCCESS)
        << "the list of installed programs is never created";
    EXPECT_EQ(readText(HKEY_CURRENT_USER, runKey, previousAutostartValue), "<missing>");
}

namespace {
// A top-level window that records whether it was ever minimised.
std::atomic<bool> wasMinimised;

LRESULT CALLBACK recordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED) {
        wasMinimised = true;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createRecordingWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = recordingWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ReadMeOwner";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "ReadMeOwner", "Backdrop", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    wasMinimised = false;
    return window;
}

std::string makeFolder(const char* path)
{
    CreateDirectoryA(path, nullptr);
    return path;
}
} // namespace

// Where there is a desktop shell, the viewer starts with the shell's token,
// else with the setup's own. Wine has no shell: a window of the test stands
// in for one on the second round, so that both ways run (as one user here).
TEST(ViewReadMe, OpensTheReadMeInAFolderWithSpacesAndWaitsMinimisedUntilTheViewerCloses)
{
    makeFolder("C:\\Read Me Test");
    useFolders(makeFolder((std::string("C:\\Read Me Test\\") + installConfig.productName).c_str()).c_str());
    const std::string readMe = installConfig.files[README_ROW].fileName;
    HANDLE file = CreateFileA((std::string(installPaths.installDir) + "\\" + readMe).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    WriteFile(file, "Read me first.\r\n", 16, &written, nullptr);
    CloseHandle(file);

    for (int round = 0; round < 2; ++round) {
        if (round == 1 && GetShellWindow() == nullptr) {
            using SetShellWindow = BOOL(WINAPI*)(HWND);
            const auto setShellWindow = reinterpret_cast<SetShellWindow>(
                reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetShellWindow")));
            ASSERT_NE(setShellWindow, nullptr);
            setShellWindow(createRecordingWindow());
        }
        HWND window = createRecordingWindow();
        ASSERT_NE(window, nullptr);
        std::atomic<bool> viewerSeen = false;
        std::atomic<bool> minimisedWhileOpen = false;
        std::thread closer([&] {
            for (int i = 0; i < 300 && !viewerSeen; ++i) {
                Sleep(100);
                HWND viewer = FindWindowA("Notepad", nullptr);
                char title[256] = "";
                if (viewer != nullptr && GetWindowTextA(viewer, title, sizeof title) > 0 &&
                    std::string(title).find(readMe.substr(0, readMe.rfind('.'))) != std::string::npos) {
                    viewerSeen = true;
                    minimisedWhileOpen = IsIconic(window) != FALSE;
                    PostMessageA(viewer, WM_CLOSE, 0, 0);
                }
            }
        });
        viewReadMe(window);
        closer.join();

        EXPECT_TRUE(viewerSeen) << "Notepad showed " << readMe << ", round " << round;
        EXPECT_TRUE(minimisedWhileOpen) << round;
        EXPECT_FALSE(IsIconic(window)) << "restored once the viewer has closed, round " << round;
        DestroyWindow(window);
    }
}

TEST(ViewReadMe, AViewerThatCannotBeStartedStartsNothingButStillMinimisesAndRestores)
{
    // A read-me path too long for the command line, and an install folder
    // that is gone: the viewer would only offer to create the read-me.
    const std::string longFolder = "C:\\" + std::string(240, 'f');
    for (const std::string& folder : {longFolder, std::string("C:\\Removed Folder\\") + installConfig.productName}) {
        HWND window = createRecordingWindow();
        ASSERT_NE(window, nullptr);
        useFolders(folder.c_str());
        const DWORD start = GetTickCount();
        viewReadMe(window);
        EXPECT_LT(GetTickCount() - start, 5000u) << "returned without waiting for a viewer";
        EXPECT_TRUE(wasMinimised) << folder;
        EXPECT_FALSE(IsIconic(window)) << folder;
        EXPECT_EQ(FindWindowA("Notepad", nullptr), nullptr) << folder;
        DestroyWindow(window);
    }
}
