// The one way both owner-drawn lists (folders, program groups) draw a row.
#pragma once
#include <windows.h>

// The small system icon at x (none when icon is negative), then the text in
// an opaque box that starts 18 pixels after it, in the list colours of a
// selected or normal row; a focus rectangle around the box when the row has
// the focus. Nothing else of the row is painted.
void drawListRow(const DRAWITEMSTRUCT& item, int x, int icon, const char* text);
