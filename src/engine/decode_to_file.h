// The decoder's Windows side: one payload stream into one open file.
#pragma once
#include <cstdint>
#include <windows.h>

#include "engine/engine_caller.h"
#include "product/config.h"

enum DecodeResult {
    DECODE_WRITTEN,      // every byte written, and they are the row's bytes
    DECODE_WRITE_FAILED, // a write failed or came up short (a full disk)
    DECODE_CORRUPT,      // the bytes written are not the row's: their checksum differs
};

// Decodes the row's packed stream into the file in blocks of 1024 bytes,
// reporting each write's byte count to the caller. Decoding stops at
// the first failed write.
DecodeResult decodeToFile(EngineCaller& caller, const uint8_t* packed, const PayloadEntry& row, HANDLE outFile);
