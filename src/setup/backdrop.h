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

// The backdrop's pictures are byte-for-byte copies of packed-DIB bitmap
// resources in movable memory blocks. Each routine gives null, or 0, when a
// picture cannot be found, copied or locked; nothing is drawn then.
HGLOBAL copyBitmapResource(int resourceNumber);
// Copies the picture and, while the backdrop has no palette yet, builds it
// from this picture's colour table.
HGLOBAL loadPicture(int resourceNumber);
HPALETTE createDibPalette(HGLOBAL block);
int drawDib(HDC dc, int x, int y, HGLOBAL block, HPALETTE palette);
int stretchDib(HDC dc, int x, int y, int width, int height, HGLOBAL block, HPALETTE palette);
