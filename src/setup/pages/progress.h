// The installation's progress: bytes done against the total, the bar
// position derived from them, and numbers shown with thousands separators.
#pragma once
#include <cstdint>
#include <windows.h>

extern uint32_t progressTotal;
extern uint32_t progressDone;
extern uint16_t progressValue; // 0 to 200, half-percent steps
extern HWND progressBar;

void addProgress(HWND page, uint32_t byteCount);
void setDlgItemNumber(HWND dialog, int controlId, uint32_t value);
