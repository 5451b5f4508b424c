// The product's data files that are generated rather than kept in the
// repository: the help file and the add-on catalogue. Same bytes on every run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::vector<uint8_t> makeHelpFile();
std::vector<uint8_t> makeAddOnCatalogue();

// Little-endian record writing and a fixed-seed generator shared by both.
struct ByteWriter {
    std::vector<uint8_t> bytes;
    void u8(uint32_t value) { bytes.push_back(static_cast<uint8_t>(value)); }
    void u16(uint32_t value)
    {
        u8(value);
        u8(value >> 8);
    }
    void u32(uint32_t value)
    {
        u16(value);
        u16(value >> 16);
    }
    void text(const std::string& value) { bytes.insert(bytes.end(), value.begin(), value.end()); }
    // A NUL-padded field of fixed width.
    void field(const std::string& value, size_t width)
    {
        for (size_t i = 0; i < width; ++i) {
            u8(i < value.size() && i + 1 < width ? static_cast<uint8_t>(value[i]) : 0);
        }
    }
    void patch32(size_t at, uint32_t value)
    {
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
};

struct SeededRandom {
    uint32_t state;
    uint32_t next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    uint32_t below(uint32_t count) { return next() % count; }
};
