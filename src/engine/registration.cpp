#include "engine/registration.h"

#include "engine/portable/paths.h"
#include "engine/portable/registration_texts.h"
#include "shell/config.h"
#include "shell/wizard.h"

namespace {
constexpr char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char runServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr uint32_t RESTORE_SETTLE_MS = 50;

// Every key but the current user's is a machine key, or one below it.
REGSAM fullAccess(HKEY parent) { return KEY_ALL_ACCESS | (parent == HKEY_CURRENT_USER ? 0 : MACHINE_VIEW); }

HKEY createKey(HKEY parent, const char* path)
{
    char noClass[] = "";
    HKEY key;
    if (RegCreateKeyExA(parent, path, 0, noClass, REG_OPTION_NON_VOLATILE, fullAccess(parent), nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

HKEY openKey(HKEY parent, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, fullAccess(parent), &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// REG_SZ data counts the terminating NUL.
void setText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
}

void setNumber(HKEY key, const char* name, DWORD number)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// Today in the local time, as the user reads the date of the installation.
bool composeToday(char (&date)[INSTALL_DATE_SIZE])
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return composeInstallDate(date, now.wYear, now.wMonth, now.wDay);
}

void writePublisherValue()
{
    HKEY key = createKey(HKEY_LOCAL_MACHINE, publisherKey);
    if (key == nullptr) {
        return;
    }
    setText(key, installConfig.productName, installPaths.installDir);
    RegCloseKey(key);
}

void writeVersionValue()
{
    char path[REGISTRY_TEXT_SIZE];
    if (!concatenateTexts(path, sizeof path, {publisherKey, versionKeySuffix})) {
        return;
    }
    HKEY key = createKey(HKEY_LOCAL_MACHINE, path);
    if (key == nullptr) {
        return;
    }
    setText(key, programVersionValue, installConfig.productVersion);
    RegCloseKey(key);
}

// A composed value that does not fit its buffer is left out rather than
// written cut short.
void writeUninstallValues(HKEY entry)
{
    char text[REGISTRY_TEXT_SIZE];
    setText(entry, "DisplayName", installConfig.productName);
    if (fillOneText(text, sizeof text, "v%s", installConfig.productVersion)) {
        setText(entry, "DisplayVersion", text);
    }
    const char* uninstaller = installConfig.files[UNINSTALL_ROW].fileName;
    // A command line: the path in quotes, so that a folder with spaces stays one program name.
    if (joinPath(text, sizeof text, installPaths.windowsDir, uninstaller, 1)) {
        setText(entry, "UninstallString", text);
    }
    // The uninstaller carries the product's icon, and stays as long as the entry.
    if (joinPath(text, sizeof text, installPaths.windowsDir, uninstaller, 0)) {
        setText(entry, "DisplayIcon", text);
    }
    if (composeQuietUninstall(text, installPaths.windowsDir, uninstaller)) {
        setText(entry, "QuietUninstallString", text);
    }
    setText(entry, programPathValue, installPaths.installDir);
    setText(entry, programGroupValue, installPaths.groupName);
    setText(entry, "Publisher", installConfig.publisherName);
    setText(entry, "HelpLink", installConfig.productUrl);
    setNumber(entry, "EstimatedSize", installedSizeKiB(installConfig.files, installConfig.fileCount));
    char date[INSTALL_DATE_SIZE];
    if (composeToday(date)) {
        setText(entry, "InstallDate", date);
    }
    // The setup offers no change and no repair of an installation.
    setNumber(entry, "NoModify", 1);
    setNumber(entry, "NoRepair", 1);
}

// The system's list of installed programs is extended, never created.
void writeUninstallEntry()
{
    HKEY list = openKey(HKEY_LOCAL_MACHINE, uninstallListKey);
    if (list == nullptr) {
        return;
    }
    HKEY entry = createKey(list, installConfig.productName);
    if (entry != nullptr) {
        writeUninstallValues(entry);
        RegCloseKey(entry);
    }
    RegCloseKey(list);
}

void removeAutostartValue(HKEY root, const char* path)
{
    HKEY key = openKey(root, path);
    if (key == nullptr) {
        return;
    }
    RegDeleteValueA(key, previousAutostartValue);
    RegCloseKey(key);
}
} // namespace

void registerInstallation()
{
    writePublisherValue();
    writeVersionValue();
    writeUninstallEntry();
    removeAutostartValue(HKEY_LOCAL_MACHINE, runKey);
    removeAutostartValue(HKEY_LOCAL_MACHINE, runServicesKey);
    removeAutostartValue(HKEY_CURRENT_USER, runKey);
}

namespace {
// The shell of another user (an administrator's credentials typed at a
// standard user's desk) does not let the setup open its process; an
// administrator still may with the debug privilege, enabled for that one call.
HANDLE openShellProcess(DWORD id)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    HANDLE ownToken;
    if (process != nullptr ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &ownToken)) {
        return process;
    }
    TOKEN_PRIVILEGES debug = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
    TOKEN_PRIVILEGES before = {};
    DWORD beforeSize = 0;
    if (LookupPrivilegeValueA(nullptr, SE_DEBUG_NAME, &debug.Privileges[0].Luid) &&
        AdjustTokenPrivileges(ownToken, FALSE, &debug, sizeof before, &before, &beforeSize) &&
        GetLastError() == ERROR_SUCCESS) {
        process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
        AdjustTokenPrivileges(ownToken, FALSE, &before, 0, nullptr, nullptr);
    }
    CloseHandle(ownToken);
    return process;
}

// The desktop's shell runs as the user logged on at the desk, and unelevated,
// whoever's credentials started the setup. Null without a shell, or when its
// token cannot be had.
HANDLE desktopUserToken()
{
    DWORD shellId = 0;
    const HWND shell = GetShellWindow();
    if (shell == nullptr || GetWindowThreadProcessId(shell, &shellId) == 0) {
        return nullptr;
    }
    const HANDLE process = openShellProcess(shellId);
    HANDLE shellToken = nullptr;
    HANDLE token = nullptr;
    if (process != nullptr && OpenProcessToken(process, TOKEN_DUPLICATE, &shellToken)) {
        if (!DuplicateTokenEx(shellToken,
                              TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE | TOKEN_ADJUST_DEFAULT |
                                  TOKEN_ADJUST_SESSIONID,
                              nullptr, SecurityImpersonation, TokenPrimary, &token)) {
            token = nullptr;
        }
        CloseHandle(shellToken);
    }
    if (process != nullptr) {
        CloseHandle(process);
    }
    return token;
}

// True under user account control when the setup has an administrator's
// full rights; false on XP, which knows no elevation.
bool runsElevated()
{
    HANDLE token;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return false;
    }
    const bool known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != FALSE;
    CloseHandle(token);
    return known && elevation.TokenIsElevated != 0;
}

