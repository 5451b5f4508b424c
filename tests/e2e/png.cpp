// PNG writer: each row gets the filter that leaves the smallest residues, and
// the filtered rows go through a greedy LZ77 into one fixed-Huffman deflate
// block. Screenshots of dialogs shrink to a few per cent of their raw size.
#include "png.h"

#include "rules/crc32.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace {
class BitWriter {
  public:
    explicit BitWriter(std::vector<uint8_t>& out) : out(out) {}

    // Deflate packs values starting at the least significant bit.
    void putBits(uint32_t value, int count)
    {
        pending |= static_cast<uint64_t>(value) << pendingCount;
        pendingCount += count;
        while (pendingCount >= 8) {
            out.push_back(static_cast<uint8_t>(pending));
            pending >>= 8;
            pendingCount -= 8;
        }
    }

    // Huffman codes are defined most significant bit first.
    void putCode(uint32_t code, int length)
    {
        uint32_t reversed = 0;
        for (int bit = 0; bit < length; ++bit) {
            reversed = (reversed << 1) | ((code >> bit) & 1);
        }
        putBits(reversed, length);
    }

    void flush()
    {
        if (pendingCount > 0) {
            out.push_back(static_cast<uint8_t>(pending));
        }
        pending = 0;
        pendingCount = 0;
    }

  private:
    std::vector<uint8_t>& out;
    uint64_t pending = 0;
    int pendingCount = 0;
};

constexpr std::array<int, 29> lengthBase = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                            31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> lengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                             2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> distanceBase = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                              33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                              1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> distanceExtra = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                               6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void putLiteralOrLength(BitWriter& bits, int symbol)
{
    if (symbol < 144) {
        bits.putCode(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.putCode(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.putCode(symbol - 256, 7);
    } else {
        bits.putCode(0xC0 + symbol - 280, 8);
    }
}

void putMatch(BitWriter& bits, int length, int distance)
{
    int code = 28;
    while (lengthBase[code] > length) {
        --code;
    }
    putLiteralOrLength(bits, 257 + code);
    bits.putBits(length - lengthBase[code], lengthExtra[code]);
    code = 29;
    while (distanceBase[code] > distance) {
        --code;
    }
    bits.putCode(code, 5);
    bits.putBits(distance - distanceBase[code], distanceExtra[code]);
}

// A zlib stream (header, one final fixed-Huffman block, Adler-32) of data.
std::vector<uint8_t> zlibCompress(const std::vector<uint8_t>& data)
{
    constexpr int window = 32768;
    constexpr int hashBits = 15;
    constexpr int maxChain = 32;
    constexpr int maxMatch = 258;
    const int size = static_cast<int>(data.size());

    std::vector<uint8_t> out = {0x78, 0x01};
    BitWriter bits(out);
    bits.putBits(1, 1); // final block
    bits.putBits(1, 2); // fixed Huffman codes

    std::vector<int> head(1 << hashBits, -1);
    std::vector<int> previous(data.size(), -1);
    auto hashAt = [&](int at) {
        return ((data[at] << 10) ^ (data[at + 1] << 5) ^ data[at + 2]) & ((1 << hashBits) - 1);
    };
    auto insert = [&](int at) {
        if (at + 2 < size) {
            int hash = hashAt(at);
            previous[at] = head[hash];
            head[hash] = at;
        }
    };

    int at = 0;
    while (at < size) {
        int bestLength = 0;
        int bestDistance = 0;
        if (at + 2 < size) {
            int limit = std::min(maxMatch, size - at);
            int chain = 0;
            for (int candidate = head[hashAt(at)]; candidate >= 0 && at - candidate <= window && chain < maxChain;
                 candidate = previous[candidate], ++chain) {
                int length = 0;
                while (length < limit && data[candidate + length] == data[at + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = at - candidate;
                    if (length == limit) {
                        break;
                    }
                }
            }
        }
        if (bestLength >= 3) {
            putMatch(bits, bestLength, bestDistance);
            for (int i = 0; i < bestLength; ++i) {
                insert(at + i);
            }
            at += bestLength;
        } else {
            putLiteralOrLength(bits, data[at]);
            insert(at);
            ++at;
        }
    }
    putLiteralOrLength(bits, 256);
    bits.flush();

    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(adler >> shift));
    }
    return out;
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& data)
{
    putBigEndian(file, static_cast<uint32_t>(data.size()));
    size_t typeStart = file.size();
    file.insert(file.end(), type, type + 4);
    file.insert(file.end(), data.begin(), data.end());
    putBigEndian(file, crc32(file.data() + typeStart, file.size() - typeStart, 0));
}

int paeth(int left, int up, int upLeft)
{
    int estimate = left + up - upLeft;
    int toLeft = std::abs(estimate - left);
    int toUp = std::abs(estimate - up);
    int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return left;
    }
    return toUp <= toUpLeft ? up : upLeft;
}

// Every row prefixed by its filter type, PNG's five filters tried per row.
std::vector<uint8_t> filterRows(int width, int height, const std::vector<uint8_t>& rgb)
{
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> filtered;
    filtered.reserve((stride + 1) * height);
    std::vector<uint8_t> zeroRow(stride, 0);
    std::vector<uint8_t> candidate(stride);
    std::vector<uint8_t> best(stride);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = rgb.data() + stride * y;
        const uint8_t* above = y > 0 ? row - stride : zeroRow.data();
        long bestCost = -1;
        int bestType = 0;
        for (int type = 0; type < 5; ++type) {
            long cost = 0;
            for (size_t i = 0; i < stride; ++i) {
                int left = i >= 3 ? row[i - 3] : 0;
                int upLeft = i >= 3 ? above[i - 3] : 0;
                int predictor = type == 0   ? 0
                                : type == 1 ? left
                                : type == 2 ? above[i]
                                : type == 3 ? (left + above[i]) / 2
                                            : paeth(left, above[i], upLeft);
                candidate[i] = static_cast<uint8_t>(row[i] - predictor);
                cost += std::abs(static_cast<int8_t>(candidate[i]));
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                bestType = type;
                best.swap(candidate);
            }
        }
        filtered.push_back(static_cast<uint8_t>(bestType));
        filtered.insert(filtered.end(), best.begin(), best.end());
    }
    return filtered;
}
} // namespace

bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    putBigEndian(header, static_cast<uint32_t>(width));
    putBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits per sample, RGB, deflate, adaptive filters, no interlace
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", zlibCompress(filterRows(width, height, rgb)));
    putChunk(file, "IEND", {});

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        return false;
    }
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}
