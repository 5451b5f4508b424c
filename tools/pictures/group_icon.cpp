#include "pictures.h"
#include "pixel_art.h"

// The folder stands for the program group; the arrow in the white box is the
// mark of a shortcut.

std::vector<IndexedPicture> drawGroupIcon()
{
    const IndexedPicture large = iconImageFromGrid({
        // clang-format off
        "................................",
        "................................",
        "................................",
        "..KKKKKKKKK.....................",
        ".KWWWWWWWWWK....................",
        ".KWYYYYYYYYK....................",
        ".KWYYYYYYYYKKKKKKKKKKKKKKKKKKKK.",
        ".KWYYYYYYYYWWWWWWWWWWWWWWWWWWWK.",
        ".KWYYKKKKKKKKKKKKKKKKKKKKKKYYYK.",
        ".KWYYKWWWWWWWWWWWWWWWWWWWWKYYYK.",
        ".KWYYKWWddddddddddddddWWWWKYYYK.",
        ".KWYYKWWWWWWWWWWWWWWWWWWWWKYYYK.",
        ".KKKKKKKKKKKKKKKKKKKKKKKKKKKKKK.",
        ".KWWWWWWWWWWWWWWWWWWWWWWWWWWWWK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        ".KWYYYYYYYYYYYYYYYYYYYYYYYYYYyK.",
        "KKKKKKKKKKKKYYYYYYYYYYYYYYYYYyK.",
        "KWWWWWWWWWWKYYYYYYYYYYYYYYYYYyK.",
        "KWWWWWKKKKWKYYYYYYYYYYYYYYYYYyK.",
        "KWWWWWWKKKWKYYYYYYYYYYYYYYYYYyK.",
        "KWWWWWKKKKWKYYYYYYYYYYYYYYYYYyK.",
        "KWWWWKKKWKWKYYYYYYYYYYYYYYYYYyK.",
        "KWWWKKKWWWWKyyyyyyyyyyyyyyyyyyK.",
        "KWWKKKWWWWWKKKKKKKKKKKKKKKKKKK..",
        "KWWKKWWWWWWK....................",
        "KWWKKWWWWWWK....................",
        "KWWWWWWWWWWK....................",
        "KKKKKKKKKKKK....................",
        // clang-format on
    });
    const IndexedPicture small = iconImageFromGrid({
        // clang-format off
        "................",
        "................",
        "..KKKKK.........",
        ".KWWWWWK........",
        ".KYYYYYKKKKKKKK.",
        ".KYKKKKKKKKKKYK.",
        ".KYKWWWWWWWWKYK.",
        ".KKKKKKKKKKKKKK.",
        "KKKKKKKKYYYYYyK.",
        "KWWWWWWKYYYYYyK.",
        "KWWKKKWKYYYYYyK.",
        "KWWWKKWKYYYYYyK.",
        "KWWKWKWKYYYYYyK.",
        "KWKWWWWKyyyyyyK.",
        "KWWWWWWKKKKKKKK.",
        "KKKKKKKK........",
        // clang-format on
    });
    return {large, small};
}
