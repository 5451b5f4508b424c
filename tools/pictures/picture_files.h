// Indexed pictures and their Windows file forms (.bmp and .ico), written byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// One picture as colour-table indices, rows top-down. The table may be shorter
// than the depth allows; biClrUsed then records its length.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8; // 1, 4 or 8
    std::vector<Rgb> colorTable;
    std::vector<uint8_t> indices;     // width * height, top-down
    std::vector<uint8_t> transparent; // icons only: 1 where the AND mask shows the screen

    uint8_t at(int x, int y) const { return indices[static_cast<size_t>(y) * width + x]; }
};

using Bytes = std::vector<uint8_t>;

// A .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER, colour table, bottom-up rows.
Bytes encodeBitmapFile(const IndexedPicture& picture);

// A .ico file holding the given images, each with its AND mask.
Bytes encodeIconFile(const std::vector<IndexedPicture>& images);

// Writes under a temporary name beside the target, then renames it into place,
// so that an interrupted run never leaves a truncated picture. Returns an error
// text, empty on success.
std::string writeFileReplacing(const std::string& path, const Bytes& contents);
