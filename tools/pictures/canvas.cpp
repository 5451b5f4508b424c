#include "canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

Color mix(Color from, Color to, double amount)
{
    return {from.red + (to.red - from.red) * amount, from.green + (to.green - from.green) * amount,
            from.blue + (to.blue - from.blue) * amount};
}

Color colorOf(Rgb rgb) { return {double(rgb.red), double(rgb.green), double(rgb.blue)}; }

namespace {

uint8_t channel(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

} // namespace

Rgb toRgb(Color color) { return {channel(color.red), channel(color.green), channel(color.blue)}; }

Canvas::Canvas(int canvasWidth, int canvasHeight, Color fill)
    : width(canvasWidth), height(canvasHeight), pixels(static_cast<size_t>(canvasWidth) * canvasHeight, fill)
{
}

Shape ellipseShape(Point centre, double radiusX, double radiusY)
{
    return {centre.x - radiusX, centre.y - radiusY, centre.x + radiusX, centre.y + radiusY, [=](Point p) {
                const double dx = (p.x - centre.x) / radiusX;
                const double dy = (p.y - centre.y) / radiusY;
                return dx * dx + dy * dy <= 1.0;
            }};
}

Shape polygonShape(const std::vector<Point>& corners)
{
    Shape shape{corners[0].x, corners[0].y, corners[0].x, corners[0].y, nullptr};
    for (const Point& corner : corners) {
        shape.left = std::min(shape.left, corner.x);
        shape.top = std::min(shape.top, corner.y);
        shape.right = std::max(shape.right, corner.x);
        shape.bottom = std::max(shape.bottom, corner.y);
    }
    shape.contains = [corners](Point p) {
        bool inside = false;
        for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const Point& a = corners[i];
            const Point& b = corners[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside;
    };
    return shape;
}

Shape roundedRectShape(double left, double top, double right, double bottom, double radius)
{
    return {left, top, right, bottom, [=](Point p) {
                if (p.x < left || p.x > right || p.y < top || p.y > bottom)
                    return false;
                const double dx = std::max({left + radius - p.x, 0.0, p.x - (right - radius)});
                const double dy = std::max({top + radius - p.y, 0.0, p.y - (bottom - radius)});
                return dx * dx + dy * dy <= radius * radius;
            }};
}

Shape rotatedShape(const Shape& shape, Point pivot, double degrees)
{
    const double angle = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    // The turned box: the original box's corners turned, then bounded.
    const std::array<Point, 4> corners = {Point{shape.left, shape.top}, Point{shape.right, shape.top},
                                          Point{shape.right, shape.bottom}, Point{shape.left, shape.bottom}};
    Shape turned{1e9, 1e9, -1e9, -1e9, nullptr};
    for (const Point& corner : corners) {
        const double dx = corner.x - pivot.x;
        const double dy = corner.y - pivot.y;
        const Point moved{pivot.x + dx * c - dy * s, pivot.y + dx * s + dy * c};
        turned.left = std::min(turned.left, moved.x);
        turned.top = std::min(turned.top, moved.y);
        turned.right = std::max(turned.right, moved.x);
        turned.bottom = std::max(turned.bottom, moved.y);
    }
    const auto original = shape.contains;
    turned.contains = [=](Point p) {
        const double dx = p.x - pivot.x;
        const double dy = p.y - pivot.y;
        return original({pivot.x + dx * c + dy * s, pivot.y - dx * s + dy * c});
    };
    return turned;
}

Shape lineShape(Point from, Point to, double width)
{
    const double half = width / 2;
    return {std::min(from.x, to.x) - half, std::min(from.y, to.y) - half, std::max(from.x, to.x) + half,
            std::max(from.y, to.y) + half, [=](Point p) {
                const double vx = to.x - from.x;
                const double vy = to.y - from.y;
                const double lengthSquared = vx * vx + vy * vy;
                double t = lengthSquared > 0 ? ((p.x - from.x) * vx + (p.y - from.y) * vy) / lengthSquared : 0;
                t = std::clamp(t, 0.0, 1.0);
                const double dx = p.x - (from.x + t * vx);
                const double dy = p.y - (from.y + t * vy);
                return dx * dx + dy * dy <= half * half;
            }};
}

void fillShape(Canvas& canvas, const Shape& shape, const Paint& paint, double opacity)
{
    constexpr int GRID = 4;
    const int x0 = std::max(0, static_cast<int>(std::floor(shape.left)));
    const int y0 = std::max(0, static_cast<int>(std::floor(shape.top)));
    const int x1 = std::min(canvas.width - 1, static_cast<int>(std::ceil(shape.right)));
    const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(shape.bottom)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            int covered = 0;
            for (int sy = 0; sy < GRID; ++sy)
                for (int sx = 0; sx < GRID; ++sx)
                    covered += shape.contains({x + (sx + 0.5) / GRID, y + (sy + 0.5) / GRID});
            if (covered == 0)
                continue;
            const Point centre{x + 0.5, y + 0.5};
            canvas.at(x, y) = mix(canvas.at(x, y), paint(centre), opacity * covered / (GRID * GRID));
        }
    }
}

void fillShape(Canvas& canvas, const Shape& shape, Color color, double opacity)
{
    fillShape(
        canvas, shape, [color](Point) { return color; }, opacity);
}

void addLight(Canvas& canvas, Color color, const std::function<double(Point)>& strength)
{
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const double amount = strength({x + 0.5, y + 0.5});
            if (amount <= 0)
                continue;
            Color& pixel = canvas.at(x, y);
            pixel.red += color.red * amount;
            pixel.green += color.green * amount;
            pixel.blue += color.blue * amount;
        }
    }
}

