// CRC-32 as zip and PNG use it (polynomial 0xEDB88320, reflected): the check
// value of each payload row, packed and unpacked, recorded by the build.
#pragma once
#include <cstddef>
#include <cstdint>

// The CRC of the bytes following a text whose CRC was previous (0 to start):
// crc32(b, n, crc32(a, m)) is the CRC of a followed by b.
uint32_t crc32(const uint8_t* bytes, size_t count, uint32_t previous = 0);
