#include "rules/lzhuf_tree.h"

#include <cstring>

using namespace lzhuf;

void startTree(LzhufTree& tree)
{
    for (int i = 0; i < N_CHAR; ++i) {
        tree.freq[i] = 1;
        tree.child[i] = static_cast<int16_t>(i + T);
        tree.parent[i + T] = static_cast<int16_t>(i);
    }
    for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
        tree.freq[j] = static_cast<uint16_t>(tree.freq[i] + tree.freq[i + 1]);
        tree.child[j] = static_cast<int16_t>(i);
        tree.parent[i] = tree.parent[i + 1] = static_cast<int16_t>(j);
    }
    tree.freq[T] = 0xFFFF;
    tree.parent[R] = 0;
}

void rebuildTree(LzhufTree& tree)
{
    // Gather the leaves at the bottom, halving their counts (rounding up, so
    // none drops to 0), in their present order.
    int j = 0;
    for (int i = 0; i < T; ++i) {
        if (tree.child[i] >= T) {
            tree.freq[j] = static_cast<uint16_t>((tree.freq[i] + 1) / 2);
            tree.child[j] = tree.child[i];
            ++j;
        }
    }
    // Pair them again; each new node goes after every node of equal frequency.
    for (int i = 0; j < T; i += 2, ++j) {
        const uint16_t f = static_cast<uint16_t>(tree.freq[i] + tree.freq[i + 1]);
        int k = j - 1;
        while (f < tree.freq[k]) {
            --k;
        }
        ++k;
        std::memmove(&tree.freq[k + 1], &tree.freq[k], sizeof tree.freq[0] * static_cast<size_t>(j - k));
        std::memmove(&tree.child[k + 1], &tree.child[k], sizeof tree.child[0] * static_cast<size_t>(j - k));
        tree.freq[k] = f;
        tree.child[k] = static_cast<int16_t>(i);
    }
    for (int i = 0; i < T; ++i) {
        const int k = tree.child[i];
        if (k >= T) {
            tree.parent[k] = static_cast<int16_t>(i);
        } else {
            tree.parent[k] = tree.parent[k + 1] = static_cast<int16_t>(i);
        }
    }
}

namespace {
// The highest node above c whose frequency is below k. Frequencies from c + 1
// on are sorted and the sentinel freq[T] stops every search; most increments
// move nowhere or one place, so look there first, then gallop and bisect.
int lastBelow(const uint16_t* freq, int c, unsigned k)
{
    int low = c + 1; // freq[low] < k
    int step = 1;
    while (freq[low + step] < k) {
        low += step;
        step = low + 2 * step <= T ? 2 * step : T - low;
    }
    int high = low + step; // freq[high] >= k
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        if (freq[middle] < k) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return low;
}
} // namespace

void updateTree(LzhufTree& tree, int symbol)
{
    if (tree.freq[R] == MAX_FREQ) {
        rebuildTree(tree);
    }
    int c = tree.parent[symbol + T];
    do {
        const unsigned k = ++tree.freq[c];
        if (k > tree.freq[c + 1]) {
            // Exchange node c with the last node of lower frequency, keeping the
            // frequencies sorted; the count then goes on from there.
            const int l = lastBelow(tree.freq, c, k);
            tree.freq[c] = tree.freq[l];
            tree.freq[l] = static_cast<uint16_t>(k);
            const int i = tree.child[c];
            tree.parent[i] = static_cast<int16_t>(l);
            if (i < T) {
                tree.parent[i + 1] = static_cast<int16_t>(l);
            }
            const int j = tree.child[l];
            tree.child[l] = static_cast<int16_t>(i);
            tree.parent[j] = static_cast<int16_t>(c);
            if (j < T) {
                tree.parent[j + 1] = static_cast<int16_t>(c);
            }
            tree.child[c] = static_cast<int16_t>(j);
            c = l;
        }
        c = tree.parent[c];
    } while (c != 0);
}

namespace {
constexpr PositionCodeTables makePositionCode()
{
    PositionCodeTables tables{};
    // Runs of 32, 16, 8, 4, 2 and 1 byte values, for this many u each.
    constexpr int runsPerLength[6] = {1, 3, 8, 12, 24, 16};
    int u = 0;
    int byte = 0;
    for (int group = 0; group < 6; ++group) {
        const int runSize = 32 >> group;
        for (int run = 0; run < runsPerLength[group]; ++run, ++u) {
            tables.positionCodeStart[u] = static_cast<uint8_t>(byte);
            for (int b = 0; b < runSize; ++b, ++byte) {
                tables.d_code[byte] = static_cast<uint8_t>(u);
                tables.d_len[byte] = static_cast<uint8_t>(3 + group);
            }
        }
    }
    return tables;
}
} // namespace

constexpr PositionCodeTables positionCode = makePositionCode();
