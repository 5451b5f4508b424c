#include "match_finder.h"

#include <cstring>

using namespace lzhuf;

namespace {
constexpr int HASH_BITS = 15;
constexpr size_t CHAIN_SIZE = 2 * N; // keeps the whole window even when a block reaches ahead
constexpr int MAX_CHAIN_STEPS = 32;

uint32_t hashAt(const uint8_t* p)
{
    const uint32_t three =
        static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16;
    return (three * 2654435761u) >> (32 - HASH_BITS);
}

size_t commonLength(const uint8_t* a, const uint8_t* b, size_t limit)
{
    size_t length = 0;
    while (length < limit) {
        uint64_t wordA;
        uint64_t wordB;
        std::memcpy(&wordA, a + length, sizeof wordA);
        std::memcpy(&wordB, b + length, sizeof wordB);
        const uint64_t difference = wordA ^ wordB;
        if (difference != 0) {
            length += static_cast<size_t>(__builtin_ctzll(difference)) / 8;
            break;
        }
        length += sizeof wordA;
    }
    return length < limit ? length : limit;
}

void insertUpTo(MatchFinder& finder, size_t position)
{
    for (; finder.inserted < position && finder.inserted + 2 < finder.end; ++finder.inserted) {
        const uint32_t hash = hashAt(finder.window + finder.inserted);
        finder.previous[finder.inserted % CHAIN_SIZE] = finder.head[hash];
        finder.head[hash] = static_cast<int32_t>(finder.inserted);
    }
}
} // namespace

void startMatchFinder(MatchFinder& finder, const uint8_t* window, size_t end)
{
    finder.window = window;
    finder.end = end;
    finder.inserted = 0;
    finder.head.assign(size_t{1} << HASH_BITS, -1);
    finder.previous.assign(CHAIN_SIZE, -1);
}

int findMatches(MatchFinder& finder, size_t position, Match matches[MAX_MATCHES])
{
    insertUpTo(finder, position);
    const size_t room = finder.end - position;
    const size_t longest = room < static_cast<size_t>(F) ? room : static_cast<size_t>(F);
    if (longest <= static_cast<size_t>(THRESHOLD)) {
        return 0;
    }
    // Sources older than this are outside the ring, or their chain slot has
    // been taken by a newer position.
    const int64_t oldest = static_cast<int64_t>(position) - N;
    const int64_t oldestInChain = static_cast<int64_t>(finder.inserted) - static_cast<int64_t>(CHAIN_SIZE);
    const int64_t limit = oldest > oldestInChain ? oldest : oldestInChain;

    const uint8_t* here = finder.window + position;
    int64_t source = finder.head[hashAt(here)];
    // A block that is parsed again finds positions at and after its own in the chain.
    while (source >= static_cast<int64_t>(position)) {
        source = finder.previous[static_cast<size_t>(source) % CHAIN_SIZE];
    }
    int count = 0;
    size_t best = THRESHOLD;
    for (int steps = 0; source >= 0 && source >= limit && steps < MAX_CHAIN_STEPS; ++steps) {
        const uint8_t* there = finder.window + source;
        if (there[best] == here[best]) {
            const size_t length = commonLength(here, there, longest);
            if (length > best) {
                best = length;
                matches[count++] = {static_cast<uint16_t>(length),
                                    static_cast<uint16_t>(position - static_cast<size_t>(source))};
                if (length == longest) {
                    break;
                }
            }
        }
        const int64_t next = finder.previous[static_cast<size_t>(source) % CHAIN_SIZE];
        if (next >= source) {
            break;
        }
        source = next;
    }
    return count;
}
