// The setup's process: starting it, watching every top-level window it
// creates, and waiting for its end.
#include "driver.h"
#include "e2e.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

namespace {
PROCESS_INFORMATION setup;
LONG_PTR setupImageBase;
std::vector<SeenWindow> watched;
std::mutex watchedLock;
std::thread watcher;
std::atomic<bool> stopWatching{false};

const DWORD messageBoxTextId = 0xFFFF;

bool isTopLevel(HWND window) { return GetAncestor(window, GA_PARENT) == GetDesktopWindow(); }

bool ownedBySetup(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == setup.dwProcessId;
}

// Records the window, or refreshes what changes over its life (the caption;
// a message box gets its text control after the window itself exists). Events
// may arrive after a poll has seen the window: the earliest time counts.
void recordWindow(HWND window, DWORD tick)
{
    DWORD created = scenarioClock() - (GetTickCount() - tick);
    char className[256] = "";
    char caption[512] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    bool messageBox = isMessageBox(window);

    std::lock_guard<std::mutex> guard(watchedLock);
    for (SeenWindow& seen : watched) {
        if (seen.window == window) {
            if (caption[0]) {
                seen.caption = caption;
            }
            seen.messageBox = seen.messageBox || messageBox;
            seen.created = std::min(seen.created, created);
            return;
        }
    }
    watched.push_back({window, className, caption, created, messageBox});
}

void CALLBACK windowCreated(HWINEVENTHOOK, DWORD, HWND window, LONG objectId, LONG, DWORD, DWORD eventTime)
{
    if (objectId == OBJID_WINDOW && window && isTopLevel(window)) {
        recordWindow(window, eventTime);
    }
}

BOOL CALLBACK pollWindow(HWND window, LPARAM)
{
    if (ownedBySetup(window)) {
        recordWindow(window, GetTickCount());
    }
    return TRUE;
}

// The creation event gives the moment a window is made; polling follows
// captions and controls, which Wine reports no events for.
void watchWindows()
{
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, windowCreated,
                                         setup.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
    while (!stopWatching) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        EnumWindows(pollWindow, 0);
    }
    if (hook) {
        UnhookWinEvent(hook);
    }
}

// The base address the program's header asks to be loaded at, where Wine
// loads it; 0 when the file is not a program of the driver's own kind.
LONG_PTR preferredImageBase(const std::string& path)
{
    std::string image;
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS headers;
    if (!readFile(path, image) || image.size() < sizeof dos) {
        return 0;
    }
    memcpy(&dos, image.data(), sizeof dos);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0 ||
        static_cast<size_t>(dos.e_lfanew) + sizeof headers > image.size()) {
        return 0;
    }
    memcpy(&headers, image.data() + dos.e_lfanew, sizeof headers);
    if (headers.Signature != IMAGE_NT_SIGNATURE || headers.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
        return 0;
    }
    return static_cast<LONG_PTR>(headers.OptionalHeader.ImageBase);
}

// The setup's executable module, which its own dialogs carry as their
// instance. Under the 32-bit Wine bench no process can read another's memory
// (QEMU's user mode has no ptrace), so EnumProcessModules fails there, and
// the base from the program's header stands in.
LONG_PTR setupModule()
{
    HMODULE module = nullptr;
    DWORD needed = 0;
    if (!setup.hProcess) {
        return 0;
    }
    if (!EnumProcessModules(setup.hProcess, &module, sizeof module, &needed)) {
        return setupImageBase;
    }
    return reinterpret_cast<LONG_PTR>(module);
}

std::string folderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
} // namespace

DWORD setupProcessId() { return setup.dwProcessId; }

bool isMessageBox(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") != 0 || GetDlgItem(window, messageBoxTextId) == nullptr) {
        return false;
    }
    // A page destroyed meanwhile reads as instance 0, as a box does: only an
    // instance read while the window still exists counts.
    LONG_PTR module = setupModule();
    LONG_PTR instance = GetWindowLongPtrA(window, GWLP_HINSTANCE);
    return module != 0 && IsWindow(window) && instance != module;
}

