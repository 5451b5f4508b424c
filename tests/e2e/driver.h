// What the driver's parts share beyond the scenarios' interface.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Thrown to end a scenario at once; the report already holds the reason.
struct ScenarioAbort {};

struct DriverOptions {
    std::string setupPath;  // SetupMate.exe
    std::string sourceDir;  // the source tree
    std::string buildDir;   // the build tree of the setup under test: the folder of --setup
    std::string outputDir;  // where this scenario's screenshots go
};
extern DriverOptions driverOptions;

// Ends the scenario when its time limit has run out; every wait calls it.
void checkTimeLimit();
// Prints one line of the report at once, so that a killed run still shows it.
void reportLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The text with control characters as escapes, so that a report line stays one line.
std::string printable(const std::string& text);

DWORD setupProcessId();
// A message box of the setup: a dialog with the message box's text control
// that the system made, not one of the setup's own templates (its pages have
// unnumbered controls with that same id).
bool isMessageBox(HWND window);
// Waits (two seconds at most) until the setup's thread waits for input.
void waitForSetupIdle();
// Ends the setup if a scenario left it running, and stops watching its windows.
void stopSetup();
// Suspends or resumes the setup's main thread.
void holdSetup(bool held);

// The whole virtual desktop as rows of RGB pixels.
bool captureScreen(std::vector<uint8_t>& rgb, int& width, int& height);
