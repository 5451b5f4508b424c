// The LZHUF decoder: turns one headerless stream into exactly unpackedSize
// bytes, handing them out in blocks of 1024 to an output sink.
#pragma once
#include <cstdint>

#include "rules/lzhuf_tree.h"

// Receives each full block and the final partial one. Returning false (a
// failed or short write) stops the decoding.
using OutputSink = bool (*)(void* context, const uint8_t* block, uint32_t size);

// The cursor fields (ringPos to outCount) are brought up to date when a stream
// ends, so they tell how it ended: what was left to read or to write.
struct LzhufDecoder {
    LzhufTree tree;
    uint8_t ring[lzhuf::N]; // bytes from RING_PRESET on keep what the last stream left
    uint16_t ringPos;
    uint16_t bitBuffer; // unread bits, left-aligned
    uint16_t bitCount;
    const uint8_t* inputCursor;
    uint32_t inputRemaining;
    uint32_t readsPastEnd; // reads of the exhausted input, each giving zero bits
    uint32_t outputRemaining;
    uint8_t outBuffer[lzhuf::OUTPUT_BLOCK];
    uint32_t outCount;
    OutputSink sink;
    void* sinkContext;
    bool sinkRefused;
};

// The one decoder of the process: one stream at a time.
extern LzhufDecoder lzhufDecoder;

// Decodes packedSize bytes of stream into unpackedSize bytes for the sink;
// input past packedSize reads as zero bits, and a last match that would run
// past unpackedSize is cut there. False when the sink refused a block.
bool decodeStream(const uint8_t* packed, uint32_t packedSize, uint32_t unpackedSize, OutputSink sink,
                  void* sinkContext);
