#include "rules/lzhuf_decoder.h"

#include <cstring>

using namespace lzhuf;

LzhufDecoder lzhufDecoder;

namespace {
// The fields that change with every bit and byte are worked on in a local
// copy, which the compiler can keep in registers while bytes are stored into
// the ring and the output buffer, and are written back when the stream ends.
struct Cursor {
    const uint8_t* input;
    uint32_t inputRemaining;
    uint32_t readsPastEnd;
    uint32_t bitBuffer; // 16 bits wide
    uint32_t bitCount;
    uint32_t outputRemaining;
    uint32_t outCount;
    uint32_t ringPos;
};

LzhufDecoder& d = lzhufDecoder;

uint8_t readInputByte(Cursor& at)
{
    if (at.inputRemaining == 0) {
        ++at.readsPastEnd;
        return 0;
    }
    --at.inputRemaining;
    return *at.input++;
}

// Tops the buffer up to at least 9 valid bits, most significant bit first.
void refill(Cursor& at)
{
    while (at.bitCount <= 8) {
        at.bitBuffer |= static_cast<uint32_t>(readInputByte(at)) << (8 - at.bitCount);
        at.bitCount += 8;
    }
}

unsigned getBit(Cursor& at)
{
    refill(at);
    const unsigned bit = at.bitBuffer >> 15;
    at.bitBuffer = (at.bitBuffer << 1) & 0xFFFF;
    --at.bitCount;
    return bit;
}

unsigned getByte(Cursor& at)
{
    refill(at);
    const unsigned byte = at.bitBuffer >> 8;
    at.bitBuffer = (at.bitBuffer << 8) & 0xFFFF;
    at.bitCount -= 8;
    return byte;
}

// Walks from the root to a leaf, one bit per level; every walk ends at a leaf.
int decodeChar(Cursor& at)
{
    const int16_t* child = d.tree.child;
    int c = child[R];
    while (c < T) {
        c = child[c + static_cast<int>(getBit(at))];
    }
    const int symbol = c - T;
    updateTree(d.tree, symbol);
    return symbol;
}

unsigned decodePosition(Cursor& at)
{
    unsigned b = getByte(at);
    const unsigned upper = positionCode.d_code[b];
    for (int n = positionCode.d_len[b] - 2; n > 0; --n) {
        b = b << 1 | getBit(at);
    }
    return upper << POSITION_LOW_BITS | (b & 0x3F);
}

void writeBlock(Cursor& at)
{
    if (!d.sink(d.sinkContext, d.outBuffer, at.outCount)) {
        d.sinkRefused = true;
    }
    at.outCount = 0;
}

void putOutputByte(Cursor& at, uint8_t byte)
{
    d.outBuffer[at.outCount++] = byte;
    --at.outputRemaining;
    if (at.outCount == OUTPUT_BLOCK) {
        writeBlock(at);
    }
}

void flushOutput(Cursor& at)
{
    if (at.outCount != 0 && !d.sinkRefused) {
        writeBlock(at);
    }
}

void putRingByte(Cursor& at, uint8_t byte)
{
    putOutputByte(at, byte);
    d.ring[at.ringPos] = byte;
    at.ringPos = (at.ringPos + 1) & (N - 1);
}
} // namespace

bool decodeStream(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize, OutputSink sink, void* sinkContext)
{
    Cursor at = {packed, packedSize, 0, 0, 0, unpackedSize, 0, RING_PRESET};
    d.sink = sink;
    d.sinkContext = sinkContext;
    d.sinkRefused = false;
    startTree(d.tree);
    std::memset(d.ring, PRESET_BYTE, RING_PRESET);

    while (at.outputRemaining > 0 && !d.sinkRefused) {
        const int c = decodeChar(at);
        if (c < 256) {
            putRingByte(at, static_cast<uint8_t>(c));
            continue;
        }
        uint32_t length = static_cast<uint32_t>(c - 255 + THRESHOLD);
        // A corrupt stream's last match may run past the end: never write more.
        if (length > at.outputRemaining) {
            length = at.outputRemaining;
        }
        // Byte by byte, so a match may overlap the bytes it produces.
        unsigned source = (at.ringPos - decodePosition(at) - 1) & (N - 1);
        for (; length > 0 && !d.sinkRefused; --length) {
            putRingByte(at, d.ring[source]);
            source = (source + 1) & (N - 1);
        }
    }
    flushOutput(at);

    d.inputCursor = at.input;
    d.inputRemaining = at.inputRemaining;
    d.readsPastEnd = at.readsPastEnd;
    d.bitBuffer = static_cast<uint16_t>(at.bitBuffer);
    d.bitCount = static_cast<uint16_t>(at.bitCount);
    d.outputRemaining = at.outputRemaining;
    d.outCount = at.outCount;
    d.ringPos = static_cast<uint16_t>(at.ringPos);
    return !d.sinkRefused;
}
