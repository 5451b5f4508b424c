#include "setup_art.h"

#include <cmath>

Color deepBlue(double depth) { return mix({44, 90, 186}, {4, 28, 100}, std::pow(depth, 0.75)); }

void drawTile(Canvas& canvas, Point centre, double size, double degrees, Color tint, double opacity)
{
    const double half = size / 2;
    auto square = [&](Point at, double inset, double radius) {
        return rotatedShape(roundedRectShape(at.x - half + inset, at.y - half + inset, at.x + half - inset,
                                             at.y + half - inset, radius),
                            at, degrees);
    };
    const double top = centre.y - half;
    fillShape(canvas, square({centre.x + 1, centre.y + 1.5}, 0, size * 0.22), Color{0, 10, 40}, opacity * 0.45);
    fillShape(canvas, square(centre, 0, size * 0.22), Color{215, 230, 255}, opacity * 0.9);
    fillShape(
        canvas, square(centre, 1.2, size * 0.16),
        [=](Point p) {
            return mix(mix(tint, {255, 255, 255}, 0.6), tint, (p.y - top) / size);
        },
        opacity);
}

void drawStreak(Canvas& canvas, Point head, Point direction, double length, double width, double opacity)
{
    const double half = width / 2;
    addLight(canvas, {90, 130, 200}, [=](Point p) {
        const double along = (p.x - head.x) * direction.x + (p.y - head.y) * direction.y;
        const double across = std::abs((p.x - head.x) * direction.y - (p.y - head.y) * direction.x);
        if (along < 0 || along > length || across > half)
            return 0.0;
        return (1 - along / length) * (1 - across / half) * opacity;
    });
}
