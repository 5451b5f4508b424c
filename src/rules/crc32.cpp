#include "rules/crc32.h"

#include <array>

namespace {
constexpr uint32_t POLYNOMIAL = 0xEDB88320u;

// One entry per byte value: its CRC remainder, computed once at compile time.
constexpr std::array<uint32_t, 256> makeTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < table.size(); ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) ? POLYNOMIAL ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> crcTable = makeTable();
} // namespace

uint32_t crc32(const uint8_t* bytes, size_t count, uint32_t previous)
{
    uint32_t crc = ~previous;
    for (size_t i = 0; i < count; ++i) {
        crc = crcTable[(crc ^ bytes[i]) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}
