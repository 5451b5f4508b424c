// The model of the LZHUF format that the decoder and the packer share: its
// parameters, the adaptive Huffman tree of literals and match lengths, and the
// fixed prefix code of the upper six bits of a match position. Both sides keep
// the tree with these same routines, so their codes never drift apart.
#pragma once
#include <cstdint>

namespace lzhuf {
constexpr int N = 4096;                     // ring buffer, the sliding window
constexpr int F = 60;                       // longest match
constexpr int THRESHOLD = 2;                // a match is at least THRESHOLD + 1 bytes
constexpr int N_CHAR = 256 + F - THRESHOLD; // 256 literals and the match lengths 3 to 60
constexpr int T = 2 * N_CHAR - 1;           // tree nodes
constexpr int R = T - 1;                    // root node
constexpr uint16_t MAX_FREQ = 0x8000;       // root frequency at which the tree is halved
constexpr int RING_PRESET = N - F;          // ring bytes set to spaces before each stream
constexpr uint8_t PRESET_BYTE = 0x20;
constexpr int OUTPUT_BLOCK = 1024;
constexpr int POSITION_LOW_BITS = 6;
} // namespace lzhuf

// Frequencies stay in non-decreasing order of node index. child[n] is the first
// of node n's two children, or the held symbol + T for a leaf; parent[s + T] is
// the node that holds symbol s.
struct LzhufTree {
    uint16_t freq[lzhuf::T + 1];
    int16_t child[lzhuf::T];
    int16_t parent[lzhuf::T + lzhuf::N_CHAR];
};

// Every symbol at frequency 1.
void startTree(LzhufTree& tree);
// Counts one more occurrence of the symbol, halving every frequency first when
// the root has reached MAX_FREQ.
void updateTree(LzhufTree& tree, int symbol);
void rebuildTree(LzhufTree& tree);

// The prefix code of a position's upper six bits u: byte values are split into
// 64 consecutive runs, one per u, of 32, 16, 8, 4, 2 and 1 values, whose codes
// are 3 to 8 bits long. d_code and d_len decode from the next 8 stream bits;
// positionCodeStart and d_len of it encode.
struct PositionCodeTables {
    uint8_t d_code[256];
    uint8_t d_len[256];
    uint8_t positionCodeStart[64]; // first byte value of u's run: its code, left-aligned
};
extern const PositionCodeTables positionCode;
