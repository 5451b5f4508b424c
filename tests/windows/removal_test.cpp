// The uninstaller's removal without its window: the product installed into a
// scratch folder of the test prefix as the setup installs it, the machine
// changed as a user or another program would change it, then every removal
// step run in order, as the uninstaller runs them.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <string>

#include "../shared/machine_helpers.h"
#include "../shared/product_facts.h"
#include "../shared/recording_caller.h"
#include "engine/install_files.h"
#include "engine/install_record.h"
#include "engine/registration.h"
#include "engine/removal.h"
#include "engine/safe_paths.h"
#include "engine/shortcuts.h"
#include "engine/system_folders.h"
#include "product/config.h"

namespace {
const std::string uninstallEntry = std::string(uninstallListKey) + "\\" + installConfig.productName;
const std::string productGroup = std::string(installConfig.publisherName) + "\\" + installConfig.productName;
constexpr char otherProduct[] = "Other Product";

bool exists(const std::string& path) { return pathExists(path.c_str()); }

bool keyExists(const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | MACHINE_VIEW, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool valueExists(const std::string& path, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | MACHINE_VIEW, &key) != ERROR_SUCCESS) {
        return false;
    }
    const bool found = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

bool isRecorded(const std::string& path)
{
    RecordItem item;
    return readRecordedItem(std::wstring(path.begin(), path.end()).c_str(), &item);
}

std::string groupFolder() { return std::string(installPaths.programsDir) + "\\" + productGroup; }

class Removal : public ::testing::Test {
  protected:
    void SetUp() override { forgetInstallation(); }
    void TearDown() override { forgetInstallation(); }

    static void forgetInstallation()
    {
        closeInstallRecord();
        deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);
        deleteRegistryTree(HKEY_LOCAL_MACHINE, uninstallEntry.c_str());
    }

    // Files, shortcuts and registration, as the setup leaves them, in new
    // folders below root; the setup's process then ends.
    static void install(const std::string& root)
    {
        fillWindowsDir();
        fillProgramsDir();
        lstrcpyA(installPaths.installDir, (root + "\\" + installConfig.productName).c_str());
        lstrcpyA(installPaths.groupName, productGroup.c_str());
        RecordingCaller caller;
        ASSERT_EQ(installFiles(caller), INSTALL_DONE);
        ASSERT_TRUE(createShortcuts(caller));
        registerInstallation();
        closeInstallRecord();
    }

    // One run of the uninstaller, with what it read, found and left; hook
    // runs once the files were found free, before the first step.
    static void removeAll(const std::function<void()>& hook = [] {})
    {
        installPaths = InstallPaths{};
        leftBehind = PathList{};
        keptFolders = PathList{};
        ASSERT_TRUE(readInstallation());
        EXPECT_EQ(findFileInUse(), nullptr);
        hook();
        for (int step = 0; step < removalStepCount(); ++step) {
            runRemovalStep(step);
        }
    }
};
} // namespace

// What the setup wrote and the user left unchanged goes, with the folder
// levels and keys the setup made; a file the user changed, the user's own
// file, the folder holding them and another product's value under the
// publisher key stay.
TEST_F(Removal, RemovesWhatTheSetupWroteAndKeepsWhatIsNotItsOwn)
{
    ASSERT_NO_FATAL_FAILURE(install("C:\\Removal Kept"));
    const std::string changed = installedPath(installConfig.files[README_ROW]);
    std::ofstream(changed, std::ios::app) << "A note the user added.\r\n";
    std::ofstream(std::string(installPaths.installDir) + "\\letter.txt") << "the user's letter";
    ASSERT_TRUE(setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, otherProduct, "C:\\Other Product"));

    removeAll();
    EXPECT_EQ(leftBehind.count, 0) << leftBehind.text;
    for (int i = 0; i < installConfig.fileCount; ++i) {
        const std::string path = installedPath(installConfig.files[i]);
        EXPECT_EQ(exists(path), path == changed) << path << (path == changed ? " was changed by the user" : "");
    }
    EXPECT_TRUE(exists(std::string(installPaths.installDir) + "\\letter.txt"));
    EXPECT_STREQ(keptFolders.text, installPaths.installDir) << "it holds what is not the product's";
    EXPECT_FALSE(exists(groupFolder()));
    EXPECT_FALSE(exists(std::string(installPaths.programsDir) + "\\" + installConfig.publisherName));

    EXPECT_FALSE(keyExists(uninstallEntry));
    EXPECT_FALSE(installRecordExists());
    EXPECT_FALSE(keyExists(std::string(publisherKey) + "\\" + installRecordFolderKey));
    EXPECT_FALSE(keyExists(std::string(publisherKey) + versionKeySuffix));
    EXPECT_FALSE(valueExists(publisherKey, installConfig.productName));
    EXPECT_TRUE(valueExists(publisherKey, otherProduct)) << "another product's value is not the setup's";
}

// A file that cannot be deleted (a program started after the check holds it
// open) is named, and the entry and the record stay, so that a second run
// finishes the removal once the program has ended.
TEST_F(Removal, WhatIsLeftKeepsTheEntryAndTheRecordForASecondRun)
{
    ASSERT_NO_FATAL_FAILURE(install("C:\\Removal Held"));
    const std::string held = installedPath(installConfig.files[findRow(isInInstallFolder)]);
    HANDLE file = INVALID_HANDLE_VALUE;
    removeAll(
        [&] { file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr); });
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << held;
    EXPECT_EQ(leftBehind.count, 1) << leftBehind.text;
    EXPECT_EQ(leftBehind.reasons, static_cast<unsigned>(LEFT_IN_USE));
    EXPECT_STREQ(leftBehind.text, held.c_str());
    EXPECT_TRUE(keyExists(uninstallEntry)) << "the entry stays while something is left";
    EXPECT_TRUE(valueExists(publisherKey, installConfig.productName));
    EXPECT_TRUE(isRecorded(held)) << "the record stays while something is left";
    EXPECT_TRUE(isRecorded(installPaths.installDir));
    EXPECT_TRUE(exists(installPaths.installDir));
    CloseHandle(file);

    removeAll();
    EXPECT_EQ(leftBehind.count, 0) << leftBehind.text;
    EXPECT_EQ(keptFolders.count, 0) << keptFolders.text;
    EXPECT_FALSE(exists("C:\\Removal Held")) << "every level the setup created goes";
    EXPECT_FALSE(exists(installedPath(installConfig.files[UNINSTALL_ROW])));
    EXPECT_FALSE(exists(groupFolder()));
    EXPECT_FALSE(keyExists(uninstallEntry));
    EXPECT_FALSE(keyExists(publisherKey)) << "an empty publisher key goes";
}
