#include "engine/portable/lzhuf_decoder.h"

#include <cstring>

using namespace lzhuf;

LzhufDecoder lzhufDecoder;

namespace {
LzhufDecoder& d = lzhufDecoder;

uint8_t readInputByte()
{
    if (d.inputRemaining == 0) {
        ++d.readsPastEnd;
        return 0;
    }
    --d.inputRemaining;
    return *d.inputCursor++;
}

// Tops the buffer up to at least 9 valid bits.
void refill()
{
    while (d.bitCount <= 8) {
        d.bitBuffer = static_cast<uint16_t>(d.bitBuffer | readInputByte() << (8 - d.bitCount));
        d.bitCount = static_cast<uint16_t>(d.bitCount + 8);
    }
}

int getBit()
{
    refill();
    const int bit = d.bitBuffer >> 15;
    d.bitBuffer = static_cast<uint16_t>(d.bitBuffer << 1);
    --d.bitCount;
    return bit;
}

int getByte()
{
    refill();
    const int byte = d.bitBuffer >> 8;
    d.bitBuffer = static_cast<uint16_t>(d.bitBuffer << 8);
    d.bitCount = static_cast<uint16_t>(d.bitCount - 8);
    return byte;
}

// Walks from the root to a leaf, one bit per level; every walk ends at a leaf.
int decodeChar()
{
    int c = d.tree.child[R];
    while (c < T) {
        c = d.tree.child[c + getBit()];
    }
    const int symbol = c - T;
    updateTree(d.tree, symbol);
    return symbol;
}

int decodePosition()
{
    unsigned b = static_cast<unsigned>(getByte());
    const unsigned upper = positionCode.d_code[b];
    for (int n = positionCode.d_len[b] - 2; n > 0; --n) {
        b = b << 1 | static_cast<unsigned>(getBit());
    }
    return static_cast<int>(upper << POSITION_LOW_BITS | (b & 0x3F));
}

void writeBlock()
{
    if (!d.sink(d.sinkContext, d.outBuffer, d.outCount)) {
        d.sinkRefused = true;
    }
    d.outCount = 0;
}

void putOutputByte(uint8_t byte)
{
    d.outBuffer[d.outCount++] = byte;
    --d.outputRemaining;
    if (d.outCount == OUTPUT_BLOCK) {
        writeBlock();
    }
}

void flushOutput()
{
    if (d.outCount != 0 && !d.sinkRefused) {
        writeBlock();
    }
}

void putRingByte(uint8_t byte)
{
    putOutputByte(byte);
    d.ring[d.ringPos] = byte;
    d.ringPos = (d.ringPos + 1) & (N - 1);
}
} // namespace

bool decodeStream(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize, OutputSink sink,
                  void* sinkContext)
{
    d.inputCursor = packed;
    d.inputRemaining = packedSize;
    d.readsPastEnd = 0;
    d.outputRemaining = unpackedSize;
    d.sink = sink;
    d.sinkContext = sinkContext;
    d.sinkRefused = false;
    d.outCount = 0;
    d.bitBuffer = 0;
    d.bitCount = 0;
    startTree(d.tree);
    std::memset(d.ring, PRESET_BYTE, RING_PRESET);
    d.ringPos = RING_PRESET;

    while (d.outputRemaining > 0 && !d.sinkRefused) {
        const int c = decodeChar();
        if (c < 256) {
            putRingByte(static_cast<uint8_t>(c));
            continue;
        }
        uint32_t length = static_cast<uint32_t>(c - 255 + THRESHOLD);
        // A corrupt stream's last match may run past the end: never write more.
        if (length > d.outputRemaining) {
            length = d.outputRemaining;
        }
        // Byte by byte, so a match may overlap the bytes it produces.
        int source = (d.ringPos - decodePosition() - 1) & (N - 1);
        for (; length > 0 && !d.sinkRefused; --length) {
            putRingByte(d.ring[source]);
            source = (source + 1) & (N - 1);
        }
    }
    flushOutput();
    return !d.sinkRefused;
}
