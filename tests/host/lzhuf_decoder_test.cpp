#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "corpus.h"
#include "lzhuf_encoder.h"
#include "rules/crc32.h"
#include "rules/lzhuf_decoder.h"
#include "symbol_writer.h"

namespace {
struct Recording {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> blocks;
    size_t refuseFrom = SIZE_MAX; // index of the first block the sink refuses
};

bool record(void* context, const uint8_t* block, uint32_t size)
{
    auto* recording = static_cast<Recording*>(context);
    if (recording->blocks.size() >= recording->refuseFrom) {
        return false;
    }
    recording->blocks.push_back(size);
    recording->bytes.insert(recording->bytes.end(), block, block + size);
    return true;
}

Recording decode(const std::vector<uint8_t>& packed, uint32_t unpackedSize, size_t packedSize = SIZE_MAX)
{
    Recording recording;
    const uint32_t available = static_cast<uint32_t>(packedSize < packed.size() ? packedSize : packed.size());
    EXPECT_TRUE(decodeStream(packed.data(), available, unpackedSize, record, &recording));
    return recording;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// A hand-made stream of symbols, written bit by bit with the shared tree.
struct Stream {
    SymbolWriter writer;
    Stream() { startSymbolWriter(writer); }
    Stream& literal(char byte)
    {
        writeLiteral(writer, static_cast<uint8_t>(byte));
        return *this;
    }
    Stream& match(int length, int distance)
    {
        writeMatch(writer, length, distance);
        return *this;
    }
    std::vector<uint8_t> bits()
    {
        finishSymbols(writer);
        return writer.out;
    }
};
} // namespace

TEST(LzhufDecoder, PositionCodeRunsGiveThreeToEightBitCodes)
{
    EXPECT_EQ(positionCode.d_code[0x00], 0);
    EXPECT_EQ(positionCode.d_len[0x1F], 3); // u = 0: 000
    EXPECT_EQ(positionCode.d_code[0x20], 1);
    EXPECT_EQ(positionCode.d_len[0x2F], 4); // u = 1: 0010
    EXPECT_EQ(positionCode.d_code[0x50], 4);
    EXPECT_EQ(positionCode.d_len[0x57], 5); // u = 4: 01010
    EXPECT_EQ(positionCode.d_code[0xFF], 63);
    EXPECT_EQ(positionCode.d_len[0xFF], 8); // u = 63: 11111111
}

TEST(LzhufDecoder, FreshTreeCodesALiteralFromTheRootDown)
{
    // In the starting tree 'A' (65) sits nine levels deep on the path 111001101.
    const Recording out = decode({0xE6, 0x80}, 1);
    EXPECT_EQ(out.bytes, bytesOf("A"));
}

TEST(LzhufDecoder, MatchAtTheStartReadsThePresetSpaces)
{
    const Recording out = decode(Stream().match(5, 1).match(3, 700).literal('x').bits(), 9);
    EXPECT_EQ(out.bytes, bytesOf("        x"));
}

TEST(LzhufDecoder, MatchOneBehindRepeatsTheLastByte)
{
    const Recording out = decode(Stream().literal('z').match(60, 1).literal('.').bits(), 62);
    EXPECT_EQ(out.bytes, bytesOf(std::string(61, 'z') + "."));
}

TEST(LzhufDecoder, WritesFullBlocksThenTheRest)
{
    const std::vector<uint8_t> data = sampleData(SampleKind::Text, 1025, 1);
    for (uint32_t size : {0u, 1u, 1023u, 1024u, 1025u}) {
        const std::vector<uint8_t> part(data.begin(), data.begin() + size);
        const Recording out = decode(packStream(part.data(), part.size(), ParseMode::Optimal), size);
        EXPECT_EQ(out.bytes, part) << size;
        std::vector<uint32_t> expected;
        if (size > 0) {
            expected.push_back(size > 1024 ? 1024 : size);
        }
        if (size > 1024) {
            expected.push_back(size - 1024);
        }
        EXPECT_EQ(out.blocks, expected) << size;
    }
}

TEST(LzhufDecoder, EmptyOutputReadsNothing)
{
    const std::vector<uint8_t> packed = {0xFF, 0xFF};
    decode(packed, 0);
    EXPECT_EQ(lzhufDecoder.inputRemaining, 2u);
    EXPECT_EQ(lzhufDecoder.readsPastEnd, 0u);
}

TEST(LzhufDecoder, RebuildsTheTreeAtThe32455thSymbol)
{
    Stream stream;
    for (int i = 0; i < 32455; ++i) {
        stream.literal(static_cast<char>('a' + i % 26));
    }
    const std::vector<uint8_t> packed = stream.bits();
    decode(packed, 32454);
    EXPECT_EQ(lzhufDecoder.tree.freq[lzhuf::R], lzhuf::MAX_FREQ) << "314 + 32454 symbols";
    const Recording out = decode(packed, 32455);
    EXPECT_LT(lzhufDecoder.tree.freq[lzhuf::R], lzhuf::MAX_FREQ) << "halved before the last count";
    ASSERT_EQ(out.bytes.size(), 32455u);
    EXPECT_EQ(out.bytes.back(), 'a' + 32454 % 26);
}

TEST(LzhufDecoder, StaysCorrectAcrossManyRebuilds)
{
    std::vector<uint8_t> data = sampleData(SampleKind::Random, 100000, 2);
    const std::vector<uint8_t> text = sampleData(SampleKind::Text, 200000, 3);
    data.insert(data.end(), text.begin(), text.end());
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), ParseMode::Optimal);
    EXPECT_EQ(decode(packed, static_cast<uint32_t>(data.size())).bytes, data);
}

