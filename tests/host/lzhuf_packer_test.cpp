#include <gtest/gtest.h>

#include <vector>

#include "corpus.h"
#include "lzhuf_encoder.h"

namespace {
void expectRoundTrip(const std::vector<uint8_t>& data, ParseMode mode)
{
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), mode);
    EXPECT_EQ(unpackStream(packed.data(), packed.size(), static_cast<uint32_t>(data.size())), data);
}
} // namespace

TEST(LzhufPacker, RoundTripsEveryKindOfData)
{
    const SampleKind kinds[] = {SampleKind::Text, SampleKind::Tables, SampleKind::Runs, SampleKind::Random};
    for (ParseMode mode : {ParseMode::Optimal, ParseMode::Greedy}) {
        for (SampleKind kind : kinds) {
            for (size_t size : {0, 1, 2, 3, 61, 4095, 4097, 70001}) {
                SCOPED_TRACE(size);
                expectRoundTrip(sampleData(kind, size, static_cast<uint32_t>(size)), mode);
            }
        }
    }
}

TEST(LzhufPacker, RoundTripsDataThatReachesIntoThePresetSpaces)
{
    std::vector<uint8_t> data(5000, ' ');
    data[4100] = 'x';
    expectRoundTrip(data, ParseMode::Optimal);
    expectRoundTrip(data, ParseMode::Greedy);
    // Text right after the spaces finds its source across the ring's wrap.
    std::vector<uint8_t> repeated = sampleData(SampleKind::Text, 4200, 9);
    repeated.insert(repeated.end(), repeated.begin(), repeated.begin() + 300);
    expectRoundTrip(repeated, ParseMode::Optimal);
}

TEST(LzhufPacker, OptimalParseBeatsGreedy)
{
    const std::vector<uint8_t> data = sampleData(SampleKind::Text, 200000, 10);
    const size_t optimal = packStream(data.data(), data.size(), ParseMode::Optimal).size();
    const size_t greedy = packStream(data.data(), data.size(), ParseMode::Greedy).size();
    EXPECT_LT(optimal, greedy);
    EXPECT_LT(optimal, data.size() / 2);
}
