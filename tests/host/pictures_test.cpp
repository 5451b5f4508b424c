// The generated pictures: file layout, sizes and colour tables as the setup
// program and the resource compiler expect them.
#include "canvas.h"
#include "picture_files.h"
#include "pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }

// A .bmp file read back: header fields, colour table and pixel indices.
struct BitmapView {
    int width = 0;
    int height = 0;
    int bits = 0;
    uint32_t colorsUsed = 0;
    std::vector<Rgb> table;
    std::vector<std::vector<int>> rows; // top-down

    Rgb color(int x, int y) const { return table.at(rows.at(y).at(x)); }
};

BitmapView readBitmap(const Bytes& file)
{
    EXPECT_EQ(file.at(0), 'B');
    EXPECT_EQ(file.at(1), 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 14), 40u);
    BitmapView view;
    view.width = static_cast<int>(u32(file, 18));
    view.height = static_cast<int>(u32(file, 22));
    EXPECT_EQ(u16(file, 26), 1u);
    view.bits = static_cast<int>(u16(file, 28));
    EXPECT_EQ(u32(file, 30), 0u); // uncompressed
    view.colorsUsed = u32(file, 46);
    const uint32_t tableLength = view.colorsUsed != 0 ? view.colorsUsed : 1u << view.bits;
    const uint32_t offset = u32(file, 10);
    EXPECT_EQ(offset, 14 + 40 + 4 * tableLength);
    const uint32_t stride = ((view.width * view.bits + 31) / 32) * 4;
    EXPECT_EQ(u32(file, 34), stride * view.height);
    EXPECT_EQ(file.size(), offset + stride * view.height);
    for (uint32_t i = 0; i < tableLength; ++i) {
        const size_t at = 54 + 4 * i;
        view.table.push_back({file.at(at + 2), file.at(at + 1), file.at(at)});
    }
    view.rows.resize(view.height);
    for (int y = 0; y < view.height; ++y) {
        const size_t rowStart = offset + static_cast<size_t>(view.height - 1 - y) * stride;
        for (int x = 0; x < view.width; ++x) {
            const int bitPosition = x * view.bits;
            const uint8_t byte = file.at(rowStart + bitPosition / 8);
            const int shift = 8 - view.bits - bitPosition % 8;
            view.rows[y].push_back((byte >> shift) & ((1 << view.bits) - 1));
        }
    }
    return view;
}

const std::map<std::string, Bytes>& files()
{
    static const std::map<std::string, Bytes> drawn = [] {
        std::map<std::string, Bytes> byName;
        for (PictureFile& file : drawAllPictures())
            byName[file.name] = std::move(file.contents);
        return byName;
    }();
    return drawn;
}

const Bytes& file(const std::string& name)
{
    const auto found = files().find(name);
    if (found == files().end())
        throw std::runtime_error("no picture " + name);
    return found->second;
}

} // namespace

TEST(Pictures, BitmapsHaveTheirSizesDepthsAndTables)
{
    struct Expected {
        const char* name;
        int width, height, bits;
        uint32_t colorsUsed;
        size_t tableLength;
    };
    const Expected expected[] = {
        {"bitmap200.bmp", 120, 168, 8, 0, 256}, {"bitmap201.bmp", 120, 168, 4, 0, 16},
        {"bitmap202.bmp", 334, 58, 8, 0, 256},  {"bitmap203.bmp", 20, 58, 8, 0, 256},
        {"bitmap204.bmp", 10, 2, 8, 5, 5},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const BitmapView view = readBitmap(file(e.name));
        EXPECT_EQ(view.width, e.width);
        EXPECT_EQ(view.height, e.height);
        EXPECT_EQ(view.bits, e.bits);
        EXPECT_EQ(view.colorsUsed, e.colorsUsed);
        EXPECT_EQ(view.table.size(), e.tableLength);
        for (const auto& row : view.rows)
            for (int index : row)
                ASSERT_LT(static_cast<size_t>(index), view.table.size());
    }
}

TEST(Pictures, BandPicturesUseTheBannerColoursAndJoinItsLeftEdge)
{
    const BitmapView banner = readBitmap(file("bitmap202.bmp"));
    const BitmapView fill = readBitmap(file("bitmap203.bmp"));
    const BitmapView separator = readBitmap(file("bitmap204.bmp"));
    auto inBanner = [&](const Rgb& color) {
        return std::find(banner.table.begin(), banner.table.end(), color) != banner.table.end();
    };
    for (const Rgb& color : fill.table)
        EXPECT_TRUE(inBanner(color));
    for (const Rgb& color : separator.table)
        EXPECT_TRUE(inBanner(color));
    // The fill is stretched sideways, so every column must be the banner's first.
    for (int y = 0; y < fill.height; ++y)
        for (int x = 0; x < fill.width; ++x)
            EXPECT_EQ(fill.color(x, y), banner.color(0, y)) << "at " << x << ", " << y;
}

