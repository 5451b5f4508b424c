// Every picture of the setup program, drawn from the source in this folder.
#pragma once

#include "picture_files.h"

#include <string>
#include <vector>

// Icon 100, the product's setup icon: a monitor showing a neatly arranged
// desktop, with a sparkle. 32 x 32 and 16 x 16, sixteen colours.
std::vector<IndexedPicture> drawProductIcon();

struct PictureFile {
    std::string name;
    Bytes contents;
};

// The files the resource script takes, with their names.
std::vector<PictureFile> drawAllPictures();