namespace {

// A box of colours for median cut.
struct ColorBox {
    std::vector<Rgb> colors;

    int widestChannel(int& spread) const
    {
        std::array<int, 3> low = {255, 255, 255};
        std::array<int, 3> high = {0, 0, 0};
        for (const Rgb& c : colors) {
            const std::array<int, 3> v = {c.red, c.green, c.blue};
            for (int i = 0; i < 3; ++i) {
                low[i] = std::min(low[i], v[i]);
                high[i] = std::max(high[i], v[i]);
            }
        }
        int widest = 0;
        for (int i = 1; i < 3; ++i)
            if (high[i] - low[i] > high[widest] - low[widest])
                widest = i;
        spread = high[widest] - low[widest];
        return widest;
    }

    Rgb average() const
    {
        double sum[3] = {0, 0, 0};
        for (const Rgb& c : colors) {
            sum[0] += c.red;
            sum[1] += c.green;
            sum[2] += c.blue;
        }
        const double n = static_cast<double>(colors.size());
        return toRgb({sum[0] / n, sum[1] / n, sum[2] / n});
    }
};

uint8_t component(const Rgb& c, int channelIndex)
{
    return channelIndex == 0 ? c.red : channelIndex == 1 ? c.green : c.blue;
}

std::vector<Rgb> medianCut(std::vector<Rgb> colors, size_t wanted)
{
    std::vector<ColorBox> boxes;
    if (colors.empty() || wanted == 0)
        return {};
    boxes.push_back({std::move(colors)});
    while (boxes.size() < wanted) {
        // Split the box with the widest spread, weighted by its population.
        size_t chosen = boxes.size();
        double best = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int spread = 0;
            boxes[i].widestChannel(spread);
            const double score = spread * std::sqrt(static_cast<double>(boxes[i].colors.size()));
            if (spread > 0 && score > best) {
                best = score;
                chosen = i;
            }
        }
        if (chosen == boxes.size())
            break;
        int spread = 0;
        const int channelIndex = boxes[chosen].widestChannel(spread);
        std::vector<Rgb>& all = boxes[chosen].colors;
        std::sort(all.begin(), all.end(), [channelIndex](const Rgb& a, const Rgb& b) {
            return component(a, channelIndex) < component(b, channelIndex);
        });
        // Cut at the median, moved off a run of equal values so both halves differ.
        size_t cut = all.size() / 2;
        while (cut < all.size() && component(all[cut], channelIndex) == component(all[cut - 1], channelIndex))
            ++cut;
        if (cut == all.size()) {
            cut = all.size() / 2;
            while (cut > 0 && component(all[cut], channelIndex) == component(all[cut - 1], channelIndex))
                --cut;
        }
        ColorBox upper{std::vector<Rgb>(all.begin() + static_cast<std::ptrdiff_t>(cut), all.end())};
        all.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<Rgb> table;
    for (const ColorBox& box : boxes)
        table.push_back(box.average());
    return table;
}

double distance(const Color& a, const Rgb& b)
{
    // Weighted towards green, as the eye is.
    const double dr = a.red - b.red;
    const double dg = a.green - b.green;
    const double db = a.blue - b.blue;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

uint8_t nearestIndex(const std::vector<Rgb>& table, const Color& color)
{
    size_t best = 0;
    double bestDistance = distance(color, table[0]);
    for (size_t i = 1; i < table.size() && bestDistance > 0; ++i) {
        const double d = distance(color, table[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<uint8_t>(best);
}

} // namespace

IndexedPicture reduceColors(const Canvas& canvas, const std::vector<Rgb>& fixedColors, int tableSize, int bitsPerPixel)
{
    if (static_cast<int>(fixedColors.size()) > tableSize || tableSize > (1 << bitsPerPixel))
        throw std::invalid_argument("colour table too small for the fixed colours");
    std::vector<Rgb> others;
    for (const Color& pixel : canvas.pixels) {
        const Rgb rgb = toRgb(pixel);
        if (std::find(fixedColors.begin(), fixedColors.end(), rgb) == fixedColors.end())
            others.push_back(rgb);
    }
    IndexedPicture picture;
    picture.width = canvas.width;
    picture.height = canvas.height;
    picture.bitsPerPixel = bitsPerPixel;
    picture.colorTable = fixedColors;
    for (const Rgb& chosen : medianCut(std::move(others), tableSize - fixedColors.size()))
        picture.colorTable.push_back(chosen);
    // Unused entries repeat the last colour so the table has its full length.
    while (static_cast<int>(picture.colorTable.size()) < tableSize)
        picture.colorTable.push_back(picture.colorTable.back());

    std::vector<Color> work = canvas.pixels;
    picture.indices.resize(work.size());
    auto spread = [&](int x, int y, const Color& error, double share) {
        if (x < 0 || x >= canvas.width || y >= canvas.height)
            return;
        Color& target = work[static_cast<size_t>(y) * canvas.width + x];
        target.red += error.red * share;
        target.green += error.green * share;
        target.blue += error.blue * share;
    };
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            const size_t at = static_cast<size_t>(y) * canvas.width + x;
            const uint8_t index = nearestIndex(picture.colorTable, work[at]);
            picture.indices[at] = index;
            const Rgb& chosen = picture.colorTable[index];
            const Color error{work[at].red - chosen.red, work[at].green - chosen.green, work[at].blue - chosen.blue};
            spread(x + 1, y, error, 7.0 / 16);
            spread(x - 1, y + 1, error, 3.0 / 16);
            spread(x, y + 1, error, 5.0 / 16);
            spread(x + 1, y + 1, error, 1.0 / 16);
        }
    }
    return picture;
}
