#include "picture_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t FILE_HEADER_SIZE = 14;

void putU16(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(Bytes& out, uint32_t value)
{
    putU16(out, value & 0xFFFF);
    putU16(out, value >> 16);
}

// Rows of a DIB are padded to a multiple of four bytes.
uint32_t rowStride(int width, int bitsPerPixel)
{
    return ((static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

void checkPicture(const IndexedPicture& picture)
{
    const int bits = picture.bitsPerPixel;
    if (bits != 1 && bits != 4 && bits != 8)
        throw std::invalid_argument("unsupported depth " + std::to_string(bits));
    if (picture.width <= 0 || picture.height <= 0)
        throw std::invalid_argument("empty picture");
    if (picture.indices.size() != static_cast<size_t>(picture.width) * picture.height)
        throw std::invalid_argument("pixel count does not match the size");
    const size_t maxColors = size_t{1} << bits;
    if (picture.colorTable.empty() || picture.colorTable.size() > maxColors)
        throw std::invalid_argument("colour table length does not suit the depth");
    for (uint8_t index : picture.indices)
        if (index >= picture.colorTable.size())
            throw std::invalid_argument("pixel refers past the colour table");
}

// biClrUsed stays 0 for a full table, as most tools write it.
uint32_t colorsUsedField(const IndexedPicture& picture)
{
    const size_t full = size_t{1} << picture.bitsPerPixel;
    return picture.colorTable.size() == full ? 0 : static_cast<uint32_t>(picture.colorTable.size());
}

void putInfoHeader(Bytes& out, const IndexedPicture& picture, int storedHeight, uint32_t imageSize)
{
    putU32(out, INFO_HEADER_SIZE);
    putU32(out, static_cast<uint32_t>(picture.width));
    putU32(out, static_cast<uint32_t>(storedHeight));
    putU16(out, 1); // planes
    putU16(out, static_cast<uint32_t>(picture.bitsPerPixel));
    putU32(out, 0); // BI_RGB
    putU32(out, imageSize);
    putU32(out, 2835); // 72 dots per inch
    putU32(out, 2835);
    putU32(out, colorsUsedField(picture));
    putU32(out, 0); // all colours important
}

void putColorTable(Bytes& out, const IndexedPicture& picture)
{
    for (const Rgb& color : picture.colorTable) {
        out.push_back(color.blue);
        out.push_back(color.green);
        out.push_back(color.red);
        out.push_back(0);
    }
}

// Packs one row of indices (or mask bits) at the given depth, padded.
void putRow(Bytes& out, const uint8_t* values, int width, int bitsPerPixel)
{
    const uint32_t stride = rowStride(width, bitsPerPixel);
    Bytes row(stride, 0);
    const int perByte = 8 / bitsPerPixel;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bitsPerPixel * (x % perByte + 1);
        row[x / perByte] |= static_cast<uint8_t>(values[x] << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
}

void putPixelRows(Bytes& out, const IndexedPicture& picture)
{
    for (int y = picture.height - 1; y >= 0; --y)
        putRow(out, &picture.indices[static_cast<size_t>(y) * picture.width], picture.width, picture.bitsPerPixel);
}

uint32_t pixelBytes(const IndexedPicture& picture)
{
    return rowStride(picture.width, picture.bitsPerPixel) * picture.height;
}

} // namespace

Bytes encodeBitmapFile(const IndexedPicture& picture)
{
    checkPicture(picture);
    const uint32_t offset = FILE_HEADER_SIZE + INFO_HEADER_SIZE + 4 * static_cast<uint32_t>(picture.colorTable.size());
    const uint32_t imageSize = pixelBytes(picture);
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    putU32(out, offset + imageSize);
    putU32(out, 0); // two reserved words
    putU32(out, offset);
    putInfoHeader(out, picture, picture.height, imageSize);
    putColorTable(out, picture);
    putPixelRows(out, picture);
    return out;
}

Bytes encodeIconFile(const std::vector<IndexedPicture>& images)
{
    constexpr uint32_t DIRECTORY_SIZE = 6;
    constexpr uint32_t ENTRY_SIZE = 16;
    std::vector<Bytes> bodies;
    for (const IndexedPicture& image : images) {
        checkPicture(image);
        if (image.width > 256 || image.height > 256)
            throw std::invalid_argument("icon image larger than 256 pixels");
        if (image.transparent.size() != image.indices.size())
            throw std::invalid_argument("icon image without a full mask");
        const uint32_t maskSize = rowStride(image.width, 1) * image.height;
        Bytes body;
        // An icon's header counts the colour rows and the mask rows together.
        putInfoHeader(body, image, image.height * 2, pixelBytes(image) + maskSize);
        putColorTable(body, image);
        putPixelRows(body, image);
        for (int y = image.height - 1; y >= 0; --y)
            putRow(body, &image.transparent[static_cast<size_t>(y) * image.width], image.width, 1);
        bodies.push_back(std::move(body));
    }
    Bytes out;
    putU16(out, 0);
    putU16(out, 1); // icon resource type
    putU16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = DIRECTORY_SIZE + ENTRY_SIZE * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IndexedPicture& image = images[i];
        out.push_back(static_cast<uint8_t>(image.width)); // 256 is written as 0
        out.push_back(static_cast<uint8_t>(image.height));
        out.push_back(static_cast<uint8_t>(image.bitsPerPixel < 8 ? image.colorTable.size() : 0));
        out.push_back(0);
        putU16(out, 1); // planes
        putU16(out, static_cast<uint32_t>(image.bitsPerPixel));
        putU32(out, static_cast<uint32_t>(bodies[i].size()));
        putU32(out, offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const Bytes& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::string writeFileReplacing(const std::string& path, const Bytes& contents)
{
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return "cannot create " + temporary + ": " + std::strerror(errno);
    const size_t written = std::fwrite(contents.data(), 1, contents.size(), file);
    const int writeError = written == contents.size() ? 0 : errno;
    if (std::fclose(file) != 0 || writeError != 0) {
        const int error = writeError != 0 ? writeError : errno;
        std::remove(temporary.c_str());
        return "cannot write " + temporary + ": " + std::strerror(error);
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return "cannot rename " + temporary + " to " + path + ": " + std::strerror(error);
    }
    return {};
}
