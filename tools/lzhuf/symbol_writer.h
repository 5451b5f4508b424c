// Writes literals and matches as the LZHUF bit stream, keeping the adaptive
// tree exactly as the decoder keeps it, and prices symbols under that tree.
#pragma once
#include <cstdint>
#include <vector>

#include "rules/lzhuf_tree.h"

struct SymbolWriter {
    LzhufTree tree;
    std::vector<uint8_t> out;
    uint64_t pendingBits;
    int pendingCount;
};

void startSymbolWriter(SymbolWriter& writer);
void writeLiteral(SymbolWriter& writer, uint8_t byte);
// A match of 3 to F bytes whose source is distance (1 to N) bytes back.
void writeMatch(SymbolWriter& writer, int length, int distance);
// Pads the last byte with zero bits.
void finishSymbols(SymbolWriter& writer);

// Code lengths in bits of every symbol under the tree as it stands.
void symbolCosts(const LzhufTree& tree, uint8_t costs[lzhuf::N_CHAR]);
// Bits that a match's position takes.
int distanceCost(int distance);
