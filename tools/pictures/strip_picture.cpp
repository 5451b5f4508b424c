// Picture 201: a desktop computer whose screen shows a neatly arranged desktop.
// Its teal background around the computer is replaced by the strip colour when
// the backdrop draws it; the teal of the screen is enclosed by the screen's
// black frame and so keeps its colour.
#include "pictures.h"
#include "pixel_art.h"

namespace {

constexpr int WIDTH = 120;
constexpr int HEIGHT = 168;

const std::vector<std::string> FOLDER = {
    // clang-format off
    ".yyyy.......",
    "yYYYYy......",
    "yYYYYYyyyyyy",
    "yYWYYYYYYYYy",
    "yYYYYYYYYYYy",
    "yYYYYYYYYYYy",
    "yYYYYYYYYYYy",
    "yYYYYYYYYYYy",
    "yyyyyyyyyyyy",
    // clang-format on
};

const std::vector<std::string> DOCUMENT = {
    // clang-format off
    "..KKKKKKK...",
    "..KWWWWWKK..",
    "..KWddWWKWK.",
    "..KWWWWWKKKK",
    "..KWdddddWWK",
    "..KWWWWWWWWK",
    "..KWddddddWK",
    "..KWWWWWWWWK",
    "..KKKKKKKKKK",
    // clang-format on
};

const std::vector<std::string> PROGRAM = {
    // clang-format off
    "KKKKKKKKKKKK",
    "KnnnnnnnndnK",
    "KWWWWWWWWWWK",
    "KWBBWWWWWWWK",
    "KWBBWGGGGWWK",
    "KWWWWWWWWWWK",
    "KWRRWWWWWWWK",
    "KWWWWWWWWWWK",
    "KKKKKKKKKKKK",
    // clang-format on
};

const std::vector<std::string> SPARKLE = {
    // clang-format off
    ".....Y.....",
    ".....Y.....",
    ".....Y.....",
    "....YWY....",
    "YYYYWWWYYYY",
    "....YWY....",
    ".....Y.....",
    ".....Y.....",
    ".....Y.....",
    // clang-format on
};

const std::vector<std::string> SMALL_SPARKLE = {
    // clang-format off
    ".Y.",
    "YWY",
    ".Y.",
    // clang-format on
};

void drawMonitor(IndexedPicture& picture)
{
    // Body with rounded corners.
    fillRect(picture, 6, 14, 113, 104, 'K');
    fillRect(picture, 7, 15, 112, 103, 's');
    bevel(picture, 7, 15, 112, 103, 'W', 'd');
    bevel(picture, 8, 16, 111, 102, 'W', 'd');
    for (int corner : {6, 113}) {
        plot(picture, corner, 14, 't');
        plot(picture, corner, 104, 't');
    }
    // The screen, set into the bezel.
    bevel(picture, 14, 21, 105, 93, 'd', 'W');
    fillRect(picture, 15, 22, 104, 92, 'K');
    fillRect(picture, 17, 24, 102, 90, 't');
    for (int x : {17, 102})
        for (int y : {24, 90})
            plot(picture, x, y, 'K');
    // A neat desktop: three rows of four icons with their names under them.
    const std::vector<std::string>* icons[] = {&FOLDER, &DOCUMENT, &PROGRAM, &FOLDER,   &DOCUMENT, &FOLDER,
                                               &FOLDER, &PROGRAM,  &PROGRAM, &DOCUMENT, &FOLDER,   &DOCUMENT};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const int x = 22 + column * 20;
            const int y = 28 + row * 21;
            stampGrid(picture, x, y, *icons[row * 4 + column]);
            fillRect(picture, x - 1, y + 12, x + 12, y + 13, 'W');
        }
    }
    // Badge and power light under the screen.
    fillRect(picture, 16, 97, 34, 98, 'd');
    fillRect(picture, 96, 96, 103, 99, 'd');
    bevel(picture, 96, 96, 103, 99, 'W', 'K');
    fillRect(picture, 90, 97, 91, 98, 'G');
}

void drawCase(IndexedPicture& picture)
{
    // Neck between monitor and case.
    fillRect(picture, 40, 105, 79, 108, 'K');
    fillRect(picture, 41, 105, 78, 107, 'd');
    fillRect(picture, 41, 105, 78, 105, 's');
    // The desktop case.
    fillRect(picture, 2, 109, 117, 141, 'K');
    fillRect(picture, 3, 110, 116, 140, 's');
    bevel(picture, 3, 110, 116, 140, 'W', 'd');
    fillRect(picture, 4, 139, 115, 139, 'd');
    // Two drive bays, the upper one a floppy drive with its slot and button.
    for (int top : {115, 127}) {
        bevel(picture, 66, top, 108, top + 8, 'd', 'W');
        bevel(picture, 67, top + 1, 107, top + 7, 'W', 'd');
    }
    fillRect(picture, 71, 119, 99, 120, 'K');
    fillRect(picture, 102, 122, 105, 123, 'd');
    fillRect(picture, 71, 131, 103, 131, 'd');
    // Power switch, lights and vents.
    bevel(picture, 9, 126, 17, 134, 'W', 'K');
    fillRect(picture, 10, 127, 16, 133, 's');
    fillRect(picture, 22, 129, 23, 130, 'G');
    fillRect(picture, 27, 129, 28, 130, 'Y');
    for (int y = 115; y <= 121; y += 2)
        fillRect(picture, 9, y, 56, y, 'd');
}

void drawKeyboard(IndexedPicture& picture)
{
    fillTrapezoid(picture, 146, 166, 12, 107, 3, 116, 'K');
    fillTrapezoid(picture, 147, 164, 13, 106, 5, 114, 's');
    fillRect(picture, 5, 165, 114, 165, 'd');
    fillTrapezoid(picture, 147, 147, 13, 106, 13, 106, 'W');
    // Three rows of keys narrowing towards the back, then the space bar row.
    auto key = [&](int left, int right, int y) {
        fillRect(picture, left, y, right, y + 2, 'W');
        fillRect(picture, left + 1, y + 2, right, y + 2, 'd');
        fillRect(picture, right, y, right, y + 2, 'd');
    };
    for (int row = 0; row < 3; ++row) {
        const int y = 149 + row * 4;
        const double t = (y - 147) / 17.0;
        const int left = static_cast<int>(13 + (5 - 13) * t) + 4;
        const int right = static_cast<int>(106 + (114 - 106) * t) - 4;
        for (int x = left + (row % 2) * 2; x + 3 <= right; x += 5)
            key(x, x + 3, y);
    }
    key(13, 22, 161);
    key(25, 33, 161);
    key(36, 83, 161);
    key(86, 94, 161);
    key(97, 106, 161);
}

} // namespace

IndexedPicture drawStripPicture()
{
    IndexedPicture picture = pictureFromGrid(std::vector<std::string>(HEIGHT, std::string(WIDTH, '.')), 't');
    drawMonitor(picture);
    drawCase(picture);
    drawKeyboard(picture);
    stampGrid(picture, 101, 2, SPARKLE);
    stampGrid(picture, 92, 9, SMALL_SPARKLE);
    return picture;
}
