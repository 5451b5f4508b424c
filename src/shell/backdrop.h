// The full-screen window behind every wizard page.
#pragma once
#include <windows.h>

LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
