// The wizard chain: each link runs its page and, on result 1, the next link.
#pragma once
#include <windows.h>

void runLicensePage(HWND backdrop);
void runLocationPage(HWND backdrop);
void runInstallingPage(HWND backdrop);
void runGroupPage(HWND backdrop);
void finishInstallation(HWND backdrop);
