// The end-to-end driver: runs one scenario inside the Wine virtual desktop and
// reports every check, ending with "RESULT: PASS" or "RESULT: FAIL".
//
//     e2e_driver --list
//     e2e_driver --setup SetupMate.exe --source SOURCE_DIR --out FOLDER SCENARIO
#include "driver.h"
#include "e2e.h"
#include "engine/start_up.h"
#include "png.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

DriverOptions driverOptions;

namespace {
struct Scenario {
    const char* name;
    ScenarioFunction run;
    int timeLimitSeconds;
};

std::vector<Scenario>& scenarios()
{
    static std::vector<Scenario> registered;
    return registered;
}

DWORD scenarioStart;
DWORD timeLimitMilliseconds;
std::atomic<bool> scenarioFinished{false};
int failedChecks;
int stepNumber;
std::vector<uint8_t> lastCapture;
int captureWidth;
int captureHeight;

std::string formatText(const char* format, va_list arguments)
{
    char text[2048];
    vsnprintf(text, sizeof text, format, arguments);
    return text;
}

void recordCheck(bool passed, const std::string& what)
{
    if (!passed) {
        ++failedChecks;
    }
    reportLine("  %s %s", passed ? "ok  " : "FAIL", what.c_str());
}

// Kills the setup and the driver when a scenario is stuck where no wait
// notices the time limit, for instance in a call that never returns.
void watchTimeLimit()
{
    DWORD graceMilliseconds = 5000;
    while (!scenarioFinished) {
        if (scenarioClock() > timeLimitMilliseconds + graceMilliseconds) {
            reportLine("  FAIL the scenario did not end within its time limit of %lu s; killed",
                       static_cast<unsigned long>(timeLimitMilliseconds / 1000));
            stopSetup();
            reportLine("RESULT: FAIL");
            ExitProcess(2);
        }
        Sleep(100);
    }
}

int listScenarios()
{
    for (const Scenario& scenario : scenarios()) {
        printf("%s %d\n", scenario.name, scenario.timeLimitSeconds);
    }
    return 0;
}

int runScenario(const Scenario& scenario)
{
    CreateDirectoryA(driverOptions.outputDir.c_str(), nullptr);
    timeLimitMilliseconds = static_cast<DWORD>(scenario.timeLimitSeconds) * 1000;
    scenarioStart = GetTickCount();
    reportLine("scenario %s (time limit %d s)", scenario.name, scenario.timeLimitSeconds);
    std::thread watchdog(watchTimeLimit);
    bool completed = false;
    try {
        scenario.run();
        completed = true;
    } catch (const ScenarioAbort&) {
    }
    if (completed && setupRunning()) {
        recordCheck(false, "the setup was still running when the scenario ended; killed");
    }
    stopSetup();
    scenarioFinished = true;
    watchdog.join();
    reportLine("RESULT: %s (%d failed checks, %lu ms)", failedChecks == 0 ? "PASS" : "FAIL", failedChecks,
               static_cast<unsigned long>(scenarioClock()));
    return failedChecks == 0 ? 0 : 1;
}

int usage()
{
    fprintf(stderr, "usage: e2e_driver --list\n"
                    "       e2e_driver --setup EXE --source DIR --out DIR SCENARIO\n");
    return 2;
}
} // namespace

ScenarioRegistration::ScenarioRegistration(const char* name, ScenarioFunction run, int timeLimitSeconds)
{
    scenarios().push_back({name, run, timeLimitSeconds});
}

void reportLine(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string line = formatText(format, arguments);
    va_end(arguments);
    // The setup's texts are ANSI; the log is read on a UTF-8 terminal.
    std::wstring wide(line.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), wide.data(),
                                    static_cast<int>(wide.size())));
    std::string utf8(wide.size() * 3, '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr));
    printf("%s\n", utf8.c_str());
    fflush(stdout);
}

std::string printable(const std::string& text)
{
    std::string shown;
    for (unsigned char c : text) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c < 32 || c == 127) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02x", c);
            shown += escape;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

DWORD scenarioClock() { return GetTickCount() - scenarioStart; }

void checkTimeLimit()
{
    if (scenarioClock() > timeLimitMilliseconds) {
        recordCheck(false, "time limit of " + std::to_string(timeLimitMilliseconds / 1000) + " s reached");
        throw ScenarioAbort{};
    }
}

void pause(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        checkTimeLimit();
        Sleep(std::min<DWORD>(20, milliseconds));
    }
}

bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    const DWORD start = scenarioClock();
    while (!condition()) {
        if (scenarioClock() - start >= milliseconds) {
            return false;
        }
        pause(10);
    }
    return true;
}

bool expect(bool condition, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    recordCheck(condition, formatText(format, arguments));
    va_end(arguments);
    return condition;
}

