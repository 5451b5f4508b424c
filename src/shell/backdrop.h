// The full-screen window behind every wizard page, and the list-drawing
// resources it prepares for the pages' owner-drawn lists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// Selected text, selected background, normal text, normal background.
enum ListColor { LIST_SELECTED_TEXT, LIST_SELECTED_BACK, LIST_TEXT, LIST_BACK, LIST_COLOR_COUNT };

extern HIMAGELIST systemSmallImageList;
extern COLORREF listColors[LIST_COLOR_COUNT];
// The one record that receives every icon and display-name query.
extern SHFILEINFOA shellFileInfo;

LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
