#include "pixel_art.h"

#include <stdexcept>

namespace {

constexpr char COLOR_LETTERS[] = "KrgynptsdRGYBMCW";

uint8_t colorIndex(char letter)
{
    for (uint8_t i = 0; i < 16; ++i)
        if (COLOR_LETTERS[i] == letter)
            return i;
    throw std::invalid_argument(std::string("unknown colour letter '") + letter + "'");
}

IndexedPicture gridPicture(const std::vector<std::string>& rows, char transparentLetter, char background)
{
    IndexedPicture picture;
    picture.height = static_cast<int>(rows.size());
    picture.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    picture.bitsPerPixel = 4;
    picture.colorTable = standardColors();
    for (const std::string& row : rows) {
        if (static_cast<int>(row.size()) != picture.width)
            throw std::invalid_argument("grid rows differ in length");
        for (char letter : row) {
            const bool clear = letter == transparentLetter;
            picture.indices.push_back(colorIndex(letter == '.' ? background : letter));
            picture.transparent.push_back(clear ? 1 : 0);
        }
    }
    return picture;
}

} // namespace

const std::vector<Rgb>& standardColors()
{
    static const std::vector<Rgb> colors = {
        {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
        {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
    };
    return colors;
}

IndexedPicture iconImageFromGrid(const std::vector<std::string>& rows) { return gridPicture(rows, '.', 'K'); }

IndexedPicture pictureFromGrid(const std::vector<std::string>& rows, char background)
{
    IndexedPicture picture = gridPicture(rows, '\0', background);
    picture.transparent.clear();
    return picture;
}

void plot(IndexedPicture& picture, int x, int y, char letter)
{
    if (x >= 0 && y >= 0 && x < picture.width && y < picture.height)
        picture.indices[static_cast<size_t>(y) * picture.width + x] = colorIndex(letter);
}

void fillRect(IndexedPicture& picture, int left, int top, int right, int bottom, char letter)
{
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            plot(picture, x, y, letter);
}

void bevel(IndexedPicture& picture, int left, int top, int right, int bottom, char light, char dark)
{
    fillRect(picture, left, top, right, top, light);
    fillRect(picture, left, top, left, bottom, light);
    fillRect(picture, left + 1, bottom, right, bottom, dark);
    fillRect(picture, right, top + 1, right, bottom, dark);
}

void fillTrapezoid(IndexedPicture& picture, int top, int bottom, int topLeft, int topRight, int bottomLeft,
                   int bottomRight, char letter)
{
    for (int y = top; y <= bottom; ++y) {
        const double t = bottom == top ? 0.0 : static_cast<double>(y - top) / (bottom - top);
        const int left = static_cast<int>(topLeft + (bottomLeft - topLeft) * t + 0.5);
        const int right = static_cast<int>(topRight + (bottomRight - topRight) * t + 0.5);
        fillRect(picture, left, y, right, y, letter);
    }
}

void stampGrid(IndexedPicture& picture, int x, int y, const std::vector<std::string>& rows)
{
    for (size_t row = 0; row < rows.size(); ++row)
        for (size_t column = 0; column < rows[row].size(); ++column)
            if (rows[row][column] != '.')
                plot(picture, x + static_cast<int>(column), y + static_cast<int>(row), rows[row][column]);
}
