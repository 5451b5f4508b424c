// Finds the earlier occurrences of the bytes at a position of the packer's
// window: the ring's preset spaces followed by the input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "rules/lzhuf_tree.h"

struct Match {
    uint16_t length;
    uint16_t distance; // 1 to N bytes back
};
constexpr int MAX_MATCHES = lzhuf::F - lzhuf::THRESHOLD;

struct MatchFinder {
    const uint8_t* window; // readable up to end + 8
    size_t end;
    size_t inserted; // positions below this are in the chains
    std::vector<int32_t> head;
    std::vector<int32_t> previous; // by position modulo its size
};

void startMatchFinder(MatchFinder& finder, const uint8_t* window, size_t end);

// The matches at position, longest last: each entry is longer than the one
// before and comes from the nearest source that reaches its length. Never
// longer than F nor past the window's end, never reaching back before the
// window's start or more than N bytes.
int findMatches(MatchFinder& finder, size_t position, Match matches[MAX_MATCHES]);
