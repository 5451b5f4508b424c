#include "pictures.h"

std::vector<PictureFile> drawAllPictures() {
    return {
        {"icon100.ico", encodeIconFile(drawProductIcon())},
    };
}
