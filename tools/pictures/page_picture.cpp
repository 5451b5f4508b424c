// Picture 200, beside the location and installing pages: documents and tiles
// dropping into an open folder, on the deep blue of the backdrop's band.
#include "canvas.h"
#include "pictures.h"
#include "setup_art.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int WIDTH = 120;
constexpr int HEIGHT = 168;

void drawBackground(Canvas& canvas)
{
    for (int y = 0; y < HEIGHT; ++y)
        for (int x = 0; x < WIDTH; ++x)
            canvas.at(x, y) = deepBlue(y / (HEIGHT - 1.0));
    addLight(canvas, {50, 90, 160}, [](Point p) {
        const double dx = (p.x - 62) / 70;
        const double dy = (p.y - 100) / 80;
        return std::max(0.0, 1 - std::sqrt(dx * dx + dy * dy)) * 0.7;
    });
    // Two faint sweeps of light, as in the banner.
    for (double offset : {0.0, 9.0}) {
        addLight(canvas, {70, 110, 170}, [offset](Point p) {
            const double curve = 40 + offset + 0.004 * (p.x - 130) * (p.x - 130);
            return std::max(0.0, 1 - std::abs(p.y - curve) / 1.8) * (offset == 0 ? 0.45 : 0.25);
        });
    }
}

// A sheet of paper with a turned-down corner and lines of text.
void drawDocument(Canvas& canvas, Point centre, double degrees, double opacity)
{
    const double w = 24;
    const double h = 30;
    const double left = centre.x - w / 2;
    const double top = centre.y - h / 2;
    auto turned = [&](const Shape& shape) { return rotatedShape(shape, centre, degrees); };
    auto sheet = [&](double dx, double dy) {
        return turned(polygonShape({{left + dx, top + dy},
                                    {left + w - 7 + dx, top + dy},
                                    {left + w + dx, top + 7 + dy},
                                    {left + w + dx, top + h + dy},
                                    {left + dx, top + h + dy}}));
    };
    fillShape(canvas, sheet(1.5, 2), Color{0, 10, 40}, 0.4 * opacity);
    fillShape(
        canvas, sheet(0, 0),
        [=](Point p) {
            return mix({255, 255, 255}, {214, 224, 240}, (p.y - top) / h);
        },
        opacity);
    fillShape(canvas, turned(polygonShape({{left + w - 7, top}, {left + w - 7, top + 7}, {left + w, top + 7}})),
              Color{170, 182, 205}, opacity);
    for (int line = 0; line < 5; ++line) {
        const double y = top + 11 + line * 3.6;
        const double end = left + w - 4 - (line % 3 == 2 ? 7 : 0);
        fillShape(canvas, turned(lineShape({left + 4, y}, {end, y}, 1.2)), Color{120, 140, 180}, opacity);
    }
}

void drawFolder(Canvas& canvas)
{
    const Color deepGold{196, 138, 30};
    const Color gold{236, 178, 56};
    const Color paleGold{255, 226, 130};
    // Shadow on the ground.
    fillShape(canvas, ellipseShape({62, 154}, 50, 6), Color{0, 8, 36}, 0.55);
    // The back of the folder with its tab.
    fillShape(canvas, polygonShape({{18, 96}, {44, 96}, {50, 102}, {100, 102}, {100, 152}, {18, 152}}),
              [=](Point p) { return mix(gold, deepGold, (p.y - 96) / 56); });
    fillShape(canvas, polygonShape({{19, 97}, {43.5, 97}, {49.5, 103}, {99, 103}, {99, 104}, {19, 104}}), paleGold,
              0.6);
    // Papers standing in it.
    drawDocument(canvas, {48, 104}, -8, 1.0);
    drawDocument(canvas, {70, 106}, 6, 1.0);
    // The front flap, tipped open towards the viewer.
    const Shape flap = polygonShape({{12, 118}, {96, 118}, {106, 154}, {22, 154}});
    fillShape(canvas, flap, [=](Point p) { return mix(paleGold, gold, (p.y - 118) / 36); });
    fillShape(canvas, lineShape({12.5, 118.5}, {95.5, 118.5}, 1.2), Color{255, 244, 200}, 0.9);
    fillShape(canvas, lineShape({22, 153.5}, {106, 153.5}, 1.2), deepGold, 0.9);
}

} // namespace

IndexedPicture drawPagePicture()
{
    Canvas canvas(WIDTH, HEIGHT, {});
    drawBackground(canvas);
    // Falling in, from faint at the top to nearly arrived.
    const Point up{0, -1};
    drawStreak(canvas, {30, 22}, up, 18, 8, 0.25);
    drawTile(canvas, {30, 28}, 11, -20, TILE_BLUE, 0.5);
    drawStreak(canvas, {88, 30}, up, 22, 9, 0.3);
    drawTile(canvas, {88, 36}, 12, 15, TILE_GOLD, 0.7);
    drawStreak(canvas, {58, 48}, up, 26, 14, 0.3);
    drawDocument(canvas, {58, 62}, -14, 0.9);
    drawStreak(canvas, {32, 66}, up, 20, 10, 0.3);
    drawTile(canvas, {32, 72}, 12, 8, TILE_AQUA, 0.85);
    drawFolder(canvas);
    // A sparkle over the folder.
    const Point star{96, 86};
    fillShape(canvas,
              polygonShape({{star.x, star.y - 9},
                            {star.x + 1.6, star.y - 1.6},
                            {star.x + 9, star.y},
                            {star.x + 1.6, star.y + 1.6},
                            {star.x, star.y + 9},
                            {star.x - 1.6, star.y + 1.6},
                            {star.x - 9, star.y},
                            {star.x - 1.6, star.y - 1.6}}),
              Color{255, 250, 200});
    addLight(canvas, {120, 120, 80}, [star](Point p) {
        const double d = std::hypot(p.x - star.x, p.y - star.y);
        return std::max(0.0, 1 - d / 7) * 0.8;
    });
    return reduceColors(canvas, {}, 256, 8);
}
