// Dialog procedures of the wizard pages, run by the wizard chain.
#pragma once
#include <windows.h>

INT_PTR CALLBACK licensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK locationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK installingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK groupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
