// pictures OUTDIR: draws the setup program's icons and bitmaps into OUTDIR.
#include "pictures.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: pictures OUTDIR\n");
        return 2;
    }
    const std::string folder = argv[1];
    try {
        for (const PictureFile& file : drawAllPictures()) {
            const std::string error = writeFileReplacing(folder + "/" + file.name, file.contents);
            if (!error.empty()) {
                std::fprintf(stderr, "pictures: %s\n", error.c_str());
                return 1;
            }
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "pictures: %s\n", failure.what());
        return 1;
    }
    return 0;
}
