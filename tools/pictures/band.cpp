// The backdrop's top band: banner block (202), its fill (203) and the separator
// line under the band (204). The band is 58 pixels high; the title is drawn over
// its left part, so the fill is a calm gradient and the banner's art sits to
// the right, where desktop tiles drift in from the left and settle into a grid.
#include "canvas.h"
#include "pictures.h"
#include "setup_art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int BAND_HEIGHT = 58;
constexpr int BANNER_WIDTH = 334;
constexpr int FILL_WIDTH = 20;

// The band's colour in row y: deep blue, lighter towards the top, with a fine
// light line along the top edge.
Rgb bandRowColor(int y)
{
    Color color = deepBlue(static_cast<double>(y) / (BAND_HEIGHT - 1));
    if (y == 0)
        color = mix(color, {160, 190, 255}, 0.45);
    return toRgb(color);
}

std::vector<Rgb> bandRowColors()
{
    std::vector<Rgb> rows;
    for (int y = 0; y < BAND_HEIGHT; ++y)
        rows.push_back(bandRowColor(y));
    return rows;
}

// Light top, dark bottom: a bevel between the band and the white area. The
// light line dims gently to the right in small steps, as the picture is
// stretched some ninety times its width.
const std::vector<Rgb>& separatorColors()
{
    static const std::vector<Rgb> colors = {
        {150, 190, 255}, {136, 176, 248}, {122, 162, 240}, {108, 148, 232}, {0, 16, 64}};
    return colors;
}

std::vector<Rgb> distinctColors(const std::vector<Rgb>& colors)
{
    std::vector<Rgb> distinct;
    for (const Rgb& color : colors)
        if (std::find(distinct.begin(), distinct.end(), color) == distinct.end())
            distinct.push_back(color);
    return distinct;
}

// A small pseudo-random number in [0, 1) from an integer, so that the scattered
// tiles are the same in every build.
double scatter(int seed)
{
    uint32_t v = static_cast<uint32_t>(seed) * 2654435761u;
    v ^= v >> 15;
    v *= 2246822519u;
    v ^= v >> 13;
    return (v & 0xFFFF) / 65536.0;
}

Canvas bannerCanvas()
{
    Canvas canvas(BANNER_WIDTH, BAND_HEIGHT, {});
    for (int y = 0; y < BAND_HEIGHT; ++y)
        for (int x = 0; x < BANNER_WIDTH; ++x)
            canvas.at(x, y) = colorOf(bandRowColor(y));

    // A soft glow behind the grid, none at the left edge so the fill joins cleanly.
    addLight(canvas, {40, 80, 150}, [](Point p) {
        const double dx = (p.x - 262) / 120;
        const double dy = (p.y - 26) / 44;
        return std::max(0.0, 1 - std::sqrt(dx * dx + dy * dy)) * 0.8;
    });
    // A faint sweep of light across the band.
    addLight(canvas, {70, 110, 170}, [](Point p) {
        if (p.x < 30)
            return 0.0;
        const double curve = 50 - 34 * std::pow((p.x - 30) / 304, 1.6);
        const double distanceFromCurve = std::abs(p.y - curve);
        const double fadeIn = std::min(1.0, (p.x - 30) / 120);
        return std::max(0.0, 1 - distanceFromCurve / 2.2) * 0.45 * fadeIn;
    });

    // The settled grid: three rows of six.
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            if ((row == 1 && column == 0) || (row == 2 && column == 0))
                continue; // these two are still on their way
            const Point centre{226 + 17.0 * column, 11.5 + 17.0 * row};
            Color tint = TILE_BLUE;
            if ((row * 6 + column) % 7 == 3)
                tint = TILE_GOLD;
            else if ((row * 6 + column) % 5 == 1)
                tint = TILE_AQUA;
            drawTile(canvas, centre, 13, 0, tint, 0.85);
        }
    }
    // Tiles drifting in: faint and small at the left, nearly settled at the right.
    for (int i = 0; i < 14; ++i) {
        const double progress = i / 13.0;
        const double x = 70 + progress * 135 + scatter(i * 3) * 10;
        const double y = 10 + scatter(i * 3 + 1) * 38;
        const double size = 7 + progress * 5;
        const double angle = (scatter(i * 3 + 2) - 0.5) * 70 * (1 - progress);
        const double opacity = 0.15 + 0.6 * progress;
        drawStreak(canvas, {x - size / 2, y}, {-1, 0}, 10 + 20 * progress, 5, opacity * 0.5);
        drawTile(canvas, {x, y}, size, angle, i % 4 == 2 ? TILE_AQUA : TILE_BLUE, opacity);
    }
    return canvas;
}

// The table of the banner and its fill: the band rows and separator colours
// exactly, then colours chosen for the art.
std::vector<Rgb> fixedBandColors()
{
    std::vector<Rgb> fixed = bandRowColors();
    for (const Rgb& color : separatorColors())
        fixed.push_back(color);
    return distinctColors(fixed);
}

} // namespace

IndexedPicture drawBanner() { return reduceColors(bannerCanvas(), fixedBandColors(), 256, 8); }

IndexedPicture drawBannerFill(const std::vector<Rgb>& bannerTable)
{
    IndexedPicture fill;
    fill.width = FILL_WIDTH;
    fill.height = BAND_HEIGHT;
    fill.bitsPerPixel = 8;
    fill.colorTable = bannerTable;
    const std::vector<Rgb> rows = bandRowColors();
    for (int y = 0; y < BAND_HEIGHT; ++y) {
        const auto found = std::find(fill.colorTable.begin(), fill.colorTable.end(), rows[y]);
        if (found == fill.colorTable.end())
            throw std::logic_error("the banner's table lacks a band colour");
        fill.indices.insert(fill.indices.end(), FILL_WIDTH, static_cast<uint8_t>(found - fill.colorTable.begin()));
    }
    return fill;
}

IndexedPicture drawSeparator()
{
    IndexedPicture separator;
    separator.width = 10;
    separator.height = 2;
    separator.bitsPerPixel = 8;
    separator.colorTable = separatorColors();
    separator.indices = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4};
    return separator;
}
