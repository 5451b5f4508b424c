#include "picture_rules.h"

#include "rules/dib.h"

#include <cstring>

namespace {
// The drawn pictures' sizes and depths, which the dialogs and the backdrop
// are laid out for.
const PictureRule allPictureRules[] = {
    {"product icon", "icon100.ico", true, 32, 32, 8},      {"group icon", "icon101.ico", true, 32, 32, 8},
    {"page picture", "bitmap200.bmp", false, 120, 168, 8}, {"strip picture", "bitmap201.bmp", false, 120, 168, 4},
    {"banner", "bitmap202.bmp", false, 334, 58, 8},        {"banner fill", "bitmap203.bmp", false, 20, 58, 8},
    {"separator", "bitmap204.bmp", false, 10, 2, 8},
};

constexpr size_t BITMAP_FILE_HEADER_SIZE = 14;
constexpr size_t ICON_DIRECTORY_SIZE = 6;
constexpr size_t ICON_ENTRY_SIZE = 16;

unsigned readLittleEndian(const std::vector<unsigned char>& bytes, size_t at, int count)
{
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[at + i];
    }
    return value;
}

// The DIB header at the offset, copied out (the bytes need not be aligned),
// when the block from there holds it whole.
bool dibHeaderAt(const std::vector<unsigned char>& bytes, size_t at, size_t length, DibHeader& header)
{
    if (at > bytes.size() || length > bytes.size() - at || length < sizeof header) {
        return false;
    }
    std::memcpy(&header, bytes.data() + at, sizeof header);
    return header.size == sizeof header;
}

// dibIsComplete reads the header in place: it gets an aligned copy of the
// block, which dibHeaderAt has found inside the file.
bool dibIsWhole(const std::vector<unsigned char>& bytes, size_t at, size_t length)
{
    const std::vector<unsigned char> aligned(bytes.begin() + at, bytes.begin() + at + length);
    return dibIsComplete(reinterpret_cast<const DibHeader*>(aligned.data()), aligned.size());
}

std::string sizeText(int width, int height) { return std::to_string(width) + " x " + std::to_string(height); }

std::string bitmapProblem(const PictureRule& rule, const std::vector<unsigned char>& bytes)
{
    const std::string wanted = "a Windows bitmap (BMP3) of " + sizeText(rule.width, rule.height) + " pixels in " +
                               std::to_string(rule.bitsPerPixel) + " bits per pixel, uncompressed";
    DibHeader header;
    if (bytes.size() < BITMAP_FILE_HEADER_SIZE || bytes[0] != 'B' || bytes[1] != 'M' ||
        !dibHeaderAt(bytes, BITMAP_FILE_HEADER_SIZE, bytes.size() - BITMAP_FILE_HEADER_SIZE, header)) {
        return "is not " + wanted;
    }
    if (header.width != rule.width || header.height != rule.height || header.planes != 1 ||
        header.bitCount != rule.bitsPerPixel || header.compression != 0) {
        return "is " + sizeText(header.width, header.height) + " pixels in " + std::to_string(header.bitCount) +
               " bits per pixel" + (header.compression != 0 ? ", compressed" : "") + "; it must be " + wanted;
    }
    if (!dibIsWhole(bytes, BITMAP_FILE_HEADER_SIZE, bytes.size() - BITMAP_FILE_HEADER_SIZE)) {
        return "is cut short: its pixel rows are not all there";
    }
    return "";
}

// True when the icon file holds an image of the size, in at most the depth,
// whose DIB is whole.
bool iconHasImage(const std::vector<unsigned char>& bytes, int size, int bitsPerPixel)
{
    const unsigned count = readLittleEndian(bytes, 4, 2);
    for (unsigned i = 0; i < count; ++i) {
        const size_t entry = ICON_DIRECTORY_SIZE + i * ICON_ENTRY_SIZE;
        if (entry + ICON_ENTRY_SIZE > bytes.size()) {
            return false;
        }
        const unsigned length = readLittleEndian(bytes, entry + 8, 4);
        const unsigned offset = readLittleEndian(bytes, entry + 12, 4);
        DibHeader header;
        if (bytes[entry] != size || bytes[entry + 1] != size || !dibHeaderAt(bytes, offset, length, header)) {
            continue;
        }
        if (header.width == size && header.height == 2 * size && header.bitCount <= bitsPerPixel &&
            header.compression == 0 && dibIsWhole(bytes, offset, length)) {
            return true;
        }
    }
    return false;
}

std::string iconProblem(const PictureRule& rule, const std::vector<unsigned char>& bytes)
{
    const std::string wanted = "an icon file with a " + sizeText(rule.width, rule.height) + " and a " +
                               sizeText(rule.width / 2, rule.height / 2) + " image of at most " +
                               std::to_string(1 << rule.bitsPerPixel) + " colours";
    if (bytes.size() < ICON_DIRECTORY_SIZE || readLittleEndian(bytes, 0, 2) != 0 ||
        readLittleEndian(bytes, 2, 2) != 1) {
        return "is not " + wanted;
    }
    if (!iconHasImage(bytes, rule.width, rule.bitsPerPixel) ||
        !iconHasImage(bytes, rule.width / 2, rule.bitsPerPixel)) {
        return "lacks an image: it must be " + wanted;
    }
    return "";
}
} // namespace

std::span<const PictureRule> pictureRules() { return allPictureRules; }

const PictureRule* pictureRule(const std::string& key)
{
    for (const PictureRule& rule : allPictureRules) {
        if (key == rule.key) {
            return &rule;
        }
    }
    return nullptr;
}

std::string pictureKeys()
{
    std::string keys;
    for (const PictureRule& rule : allPictureRules) {
        keys += (keys.empty() ? "" : ", ") + std::string(rule.key);
    }
    return keys;
}

std::string pictureProblem(const PictureRule& rule, const std::vector<unsigned char>& bytes)
{
    return rule.isIcon ? iconProblem(rule, bytes) : bitmapProblem(rule, bytes);
}
