// The uninstaller, started as Windows starts it from the list of
// installed programs: after a default installation it leaves drive C: and the
// product's registry keys as they were, but for the user's data and its own
// file (removed at the next restart); its faults; and its unattended form.
#include "../shared/machine_helpers.h"
#include "driver.h"
#include "e2e.h"
#include "resource.h"
#include "wizard_path.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {
const std::string uninstallCaption = withProductName("%s Uninstall");
const std::string removedText = withProductName("%s has been removed from this computer.");
constexpr char keptText[] = "\r\n\r\nYour own files were kept in this folder:\r\n";
constexpr char sessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";

std::vector<std::string> productKeys()
{
    std::vector<std::string> lines = registryListing(HKEY_LOCAL_MACHINE, publisherKey);
    const std::vector<std::string> entry = registryListing(HKEY_LOCAL_MACHINE, uninstallEntry);
    lines.insert(lines.end(), entry.begin(), entry.end());
    return lines;
}

// The files waiting for removal at the next restart, as one lower-case text.
std::string pendingRemovals()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, sessionManagerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return "";
    }
    std::vector<char> data(8192, '\0');
    DWORD size = static_cast<DWORD>(data.size() - 2);
    DWORD type = 0;
    const bool read = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    std::string text(data.data(), read ? size : 0);
    std::replace(text.begin(), text.end(), '\0', '|');
    return lowerCase(text);
}

// A default installation, drive C: noted before it (machineBeforeSetup).
void installWithDefaults()
{
    finishInstallation(installToGroupPage(startToLocationPage()));
    stopSetup();
}

// The uninstall entry's command, run as the list of installed programs runs it.
void startRecorded(const char* valueName) { startCommand(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, valueName)); }

std::string asLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += "\n       " + line;
    }
    return text;
}

// The question answered Yes, what comes before the removal (afterYes), the
// removal window, and the closing message, read, pictured and answered;
// returns its text and the exit code.
std::pair<std::string, DWORD> uninstallAnsweringYes(const char* name, const std::function<void()>& afterYes = {})
{
    startRecorded("UninstallString");
    MessageBoxSeen question = waitForMessageBox();
    expectText(question.caption, uninstallCaption, "caption of the question");
    expectText(question.text, withProductName("Remove %s from this computer?"), "the question");
    answerMessageBox(question, IDYES);
    if (afterYes) {
        afterYes();
    }
    HWND window = nullptr;
    waitUntil(
        [&] {
            for (const SeenWindow& seen : seenWindows()) {
                window = !seen.messageBox && seen.caption == uninstallCaption ? seen.window : window;
            }
            return window != nullptr;
        },
        10000);
    // Pictured part-way, with some steps done.
    if (expect(window != nullptr, "the removal window opens") &&
        waitUntil([&] { return SendMessageA(GetDlgItem(window, IDC_REMOVAL_BAR), PBM_GETPOS, 0, 0) >= 6; }, 5000)) {
        step("removal-window");
    }
    MessageBoxSeen closing = waitForMessageBox(20000);
    step(name);
    expectText(closing.caption, uninstallCaption, "caption of the closing message");
    answerMessageBox(closing, IDOK);
    return {closing.text, waitForSetupExit()};
}

// Drive C: as before the installation but for the files named (lower case),
// and the product's keys as given.
void expectMachineAsBefore(std::vector<std::string> added, const std::vector<std::string>& keysBefore,
                           const std::vector<std::string>& removed = {})
{
    std::vector<std::string> changes;
    for (const FileChange& change : changedFiles(machineBeforeSetup(), snapshotDriveC())) {
        changes.push_back(change.kind + " " + lowerCase(change.path));
    }
    for (std::string& path : added) {
        path = "added " + lowerCase(path);
    }
    for (const std::string& path : removed) {
        added.push_back("removed " + lowerCase(path));
    }
    std::sort(changes.begin(), changes.end());
    std::sort(added.begin(), added.end());
    expect(changes == added, "drive C: is as before the installation but for %d kept files:%s",
           static_cast<int>(added.size()), asLines(changes).c_str());
    const std::vector<std::string> keys = productKeys();
    expect(keys == keysBefore, "the product's registry keys are as before the installation:%s", asLines(keys).c_str());
}

std::string installed(const std::string& name) { return defaultFolder + "\\" + name; }

