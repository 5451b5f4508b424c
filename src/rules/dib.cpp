#include "rules/dib.h"

uint16_t dibColorCount(const DibHeader* header)
{
    if (header->colorsUsed != 0) {
        return static_cast<uint16_t>(header->colorsUsed);
    }
    switch (header->bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

const uint8_t* dibBits(const DibHeader* header)
{
    return reinterpret_cast<const uint8_t*>(header) + header->size + 4u * dibColorCount(header);
}

bool dibIsComplete(const DibHeader* header, size_t byteCount)
{
    constexpr uint32_t UNCOMPRESSED = 0;
    if (byteCount < sizeof(DibHeader) || header->size < sizeof(DibHeader) || header->size > byteCount ||
        header->compression != UNCOMPRESSED || header->width <= 0 || header->height == 0 || header->bitCount == 0 ||
        header->bitCount > 32) {
        return false;
    }
    // 64-bit arithmetic: no header field can make these overflow.
    const uint64_t rows = header->height < 0 ? -static_cast<int64_t>(header->height) : header->height;
    const uint64_t rowBytes = (static_cast<uint64_t>(header->width) * header->bitCount + 31) / 32 * 4;
    const uint64_t needed = header->size + 4ull * dibColorCount(header) + rows * rowBytes;
    return needed <= byteCount;
}
