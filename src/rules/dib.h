// Packed device-independent bitmaps as the resources hold them: a 40-byte
// header, the colour table, then the pixel rows.
#pragma once
#include <cstddef>
#include <cstdint>

// The layout of the Win32 BITMAPINFOHEADER.
struct DibHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t imageSize;
    int32_t xPixelsPerMeter;
    int32_t yPixelsPerMeter;
    uint32_t colorsUsed;
    uint32_t colorsImportant;
};
static_assert(sizeof(DibHeader) == 40, "DibHeader has the layout of BITMAPINFOHEADER");

// Entries in the colour table: the header's count when it gives one (as a
// 16-bit number), otherwise the full table of a 1-, 4- or 8-bit picture, and
// none for deeper pictures.
uint16_t dibColorCount(const DibHeader* header);

// The first byte of the pixel rows, right after the header and colour table.
const uint8_t* dibBits(const DibHeader* header);

// True when a block of byteCount bytes holds the whole header, colour table
// and uncompressed pixel rows, so that drawing never reads past its end.
bool dibIsComplete(const DibHeader* header, size_t byteCount);