void redirectProgramsFolder(const char* folder)
{
    constexpr char explorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
    for (const char* key : {"User Shell Folders", "Shell Folders"}) {
        setRegistryText(HKEY_CURRENT_USER, (std::string(explorerKey) + key).c_str(), "Programs", folder);
    }
}
std::string uninstallerPath() { return rowPath(installConfig.files[UNINSTALL_ROW], defaultFolder); }
// The folders of the default folder: the install folder and its root.
std::vector<std::string> defaultFolders() { return {std::string(defaultInstallRoot) + "\\", defaultFolder + "\\"}; }
} // namespace

SCENARIO(uninstall_after_install, 300)
{
    // The group the setup proposes exists already and holds a shortcut of
    // the product's caption that no record names (an earlier installation's
    // whose record was lost): the setup replaces it, and it is the setup's.
    const std::string group = programsFolder() + "\\" + installConfig.productName;
    const std::string earlierShortcut = group + "\\" + installConfig.files[0].shortcutCaption + ".lnk";
    CreateDirectoryA(group.c_str(), nullptr);
    writeFile(earlierShortcut, "an earlier installation's shortcut");
    const std::vector<std::string> keysBefore = productKeys();
    installWithDefaults();
    ShortcutSeen replaced = {};
    CoInitialize(nullptr);
    expect(readShortcut(earlierShortcut, replaced), "the earlier shortcut is replaced by a shortcut");
    CoUninitialize();
    expectText(lowerCase(replaced.target), lowerCase(rowPath(installConfig.files[0], defaultFolder)),
               "the replacing shortcut's target");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "QuietUninstallString"),
               "\"" + uninstallerPath() + "\" /quiet", "QuietUninstallString");
    // The values the list of programs shows, which leave with the entry.
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "DisplayIcon"), uninstallerPath(), "DisplayIcon");
    expectNumber(static_cast<long long>(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "InstallDate").size()), 8,
                 "digits of InstallDate");
    const std::vector<std::string> entry = registryListing(HKEY_LOCAL_MACHINE, uninstallEntry);
    for (const char* value : {"EstimatedSize\" = REG_DWORD ", "NoModify\" = REG_DWORD 1", "NoRepair\" = REG_DWORD 1"}) {
        expect(std::any_of(entry.begin(), entry.end(),
                           [&](const std::string& line) { return line.find(value) != std::string::npos; }),
               "the entry holds \"%s:%s", value, asLines(entry).c_str());
    }
    const std::string licence = installed(dataFileName("Licence"));
    writeFile(licence, "the user's licence");
    // An installed file the user has changed is the user's now.
    const std::string changed = installed(installConfig.files[README_ROW].fileName);
    writeFile(changed, "the user's own notes");

    const auto [text, exitCode] = uninstallAnsweringYes("closing-message");
    expectText(text, std::string(removedText) + keptText + defaultFolder, "the closing message names the kept data");
    expectNumber(exitCode, 0, "exit code of the uninstaller");
    std::vector<std::string> kept = defaultFolders();
    kept.insert(kept.end(), {licence, changed, uninstallerPath() + ".removed"});
    expectMachineAsBefore(kept, keysBefore, {earlierShortcut});
    expect(exists(group), "the group that was there before stays");
    const std::string pending = pendingRemovals();
    expect(pending.find(lowerCase(uninstallerPath()) + ".removed|") != std::string::npos &&
               pending.find(lowerCase(uninstallerPath()) + "|") == std::string::npos,
           "the uninstaller's own file is renamed aside and that is removed at the next restart: %s", pending.c_str());

    // A reinstall before that restart keeps a working uninstaller and entry.
    stopSetup();
    installWithDefaults();
    expect(exists(uninstallerPath()), "the reinstalled uninstaller is in its place");
    expect(pendingRemovals().find(lowerCase(uninstallerPath()) + "|") == std::string::npos,
           "the restart will not remove the reinstalled uninstaller");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "UninstallString"), "\"" + uninstallerPath() + "\"",
               "the entry names it");
}

