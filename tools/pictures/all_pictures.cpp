#include "pictures.h"

std::vector<PictureFile> drawAllPictures()
{
    const IndexedPicture banner = drawBanner();
    return {
        {"icon100.ico", encodeIconFile(drawProductIcon())},
        {"icon101.ico", encodeIconFile(drawGroupIcon())},
        {"bitmap200.bmp", encodeBitmapFile(drawPagePicture())},
        {"bitmap201.bmp", encodeBitmapFile(drawStripPicture())},
        {"bitmap202.bmp", encodeBitmapFile(banner)},
        {"bitmap203.bmp", encodeBitmapFile(drawBannerFill(banner.colorTable))},
        {"bitmap204.bmp", encodeBitmapFile(drawSeparator())},
    };
}
