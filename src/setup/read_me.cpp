#include "setup/read_me.h"

#include "product/config.h"
#include "rules/paths.h"
#include "rules/registration_texts.h"
#include "setup/wizard.h"

namespace {
constexpr uint32_t RESTORE_SETTLE_MS = 50;

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
