// Procedural drawing on a full-colour canvas, and its reduction to a colour table.
#pragma once

#include "picture_files.h"

#include <functional>
#include <vector>

struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
};

Color mix(Color from, Color to, double amount);
Color colorOf(Rgb rgb);

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Color> pixels; // top-down

    Canvas(int canvasWidth, int canvasHeight, Color fill);
    Color& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Color& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Point {
    double x = 0;
    double y = 0;
};

// A shape is a test of whether a point (in pixel units, pixel centres at
// +0.5) lies inside it, together with the box that holds it.
struct Shape {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
    std::function<bool(Point)> contains;
};

Shape ellipseShape(Point centre, double radiusX, double radiusY);
Shape polygonShape(const std::vector<Point>& corners);
Shape roundedRectShape(double left, double top, double right, double bottom, double radius);
// The shape turned by `degrees` (clockwise on screen) about `pivot`.
Shape rotatedShape(const Shape& shape, Point pivot, double degrees);
// A straight stroke of the given width with round ends.
Shape lineShape(Point from, Point to, double width);

using Paint = std::function<Color(Point)>;

// Covers the shape with `paint` at the given opacity, edges smoothed by
// sampling each pixel on a 4 x 4 grid.
void fillShape(Canvas& canvas, const Shape& shape, const Paint& paint, double opacity = 1.0);
void fillShape(Canvas& canvas, const Shape& shape, Color color, double opacity = 1.0);

// Adds light: each pixel gains `color` scaled by `strength(point)` (0 to 1).
void addLight(Canvas& canvas, Color color, const std::function<double(Point)>& strength);

// Reduces the canvas to at most `tableSize` colours. `fixedColors` come first in
// the table, unchanged; the rest are chosen by median cut from the pixels that
// are not already one of them. Error diffusion (Floyd-Steinberg) smooths
// gradients; pixels that are exactly a fixed colour stay exact as long as no
// error reaches them.
IndexedPicture reduceColors(const Canvas& canvas, const std::vector<Rgb>& fixedColors, int tableSize, int bitsPerPixel);

Rgb toRgb(Color color);