SCENARIO(uninstall_quiet, 360)
{
    const std::vector<std::string> keysBefore = productKeys();
    installWithDefaults();
    // A payload file of a preserved extension that the program has since
    // changed holds the user's data now: it stays.
    const std::string data = installed(installConfig.files[dataRow()].fileName);
    writeFile(data, "data the user chose");
    startRecorded("QuietUninstallString");
    expectNumber(waitForSetupExit(20000), 0, "exit code of the quiet uninstaller");
    expect(seenWindows().empty(), "no window appeared: %d did", static_cast<int>(seenWindows().size()));
    std::vector<std::string> kept = defaultFolders();
    kept.insert(kept.end(), {data, uninstallerPath() + ".removed"});
    expectMachineAsBefore(kept, keysBefore);

    // The Start Menu redirected to a share, as roaming profiles have it, and
    // moved behind a link (prepare/uninstall_quiet.sh): the group and its
    // shortcuts are made there and removed from there.
    for (const char* programs : {"\\\\Server\\Share\\Programs", "C:\\Moved Profile\\Programs"}) {
        redirectProgramsFolder(programs);
        stopSetup();
        installWithDefaults();
        const std::string group = std::string(programs) + "\\" + installConfig.productName;
        expectNumber(static_cast<long long>(entriesIn(group).size()), installConfig.shortcutCount,
                     "shortcuts made in the redirected Start Menu");
        startRecorded("QuietUninstallString");
        expectNumber(waitForSetupExit(20000), 0, "exit code with a redirected Start Menu");
        expect(!exists(group) && exists(programs), "the group is removed from %s, and only the group", programs);
    }
}

