#include "engine/decode_to_file.h"

#include "engine/portable/lzhuf_decoder.h"
#include "pages/progress.h"

namespace {
struct FileSink {
    HWND page;
    HANDLE outFile;
};

bool writeToFile(void* context, const uint8_t* block, uint32_t size)
{
    const FileSink* sink = static_cast<const FileSink*>(context);
    DWORD written = 0;
    const BOOL succeeded = WriteFile(sink->outFile, block, size, &written, nullptr);
    addProgress(sink->page, written);
    return succeeded && written == size;
}
} // namespace

bool decodeToFile(HWND page, const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize, HANDLE outFile)
{
    FileSink sink = {page, outFile};
    return decodeStream(packed, packedSize, unpackedSize, writeToFile, &sink);
}
