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