void useSetupProgram(const std::string& path) { driverOptions.setupPath = path; }

namespace {
// Starts the program under test and watches its windows from its first one on.
void startProcess(const std::string& program, const char* application, std::string commandLine, const char* folder)
{
    if (setup.hProcess) {
        fail("the program under test is already running");
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    setupImageBase = preferredImageBase(program);
    if (!CreateProcessA(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &setup)) {
        fail("%s could not be started (error %lu)", commandLine.c_str(), static_cast<unsigned long>(GetLastError()));
    }
    note("started %s, process %lu", commandLine.c_str(), static_cast<unsigned long>(setup.dwProcessId));
    {
        std::lock_guard<std::mutex> guard(watchedLock);
        watched.clear();
    }
    stopWatching = false;
    watcher = std::thread(watchWindows);
}
} // namespace

void startSetup()
{
    startProcess(driverOptions.setupPath, driverOptions.setupPath.c_str(), "\"" + driverOptions.setupPath + "\"",
                 folderOf(driverOptions.setupPath).c_str());
}

// The program of a command line is its first word, or its quoted start.
void startCommand(const std::string& commandLine)
{
    const bool quoted = !commandLine.empty() && commandLine[0] == '"';
    const std::string program =
        quoted ? commandLine.substr(1, commandLine.find('"', 1) - 1) : commandLine.substr(0, commandLine.find(' '));
    startProcess(program, nullptr, commandLine, nullptr);
}

void waitForSetupIdle()
{
    if (setupRunning()) {
        WaitForInputIdle(setup.hProcess, 2000);
    }
}

bool setupRunning() { return setup.hProcess && WaitForSingleObject(setup.hProcess, 0) == WAIT_TIMEOUT; }

DWORD waitForSetupExit(DWORD milliseconds)
{
    if (!setup.hProcess) {
        fail("waitForSetupExit: the setup was never started");
    }
    DWORD start = GetTickCount();
    while (WaitForSingleObject(setup.hProcess, 20) == WAIT_TIMEOUT) {
        checkTimeLimit();
        if (GetTickCount() - start > milliseconds) {
            std::string windows;
            for (HWND window : setupWindows()) {
                windows += "\n       " + describeWindow(window);
            }
            fail("the setup is still running %lu ms later; its windows:%s", static_cast<unsigned long>(milliseconds),
                 windows.empty() ? " none visible" : windows.c_str());
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(setup.hProcess, &exitCode);
    return exitCode;
}

void expectSetupEndsSilently()
{
    expectNumber(waitForSetupExit(), 1, "exit code of the setup");
    for (const SeenWindow& seen : seenWindows()) {
        if (seen.messageBox) {
            expect(false, "no message box, but one appeared: \"%s\"", seen.caption.c_str());
            return;
        }
    }
    expect(true, "no message box appeared");
}

void holdSetup(bool held)
{
    if (setup.hThread) {
        held ? SuspendThread(setup.hThread) : ResumeThread(setup.hThread);
    }
}

void stopSetup()
{
    if (setup.hProcess) {
        if (setupRunning()) {
            TerminateProcess(setup.hProcess, 255);
            WaitForSingleObject(setup.hProcess, 5000);
        }
        CloseHandle(setup.hProcess);
        CloseHandle(setup.hThread);
        setup.hProcess = nullptr;
    }
    if (watcher.joinable()) {
        stopWatching = true;
        watcher.join();
    }
}

std::vector<SeenWindow> seenWindows()
{
    std::lock_guard<std::mutex> guard(watchedLock);
    return watched;
}

bool findSeenWindow(const char* className, const char* caption, SeenWindow& found)
{
    for (const SeenWindow& seen : seenWindows()) {
        if (seen.className == className && (!caption || seen.caption == caption)) {
            found = seen;
            return true;
        }
    }
    return false;
}
