// Motifs shared by the banner and the page picture, so the two read as one set.
#pragma once

#include "canvas.h"

// The deep blue of the setup art, from its lightest (0, top) to its darkest (1).
Color deepBlue(double depth);

// Tints of the desktop tiles.
constexpr Color TILE_BLUE{120, 160, 235};
constexpr Color TILE_GOLD{240, 196, 70};
constexpr Color TILE_AQUA{90, 200, 220};

// A desktop tile: a glassy rounded square with a soft shadow, light at the top.
void drawTile(Canvas& canvas, Point centre, double size, double degrees, Color tint, double opacity);

// A faint streak of light behind a moving object: it starts at `head` and runs
// `length` pixels in the direction (dx, dy), a unit vector, fading as it goes.
void drawStreak(Canvas& canvas, Point head, Point direction, double length, double width, double opacity);