TEST(Pictures, StripPictureFloodsOnlyTheBackgroundConnectedToItsCorner)
{
    const BitmapView picture = readBitmap(file("bitmap201.bmp"));
    const Rgb teal{0, 128, 128};
    ASSERT_EQ(picture.color(1, 1), teal);
    // Reached from 1, 1 through teal pixels, counting diagonal steps as well,
    // so that whatever the fill's connectivity the rest stays untouched.
    std::vector<std::vector<bool>> reached(picture.height, std::vector<bool>(picture.width, false));
    std::vector<std::pair<int, int>> pending = {{1, 1}};
    reached[1][1] = true;
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= picture.width || ny >= picture.height || reached[ny][nx])
                    continue;
                if (picture.color(nx, ny) == teal) {
                    reached[ny][nx] = true;
                    pending.push_back({nx, ny});
                }
            }
        }
    }
    int enclosedTeal = 0;
    int borderNotReached = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.color(x, y) == teal && !reached[y][x])
                ++enclosedTeal;
            const bool onBorder = x == 0 || y == 0 || x == picture.width - 1 || y == picture.height - 1;
            if (onBorder && picture.color(x, y) == teal && !reached[y][x])
                ++borderNotReached;
        }
    }
    EXPECT_GT(enclosedTeal, 100);   // the computer's screen
    EXPECT_EQ(borderNotReached, 0); // no stray teal pocket along the edges
}

TEST(Pictures, IconsHoldA32And16PixelSixteenColourImage)
{
    for (const char* name : {"icon100.ico", "icon101.ico"}) {
        SCOPED_TRACE(name);
        const Bytes& icon = file(name);
        ASSERT_EQ(u16(icon, 0), 0u);
        ASSERT_EQ(u16(icon, 2), 1u);
        ASSERT_EQ(u16(icon, 4), 2u);
        uint32_t expectedOffset = 6 + 2 * 16;
        const int sizes[] = {32, 16};
        for (int i = 0; i < 2; ++i) {
            const size_t entry = 6 + 16 * i;
            const int size = sizes[i];
            EXPECT_EQ(icon.at(entry), size);
            EXPECT_EQ(icon.at(entry + 1), size);
            EXPECT_EQ(icon.at(entry + 2), 16);
            EXPECT_EQ(u16(icon, entry + 6), 4u);
            const uint32_t length = u32(icon, entry + 8);
            const uint32_t offset = u32(icon, entry + 12);
            EXPECT_EQ(offset, expectedOffset);
            const uint32_t colorRows = ((size * 4 + 31) / 32) * 4 * size;
            const uint32_t maskRows = ((size + 31) / 32) * 4 * size;
            EXPECT_EQ(length, 40 + 16 * 4 + colorRows + maskRows);
            EXPECT_EQ(u32(icon, offset), 40u);
            EXPECT_EQ(u32(icon, offset + 4), static_cast<uint32_t>(size));
            EXPECT_EQ(u32(icon, offset + 8), static_cast<uint32_t>(size * 2));
            EXPECT_EQ(u16(icon, offset + 14), 4u);
            EXPECT_EQ(u32(icon, offset + 20), colorRows + maskRows);
            expectedOffset += length;
        }
        EXPECT_EQ(icon.size(), expectedOffset);
    }
}

TEST(PictureFiles, PacksRowsHighNibbleFirstAndPadsThemToFourBytes)
{
    IndexedPicture picture;
    picture.width = 3;
    picture.height = 2;
    picture.bitsPerPixel = 4;
    picture.colorTable = std::vector<Rgb>(16);
    picture.colorTable[5] = {1, 2, 3};
    picture.indices = {1, 2, 3, // top row, written last
                       4, 5, 15};
    const Bytes bmp = encodeBitmapFile(picture);
    const size_t pixels = 14 + 40 + 64;
    ASSERT_EQ(bmp.size(), pixels + 8);
    EXPECT_EQ(bmp.at(14 + 40 + 4 * 5), 3); // blue first in a table entry
    const uint8_t bottomRow[] = {0x45, 0xF0, 0, 0};
    const uint8_t topRow[] = {0x12, 0x30, 0, 0};
    EXPECT_TRUE(std::equal(bottomRow, bottomRow + 4, bmp.begin() + pixels));
    EXPECT_TRUE(std::equal(topRow, topRow + 4, bmp.begin() + pixels + 4));

    picture.indices[0] = 16;
    EXPECT_THROW(encodeBitmapFile(picture), std::invalid_argument);
}

TEST(PictureFiles, ColourReductionKeepsFixedColoursExact)
{
    Canvas canvas(8, 4, {10, 20, 30});
    for (int x = 0; x < 8; ++x)
        canvas.at(x, 3) = {x * 30.0, 200, 100};
    const IndexedPicture reduced = reduceColors(canvas, {{10, 20, 30}}, 6, 4);
    ASSERT_EQ(reduced.colorTable.size(), 6u);
    EXPECT_EQ(reduced.colorTable[0], (Rgb{10, 20, 30}));
    for (int i = 0; i < 8 * 3; ++i)
        EXPECT_EQ(reduced.indices[i], 0);
}

TEST(PictureFiles, WritingIntoAMissingFolderFailsWithAMessage)
{
    const std::string error = writeFileReplacing("/nonexistent-folder/x.bmp", {1, 2, 3});
    EXPECT_NE(error.find("/nonexistent-folder/x.bmp.tmp"), std::string::npos) << error;
    EXPECT_EQ(std::fopen("/nonexistent-folder/x.bmp", "rb"), nullptr);
}