TEST(LzhufDecoder, ConsumesTheStreamWithOneReadPastItsEnd)
{
    for (SampleKind kind : {SampleKind::Text, SampleKind::Tables, SampleKind::Runs, SampleKind::Random}) {
        const std::vector<uint8_t> data = sampleData(kind, 5000, 4);
        const std::vector<uint8_t> packed = packStream(data.data(), data.size(), ParseMode::Optimal);
        decode(packed, 5000);
        EXPECT_EQ(lzhufDecoder.inputRemaining, 0u);
        EXPECT_EQ(lzhufDecoder.readsPastEnd, 1u);
    }
}

TEST(LzhufDecoder, StreamAfterAnotherDecodesAsAlone)
{
    const std::vector<uint8_t> first = sampleData(SampleKind::Runs, 70000, 5);
    const std::vector<uint8_t> second = sampleData(SampleKind::Tables, 9000, 6);
    const std::vector<uint8_t> firstPacked = packStream(first.data(), first.size(), ParseMode::Optimal);
    const std::vector<uint8_t> secondPacked = packStream(second.data(), second.size(), ParseMode::Greedy);

    std::memset(&lzhufDecoder, 0, sizeof lzhufDecoder);
    const std::vector<uint8_t> alone = decode(secondPacked, 9000).bytes;
    decode(firstPacked, 70000);
    EXPECT_EQ(decode(secondPacked, 9000).bytes, alone);
    EXPECT_EQ(alone, second);
}

TEST(LzhufDecoder, LastMatchPastTheEndIsCutAtTheSize)
{
    const Recording out = decode(Stream().literal('q').match(60, 1).bits(), 10);
    EXPECT_EQ(out.bytes, bytesOf(std::string(10, 'q')));
}

TEST(LzhufDecoder, ShortInputReadsAsZeroBitsToTheFullSize)
{
    const std::vector<uint8_t> data = sampleData(SampleKind::Text, 3000, 7);
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), ParseMode::Optimal);
    const Recording out = decode(packed, 3000, packed.size() / 2);
    EXPECT_EQ(out.bytes.size(), 3000u);
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 100, out.bytes.begin()));
    EXPECT_EQ(lzhufDecoder.inputRemaining, 0u);
}

TEST(LzhufDecoder, RefusedBlockStopsTheDecoding)
{
    const std::vector<uint8_t> data = sampleData(SampleKind::Text, 5000, 8);
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), ParseMode::Optimal);
    Recording recording;
    recording.refuseFrom = 2;
    EXPECT_FALSE(decodeStream(packed.data(), static_cast<uint32_t>(packed.size()), 5000, record, &recording));
    EXPECT_EQ(recording.blocks, (std::vector<uint32_t>{1024, 1024}));
    EXPECT_EQ(lzhufDecoder.outputRemaining, 5000u - 3 * 1024) << "nothing decoded after the refused block";
}

TEST(Crc32, GivesTheStandardCheckValueWholeOrInParts)
{
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(crc32(digits, sizeof digits), 0xCBF43926u);
    EXPECT_EQ(crc32(digits + 4, 5, crc32(digits, 4)), 0xCBF43926u);
    EXPECT_EQ(crc32(digits, 0), 0u);
}
