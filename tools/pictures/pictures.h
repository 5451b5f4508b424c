// Every picture of the setup program, drawn from the source in this folder.
#pragma once

#include "picture_files.h"

#include <string>
#include <vector>

// Icon 100, the product's setup icon: a monitor showing a neatly arranged
// desktop, with a sparkle. 32 x 32 and 16 x 16, sixteen colours.
std::vector<IndexedPicture> drawProductIcon();

// Icon 101, shown while the shortcuts are made: a folder of papers with the
// shortcut arrow. 32 x 32 and 16 x 16, sixteen colours.
std::vector<IndexedPicture> drawGroupIcon();

// The top band of the backdrop: banner block 202 (334 x 58, 256 colours), the
// fill 203 stretched left of it (20 x 58, same table, continuing the banner's
// left edge), and the separator 204 under the band (10 x 2, five colours, all
// of them in the banner's table).
IndexedPicture drawBanner();
IndexedPicture drawBannerFill(const std::vector<Rgb>& bannerTable);
IndexedPicture drawSeparator();

// Picture 200, the page picture of the location and installing pages:
// 120 x 168, 256 colours.
IndexedPicture drawPagePicture();

// Picture 201, 120 x 168 in sixteen colours: a desktop computer on a teal
// background that the backdrop floods from pixel 1, 1; teal enclosed elsewhere
// (the screen) stays teal.
IndexedPicture drawStripPicture();

struct PictureFile {
    std::string name;
    Bytes contents;
};

// The files the resource script takes, with their names.
std::vector<PictureFile> drawAllPictures();