// The viewer runs as the user at the desk, through the secondary logon,
// which came with Vista (on XP there is no such call). Where that fails, the
// setup's own token serves only when it gives the viewer nothing the user at
// the desk lacks: no desktop shell (nobody else is at the desk), or no
// elevation. An elevated setup at a shell starts no viewer; the read-me's
// shortcut in the group opens it.
bool startViewer(const wchar_t* viewer, wchar_t* commandLine, const wchar_t* folder, PROCESS_INFORMATION& started)
{
    using CreateWithToken = decltype(&CreateProcessWithTokenW);
    const auto createWithToken = reinterpret_cast<CreateWithToken>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "CreateProcessWithTokenW")));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    const HANDLE token = desktopUserToken();
    const bool asDesktopUser =
        token != nullptr && createWithToken != nullptr &&
        createWithToken(token, 0, viewer, commandLine, 0, nullptr, folder, &startup, &started) != FALSE;
    if (token != nullptr) {
        CloseHandle(token);
    }
    if (asDesktopUser) {
        return true;
    }
    if (GetShellWindow() != nullptr && runsElevated()) {
        return false;
    }
    return CreateProcessW(viewer, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &started) !=
           FALSE;
}

// The viewer's full path, its command line with the read-me's path, and the
// system folder to start in, in the wide form the start calls take. False
// when one does not fit, or the read-me is not there: the viewer would offer
// to create it.
bool composeViewerStart(wchar_t (&viewer)[MAX_PATH], wchar_t (&commandLine)[README_COMMAND_SIZE],
                        wchar_t (&folder)[MAX_PATH])
{
    char viewerPath[MAX_PATH];
    char readMePath[MAX_PATH];
    char command[README_COMMAND_SIZE];
    const char* readMeName = installConfig.files[README_ROW].fileName;
    if (!joinPath(viewerPath, sizeof viewerPath, installPaths.windowsDir, readMeViewer, 0) ||
        !joinPath(readMePath, sizeof readMePath, installPaths.installDir, readMeName, 0) ||
        !composeReadMeCommand(command, viewerPath, installPaths.installDir, readMeName)) {
        return false;
    }
    const DWORD attributes = GetFileAttributesA(readMePath);
    const UINT folderLength = GetSystemDirectoryW(folder, MAX_PATH);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && folderLength > 0 &&
           folderLength < MAX_PATH && MultiByteToWideChar(CP_ACP, 0, viewerPath, -1, viewer, MAX_PATH) != 0 &&
           MultiByteToWideChar(CP_ACP, 0, command, -1, commandLine, README_COMMAND_SIZE) != 0;
}
} // namespace

// The viewer is named by its full path: a bare name would be looked for in
// the setup's own folder first, where anyone may have put a program of that
// name. It starts in the system folder, never in a folder a user may write
// to. A path or command line that does not fit starts nothing; the window
// is minimised and restored all the same.
void viewReadMe(HWND window)
{
    ShowWindow(window, SW_MINIMIZE);
    wchar_t viewer[MAX_PATH];
    wchar_t commandLine[README_COMMAND_SIZE];
    wchar_t folder[MAX_PATH];
    PROCESS_INFORMATION started;
    if (composeViewerStart(viewer, commandLine, folder) && startViewer(viewer, commandLine, folder, started)) {
        WaitForSingleObject(started.hProcess, INFINITE);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    ShowWindow(window, SW_RESTORE);
    // The restored window takes its activation and repaint now: a message
    // box shown right after would otherwise open behind it.
    pumpMessagesFor(window, RESTORE_SETTLE_MS);
}