SCENARIO(uninstall_faults, 600)
{
    // An unknown option, then no installation at all: nothing is changed.
    const std::string copy = std::string("C:\\") + installConfig.files[UNINSTALL_ROW].fileName;
    if (!CopyFileA(builtUninstaller().c_str(), copy.c_str(), FALSE)) {
        fail("the uninstaller could not be copied to %s", copy.c_str());
    }
    const std::vector<std::string> keysBefore = productKeys();
    const FileSnapshot before = snapshotDriveC();
    startCommand(copy + " /quit");
    MessageBoxSeen option = waitForMessageBox();
    expectText(option.text,
               withProductName("This program knows one option only: /quiet, which removes %s without a question "
                               "or a message."),
               "an unknown option");
    answerMessageBox(option, IDOK);
    expectNumber(waitForSetupExit(), 3, "exit code after an unknown option");
    stopSetup();
    startCommand(copy);
    MessageBoxSeen missing = waitForMessageBox();
    step("not-installed");
    expectText(missing.caption, uninstallCaption, "caption");
    expectText(missing.text, withProductName("%s is not installed on this computer."), "without an uninstall entry");
    answerMessageBox(missing, IDOK);
    expectNumber(waitForSetupExit(), 2, "exit code when not installed");
    stopSetup();
    startCommand(copy + " /quiet");
    expectNumber(waitForSetupExit(), 2, "exit code when not installed, quiet");
    expect(seenWindows().empty(), "quiet, no window appears");
    stopSetup();
    expect(changedFiles(before, snapshotDriveC()).empty() && productKeys() == keysBefore, "nothing was changed");

    // A recorded folder that is a link (prepare/uninstall_faults.sh): nothing
    // is deleted through it, and the entry stays.
    const std::string linked = std::string("C:\\Linked\\") + installConfig.productName;
    setRegistryText(HKEY_LOCAL_MACHINE, uninstallEntry.c_str(), "Program Path", linked.c_str());
    setRegistryText(HKEY_LOCAL_MACHINE, uninstallEntry.c_str(), "Program Group", installConfig.productName);
    recordEarlierInstallation(linked);
    startCommand(copy + " /quiet");
    expectNumber(waitForSetupExit(), 1, "exit code with a linked install folder");
    stopSetup();
    const std::string program = installConfig.files[programRow()].fileName;
    expect(exists("C:\\Elsewhere\\" + program), "the file behind the link is left alone");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), linked, "the entry stays");
    deleteRegistryTree(HKEY_LOCAL_MACHINE, uninstallEntry.c_str());
    deleteRegistryTree(HKEY_LOCAL_MACHINE, publisherKey);

    // "No" changes nothing.
    installWithDefaults();
    const FileSnapshot afterInstall = snapshotDriveC();
    startRecorded("UninstallString");
    answerMessageBox(waitForMessageBox(), IDNO);
    expectNumber(waitForSetupExit(), 3, "exit code after No");
    stopSetup();
    expect(changedFiles(afterInstall, snapshotDriveC()).empty(), "No leaves every file in place");

    // A file held open, as by the running program: the uninstaller asks to
    // close it before it removes anything. Cancel changes nothing; Retry,
    // once it is closed, removes everything.
    HANDLE held = CreateFileA(installed(program).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        fail("the installed program could not be held open");
    }
    const std::string inUseText =
        installed(program) + withProductName("\r\nis in use by another program.\r\n\r\nClose %s and any window "
                                             "that uses this file, then choose Retry. Cancel ends the removal; "
                                             "nothing has been removed.");
    startRecorded("UninstallString");
    answerMessageBox(waitForMessageBox(), IDYES);
    MessageBoxSeen inUse = waitForMessageBox();
    step("in-use");
    expectText(inUse.text, inUseText, "the question names the open file");
    answerMessageBox(inUse, IDCANCEL);
    expectNumber(waitForSetupExit(), 3, "exit code after Cancel");
    stopSetup();
    expect(changedFiles(afterInstall, snapshotDriveC()).empty(), "Cancel leaves every file in place");
    const auto [retried, retriedExit] = uninstallAnsweringYes("retried", [&] {
        MessageBoxSeen again = waitForMessageBox();
        CloseHandle(held);
        answerMessageBox(again, IDRETRY);
    });
    expectText(retried, removedText, "Retry removes everything once the file is closed");
    expectNumber(retriedExit, 0, "exit code after Retry");
    expect(!exists(defaultInstallRoot), "the install folder and the default root are removed");
    expect(productKeys() == keysBefore, "the product's registry keys are removed");

    // The install record lost (a registry cleaner): no product file can be
    // told from the user's, so each is named and stays, and so does the
    // entry; installing again and uninstalling finishes.
    stopSetup();
    installWithDefaults();
    const std::vector<std::string> installedFiles = entriesIn(defaultFolder);
    deleteRegistryTree(HKEY_LOCAL_MACHINE,
                       (std::string(publisherKey) + "\\Install Record\\" + installConfig.productName).c_str());
    const auto [lost, lostExit] = uninstallAnsweringYes("record-lost");
    expect(lost.rfind(withProductName("%s could not be removed completely. These are still there:\r\n\r\n"), 0) == 0 &&
               lost.find(installed(program)) != std::string::npos &&
               lost.find(withProductName("The record of what the setup of %s installed is missing or damaged")) !=
                   std::string::npos,
           "the closing message names the files and why: %s", lost.c_str());
    expectNumber(lostExit, 1, "exit code without a record");
    stopSetup();
    expect(entriesIn(defaultFolder) == installedFiles, "every file stays");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), defaultFolder, "the entry stays");
    installWithDefaults();
    startRecorded("QuietUninstallString");
    expectNumber(waitForSetupExit(20000), 0, "exit code after installing again");
    stopSetup();
    // The folders' own record went with the rest: they are no longer known as the setup's, and stay.
    expect(entriesIn(defaultFolder).empty() && productKeys() == keysBefore,
           "installing again and uninstalling removes every file and key");
    RemoveDirectoryA(defaultFolder.c_str());
    RemoveDirectoryA(defaultInstallRoot);

    // An entry whose folder disagrees with the publisher value (tampered, or
    // stale) names no folder of the setup's: nothing in it is deleted, and
    // the folder is named while it holds the product's files.
    installWithDefaults();
    setRegistryText(HKEY_LOCAL_MACHINE, publisherKey, installConfig.productName, "C:\\Elsewhere");
    startRecorded("QuietUninstallString");
    expectNumber(waitForSetupExit(20000), 1, "exit code with a disagreeing entry");
    stopSetup();
    expect(entriesIn(defaultFolder) == installedFiles, "the install folder of a disagreeing entry is left alone");
    expectText(registryText(HKEY_LOCAL_MACHINE, uninstallEntry, "Program Path"), defaultFolder, "the entry stays");

    // A setup that stopped before it registered anything leaves files and a
    // record but no entry: the uninstaller names them rather than call the
    // product not installed.
    deleteRegistryTree(HKEY_LOCAL_MACHINE, uninstallEntry.c_str());
    startCommand(copy + " /quiet");
    expectNumber(waitForSetupExit(), 1, "exit code after an unfinished setup");
    stopSetup();
    expect(entriesIn(defaultFolder) == installedFiles, "its files stay");
}
