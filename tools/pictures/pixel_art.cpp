#include "pixel_art.h"

#include <stdexcept>

namespace {

constexpr char COLOR_LETTERS[] = "KrgynptsdRGYBMCW";

uint8_t colorIndex(char letter) {
    for (uint8_t i = 0; i < 16; ++i)
        if (COLOR_LETTERS[i] == letter)
            return i;
    throw std::invalid_argument(std::string("unknown colour letter '") + letter + "'");
}

IndexedPicture gridPicture(const std::vector<std::string>& rows, char transparentLetter,
                           char background) {
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

}  // namespace

const std::vector<Rgb>& standardColors() {
    static const std::vector<Rgb> colors = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
        {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
        {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return colors;
}

IndexedPicture iconImageFromGrid(const std::vector<std::string>& rows) {
    return gridPicture(rows, '.', 'K');
}

IndexedPicture pictureFromGrid(const std::vector<std::string>& rows, char background) {
    IndexedPicture picture = gridPicture(rows, '\0', background);
    picture.transparent.clear();
    return picture;
}