bool expectText(const std::string& actual, const std::string& expected, const char* what)
{
    if (actual == expected) {
        const size_t shown = 160;
        recordCheck(true, std::string(what) + ": \"" + printable(actual.substr(0, shown)) + "\"" +
                              (actual.size() > shown ? " and " + std::to_string(actual.size() - shown) + " bytes more" : ""));
        return true;
    }
    size_t differ = 0;
    while (differ < actual.size() && differ < expected.size() && actual[differ] == expected[differ]) {
        ++differ;
    }
    recordCheck(false, std::string(what) + ": differs from byte " + std::to_string(differ) + " on (lengths " +
                           std::to_string(actual.size()) + " and " + std::to_string(expected.size()) + ")\n" +
                           "       got:      \"" + printable(actual.substr(differ, 120)) + "\"\n" +
                           "       expected: \"" + printable(expected.substr(differ, 120)) + "\"");
    return false;
}

bool expectNumber(long long actual, long long expected, const char* what)
{
    std::string line = std::string(what) + ": " + std::to_string(actual);
    if (actual != expected) {
        line += ", expected " + std::to_string(expected);
    }
    recordCheck(actual == expected, line);
    return actual == expected;
}

bool expectRect(const RECT& actual, const RECT& expected, const char* what)
{
    bool same = EqualRect(&actual, &expected);
    std::string line = std::string(what) + ": " + describeRect(actual);
    if (!same) {
        line += ", expected " + describeRect(expected);
    }
    recordCheck(same, line);
    return same;
}

void fail(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    recordCheck(false, formatText(format, arguments));
    va_end(arguments);
    throw ScenarioAbort{};
}

void note(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    reportLine("  note %s", formatText(format, arguments).c_str());
    va_end(arguments);
}

namespace {
DWORD takeStep(const char* name, bool holdSetupThread)
{
    char fileName[MAX_PATH];
    snprintf(fileName, sizeof fileName, "%02d-%s.png", ++stepNumber, name);
    // The picture is taken once the setup waits for input and two captures
    // in a row agree, so that windows are fully painted; a screen that keeps
    // changing (a moving bar, a blinking caret) is taken as it is after a while.
    waitForSetupIdle();
    // Paints still pending are done now: on a loaded machine the setup may
    // otherwise paint a list only after two captures agreed without it.
    for (HWND window : setupWindows()) {
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored)) {
            RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
    if (holdSetupThread) {
        holdSetup(true);
    }
    const DWORD held = scenarioClock();
    std::vector<uint8_t> previous;
    bool captured = true;
    for (int attempt = 0; captured && attempt < 10 && (previous.empty() || previous != lastCapture); ++attempt) {
        previous.swap(lastCapture);
        if (!previous.empty()) {
            pause(50);
        }
        captured = captureScreen(lastCapture, captureWidth, captureHeight);
    }
    if (holdSetupThread) {
        holdSetup(false);
    }
    if (!captured) {
        fail("step %s: the screen could not be captured", fileName);
    }
    std::string path = driverOptions.outputDir + "\\" + fileName;
    if (!writePng(path, captureWidth, captureHeight, lastCapture)) {
        fail("step %s: %s could not be written", fileName, path.c_str());
    }
    reportLine("  step %s at %lu ms", fileName, static_cast<unsigned long>(scenarioClock()));
    return held;
}
} // namespace

void step(const char* name) { takeStep(name, false); }
DWORD stepWithSetupHeld(const char* name) { return takeStep(name, true); }

COLORREF screenPixel(int x, int y)
{
    if (lastCapture.empty() || x < 0 || y < 0 || x >= captureWidth || y >= captureHeight) {
        fail("pixel %d,%d: not inside the last screenshot", x, y);
    }
    const uint8_t* pixel = &lastCapture[(static_cast<size_t>(y) * captureWidth + x) * 3];
    return RGB(pixel[0], pixel[1], pixel[2]);
}

namespace {
std::string pathBelow(const std::string& folder, const char* relativePath)
{
    std::string path = folder + "\\" + relativePath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
} // namespace

std::string sourcePath(const char* relativePath) { return pathBelow(driverOptions.sourceDir, relativePath); }
std::string builtPath(const char* relativePath) { return pathBelow(driverOptions.buildDir, relativePath); }

int main(int argc, char** argv)
{
    useSystemCodePage();
    std::string scenarioName;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--list") {
            std::sort(scenarios().begin(), scenarios().end(),
                      [](const Scenario& a, const Scenario& b) { return strcmp(a.name, b.name) < 0; });
            return listScenarios();
        }
        std::string* option = argument == "--setup"    ? &driverOptions.setupPath
                              : argument == "--source" ? &driverOptions.sourceDir
                              : argument == "--out"    ? &driverOptions.outputDir
                                                       : nullptr;
        if (option && i + 1 < argc) {
            *option = argv[++i];
        } else if (!option && scenarioName.empty()) {
            scenarioName = argument;
        } else {
            return usage();
        }
    }
    if (scenarioName.empty() || driverOptions.setupPath.empty() || driverOptions.sourceDir.empty() ||
        driverOptions.outputDir.empty()) {
        return usage();
    }
    // Taken before a scenario swaps in a changed copy of the setup elsewhere.
    driverOptions.buildDir = driverOptions.setupPath.substr(0, driverOptions.setupPath.find_last_of("\\/"));
    for (const Scenario& scenario : scenarios()) {
        if (scenarioName == scenario.name) {
            return runScenario(scenario);
        }
    }
    fprintf(stderr, "e2e_driver: no scenario named %s\n", scenarioName.c_str());
    reportLine("RESULT: FAIL");
    return 2;
}
