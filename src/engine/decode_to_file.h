// The decoder's Windows side: one payload stream into one open file.
#pragma once
#include <cstdint>
#include <windows.h>

// Decodes the stream into the file in blocks of 1024 bytes, reporting each
// write's byte count to the progress model. False when a write failed or
// came up short (a full disk): decoding stops there.
bool decodeToFile(HWND page, const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize, HANDLE outFile);
