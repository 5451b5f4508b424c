#include "lzhuf_encoder.h"

#include <algorithm>
#include <cstring>

#include "match_finder.h"
#include "rules/lzhuf_decoder.h"
#include "symbol_writer.h"

using namespace lzhuf;

namespace {
// Stretch of input priced at once; the adaptive code is re-read between blocks.
constexpr size_t BLOCK = 2048;
constexpr size_t WINDOW_PADDING = 8; // the match finder compares words

// The preset spaces of the ring, the input, then padding. A match source at
// the window's start reads the spaces the decoder has preset.
std::vector<uint8_t> makeWindow(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> window(RING_PRESET + size + WINDOW_PADDING, 0);
    std::memset(window.data(), PRESET_BYTE, RING_PRESET);
    if (size != 0) {
        std::memcpy(window.data() + RING_PRESET, data, size);
    }
    return window;
}

void parseGreedy(MatchFinder& finder, SymbolWriter& writer)
{
    Match matches[MAX_MATCHES];
    for (size_t position = RING_PRESET; position < finder.end;) {
        const int count = findMatches(finder, position, matches);
        if (count == 0) {
            writeLiteral(writer, finder.window[position]);
            ++position;
        } else {
            const Match& longest = matches[count - 1];
            writeMatch(writer, longest.length, longest.distance);
            position += longest.length;
        }
    }
}

struct Step {
    uint32_t price;  // bits from the block's start
    uint16_t length; // of the step that arrives here; 1 for a literal
    uint16_t distance;
};

struct OptimalParser {
    std::vector<Step> steps;
    std::vector<Step> path;
    uint8_t costs[N_CHAR];
};

// Prices every position of [start, end) from start on, cheapest arrival first.
void priceBlock(OptimalParser& parser, MatchFinder& finder, size_t start, size_t end)
{
    const size_t span = end - start;
    parser.steps.assign(span + 1, Step{UINT32_MAX, 0, 0});
    parser.steps[0].price = 0;
    Match found[MAX_MATCHES];
    for (size_t i = 0; i < span; ++i) {
        const uint32_t here = parser.steps[i].price;
        const uint32_t literal = here + parser.costs[finder.window[start + i]];
        if (literal < parser.steps[i + 1].price) {
            parser.steps[i + 1] = {literal, 1, 0};
        }
        const int count = findMatches(finder, start + i, found);
        int length = THRESHOLD + 1;
        for (int m = 0; m < count; ++m) {
            const int reach = std::min<int>(found[m].length, static_cast<int>(span - i));
            const uint32_t position = here + static_cast<uint32_t>(distanceCost(found[m].distance));
            for (; length <= reach; ++length) {
                const uint32_t price = position + parser.costs[256 + length - THRESHOLD - 1];
                Step& arrival = parser.steps[i + static_cast<size_t>(length)];
                if (price < arrival.price) {
                    arrival = {price, static_cast<uint16_t>(length), found[m].distance};
                }
            }
        }
    }
}

void parseOptimal(MatchFinder& finder, SymbolWriter& writer)
{
    OptimalParser parser;
    for (size_t start = RING_PRESET; start < finder.end;) {
        // Price a little past the block, so that its last steps may reach over.
        const size_t end = std::min(finder.end, start + BLOCK + F);
        symbolCosts(writer.tree, parser.costs);
        priceBlock(parser, finder, start, end);

        parser.path.clear();
        for (size_t i = end - start; i > 0; i -= parser.steps[i].length) {
            parser.path.push_back(parser.steps[i]);
        }
        const size_t blockEnd = end == finder.end ? end : start + BLOCK;
        size_t position = start;
        for (auto step = parser.path.rbegin(); step != parser.path.rend() && position < blockEnd; ++step) {
            if (step->length == 1) {
                writeLiteral(writer, finder.window[position]);
            } else {
                writeMatch(writer, step->length, step->distance);
            }
            position += step->length;
        }
        start = position;
    }
}

bool appendBlock(void* context, const uint8_t* block, uint32_t size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), block, block + size);
    return true;
}
} // namespace

std::vector<uint8_t> packStream(const uint8_t* data, size_t size, ParseMode mode)
{
    const std::vector<uint8_t> window = makeWindow(data, size);
    MatchFinder finder;
    startMatchFinder(finder, window.data(), RING_PRESET + size);
    SymbolWriter writer;
    startSymbolWriter(writer);
    if (mode == ParseMode::Greedy) {
        parseGreedy(finder, writer);
    } else {
        parseOptimal(finder, writer);
    }
    finishSymbols(writer);
    return std::move(writer.out);
}

std::vector<uint8_t> unpackStream(const uint8_t* packed, size_t packedSize, uint32_t unpackedSize)
{
    std::vector<uint8_t> out;
    out.reserve(unpackedSize);
    decodeStream(packed, static_cast<uint32_t>(packedSize), unpackedSize, appendBlock, &out);
    return out;
}
