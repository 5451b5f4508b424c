// libFuzzer target for the decoder and the packer, under AddressSanitizer and
// UndefinedBehaviorSanitizer. The first byte chooses the check:
// - decode: any bytes as a stream must give exactly the asked-for size, in
//   blocks of at most 1024, without reading or writing out of bounds;
// - round trip: any bytes packed (optimal or greedy) must decode to themselves.
// ctest runs it for a minute; by hand: build/host/bin/lzhuf_fuzz -max_total_time=36000 CORPUS
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lzhuf_encoder.h"
#include "rules/lzhuf_decoder.h"

namespace {
struct Received {
    uint32_t total;
    uint32_t lastBlock;
};

bool countBlock(void* context, const uint8_t*, uint32_t size)
{
    auto* received = static_cast<Received*>(context);
    if (size == 0 || size > lzhuf::OUTPUT_BLOCK || received->lastBlock != lzhuf::OUTPUT_BLOCK) {
        std::abort(); // only the last block may be partial, and none is empty
    }
    received->total += size;
    received->lastBlock = size;
    return true;
}

void checkDecode(const uint8_t* data, size_t size)
{
    if (size < 2) {
        return;
    }
    const uint32_t unpackedSize = (static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8);
    // The stream is copied to a buffer of its own size, so that any read past it is caught.
    std::vector<uint8_t> stream(data + 2, data + size);
    Received received = {0, lzhuf::OUTPUT_BLOCK};
    if (!decodeStream(stream.data(), static_cast<uint32_t>(stream.size()), unpackedSize, countBlock, &received) ||
        received.total != unpackedSize) {
        std::abort();
    }
}

void checkRoundTrip(const uint8_t* data, size_t size, ParseMode mode)
{
    const std::vector<uint8_t> packed = packStream(data, size, mode);
    const std::vector<uint8_t> unpacked = unpackStream(packed.data(), packed.size(), static_cast<uint32_t>(size));
    if (unpacked.size() != size || (size != 0 && std::memcmp(unpacked.data(), data, size) != 0)) {
        std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    switch (data[0] % 3) {
    case 0:
        checkDecode(data + 1, size - 1);
        break;
    case 1:
        checkRoundTrip(data + 1, size - 1, ParseMode::Optimal);
        break;
    default:
        checkRoundTrip(data + 1, size - 1, ParseMode::Greedy);
        break;
    }
    return 0;
}
