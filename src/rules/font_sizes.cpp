#include "rules/font_sizes.h"

// A width of 0 lets the font mapper choose; it only arises for an empty text.
int titleCharWidth(int screenWidth, int titleLength) { return titleLength > 0 ? (screenWidth / 3) / titleLength : 0; }

int subtitleCharHeight(int screenHeight) { return screenHeight / 18; }

int subtitleCharWidth(int screenWidth, int subtitleLength)
{
    const int widths = static_cast<int>(subtitleLength * 1.5);
    return widths > 0 ? screenWidth / widths : 0;
}
