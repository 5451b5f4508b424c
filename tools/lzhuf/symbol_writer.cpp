#include "symbol_writer.h"

using namespace lzhuf;

namespace {
void putBits(SymbolWriter& writer, uint64_t value, int count)
{
    writer.pendingBits = writer.pendingBits << count | value;
    writer.pendingCount += count;
    while (writer.pendingCount >= 8) {
        writer.pendingCount -= 8;
        writer.out.push_back(static_cast<uint8_t>(writer.pendingBits >> writer.pendingCount));
    }
}

// The leaf's path read from the leaf up, then sent from the root down.
void writeSymbol(SymbolWriter& writer, int symbol)
{
    LzhufTree& tree = writer.tree;
    uint64_t code = 0;
    int length = 0;
    for (int node = tree.parent[symbol + T]; node != R; node = tree.parent[node]) {
        code |= static_cast<uint64_t>(node - tree.child[tree.parent[node]]) << length;
        ++length;
    }
    putBits(writer, code, length);
    updateTree(tree, symbol);
}
} // namespace

void startSymbolWriter(SymbolWriter& writer)
{
    startTree(writer.tree);
    writer.out.clear();
    writer.pendingBits = 0;
    writer.pendingCount = 0;
}

void writeLiteral(SymbolWriter& writer, uint8_t byte) { writeSymbol(writer, byte); }

void writeMatch(SymbolWriter& writer, int length, int distance)
{
    writeSymbol(writer, 256 + length - THRESHOLD - 1);
    const int position = distance - 1;
    const int upper = position >> POSITION_LOW_BITS;
    const uint8_t start = positionCode.positionCodeStart[upper];
    const int codeLength = positionCode.d_len[start];
    putBits(writer, static_cast<uint64_t>(start >> (8 - codeLength)), codeLength);
    putBits(writer, static_cast<uint64_t>(position & ((1 << POSITION_LOW_BITS) - 1)), POSITION_LOW_BITS);
}

void finishSymbols(SymbolWriter& writer)
{
    if (writer.pendingCount > 0) {
        putBits(writer, 0, 8 - writer.pendingCount);
    }
}

void symbolCosts(const LzhufTree& tree, uint8_t costs[N_CHAR])
{
    // A parent always stands above its children, so one pass from the root down.
    uint8_t depth[T];
    depth[R] = 0;
    for (int node = R; node >= 0; --node) {
        const int child = tree.child[node];
        if (child >= T) {
            costs[child - T] = depth[node];
        } else {
            depth[child] = depth[child + 1] = static_cast<uint8_t>(depth[node] + 1);
        }
    }
}

int distanceCost(int distance)
{
    const int upper = (distance - 1) >> POSITION_LOW_BITS;
    return positionCode.d_len[positionCode.positionCodeStart[upper]] + POSITION_LOW_BITS;
}
