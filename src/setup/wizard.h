// Process-wide state of the wizard and the routines every page shares.
#pragma once
#include <cstdint>
#include <windows.h>

// The step-list strip down the left side of the backdrop; pages are centred
// in the band right of it.
constexpr int STRIP_WIDTH = 150;
// The seven lines of the step list: a step change repaints only these.
constexpr RECT STEP_LIST_RECT = {0, 120, STRIP_WIDTH, 244};
constexpr int STEP_LINE_HEIGHT = 18;

extern HINSTANCE programInstance;
extern int screenWidth;
extern int screenHeight;
extern HWND backdropWindow;
extern int32_t currentStepMarker;

// Centres the dialog on the screen, or with besideStrip in the band right of
// the backdrop's step-list strip. The size never changes.
void centerDialog(HWND dialog, int besideStrip);
// Fills the one "%s" of the caption (toCaption) or of control 700 with the
// product name; the caption form also sets the small icon.
void applyProductName(HWND dialog, int toCaption);
void setSmallIcon(HWND window, int iconResource);
void setStepMarker(int32_t marker);
// Dispatches the window's messages for the given time, busy-waiting.
void pumpMessagesFor(HWND window, uint32_t milliseconds);
int showAbortWarning(HWND owner);
// Ends a page with 2, ending the setup: the error box naming the failure
// (none when the user cancelled or the failure was shown already), then the
// abort warning.
void abortPage(HWND page, const char* errorText);
// Navy text on the given system colour; the brush to answer WM_CTLCOLORSTATIC with.
HBRUSH colorNavyText(HDC dc, int backgroundColor);
HBRUSH colorIntroText(HDC dc, HWND control);
