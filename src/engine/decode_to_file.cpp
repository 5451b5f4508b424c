#include "engine/decode_to_file.h"

#include "rules/crc32.h"
#include "rules/lzhuf_decoder.h"

namespace {
struct FileSink {
    EngineCaller& caller;
    HANDLE outFile;
    uint32_t crc;
};

// The checksum follows the decoder's output, not the file, so that it also
// shows a decoder fault.
bool writeToFile(void* context, const uint8_t* block, uint32_t size)
{
    FileSink* sink = static_cast<FileSink*>(context);
    sink->crc = crc32(block, size, sink->crc);
    DWORD written = 0;
    const BOOL succeeded = WriteFile(sink->outFile, block, size, &written, nullptr);
    sink->caller.progressed(written);
    return succeeded && written == size;
}
} // namespace

DecodeResult decodeToFile(EngineCaller& caller, const uint8_t* packed, const PayloadEntry& row, HANDLE outFile)
{
    FileSink sink = {caller, outFile, 0};
    if (!decodeStream(packed, row.packedSize, row.unpackedSize, writeToFile, &sink)) {
        return DECODE_WRITE_FAILED;
    }
    return sink.crc == row.unpackedCrc ? DECODE_WRITTEN : DECODE_CORRUPT;
}
