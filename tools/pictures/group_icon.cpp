#include "pictures.h"
#include "pixel_art.h"

// The folder stands for the program group; the arrow in the white box is the
// mark of a shortcut.

std::vector<IndexedPicture> drawGroupIcon() {
    const IndexedPicture large = iconImageFromGrid({
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
    });
    const IndexedPicture small = iconImageFromGrid({
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
    });
    return {large, small};
}
