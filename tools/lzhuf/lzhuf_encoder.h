// The packer: turns a file into the headerless LZHUF stream that the setup
// program's decoder reads.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum class ParseMode {
    Optimal, // the cheapest path under the adaptive code, block by block
    Greedy,  // the longest match at every step: the baseline
};

std::vector<uint8_t> packStream(const uint8_t* data, size_t size, ParseMode mode);

// Decodes a stream with the program's own decoder.
std::vector<uint8_t> unpackStream(const uint8_t* packed, size_t packedSize, uint32_t unpackedSize);
