// Pictures drawn as character grids: each character names a colour of the
// sixteen-colour table, '.' is transparent (icons) or the background.
#pragma once

#include "picture_files.h"

#include <string>
#include <vector>

// The standard sixteen colours in DIB order: black, maroon, green, olive, navy,
// purple, teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white.
const std::vector<Rgb>& standardColors();

// Letters for the standard colours, in the same order:
//   K black   r maroon  g green   y olive   n navy   p purple  t teal    s silver
//   d grey    R red     G lime    Y yellow  B blue   M fuchsia C aqua    W white
// '.' is transparent: black with the mask bit set.
IndexedPicture iconImageFromGrid(const std::vector<std::string>& rows);

// The same letters for a plain 4-bit picture; '.' stands for `background`.
IndexedPicture pictureFromGrid(const std::vector<std::string>& rows, char background);

// Drawing on a sixteen-colour picture with the same letters. Coordinates are
// inclusive; parts outside the picture are clipped.
void plot(IndexedPicture& picture, int x, int y, char letter);
void fillRect(IndexedPicture& picture, int left, int top, int right, int bottom, char letter);
// A one-pixel frame, `light` on the top and left edges and `dark` on the bottom
// and right: raised with a light top, pressed in with a dark one.
void bevel(IndexedPicture& picture, int left, int top, int right, int bottom, char light, char dark);
// A filled four-sided shape with horizontal top and bottom edges.
void fillTrapezoid(IndexedPicture& picture, int top, int bottom, int topLeft, int topRight, int bottomLeft,
                   int bottomRight, char letter);
// Copies a grid onto the picture with its top-left corner at x, y; '.' is left alone.
void stampGrid(IndexedPicture& picture, int x, int y, const std::vector<std::string>& rows);
