#include "product/config.h"

#include "payload_sizes.h"

#include <string_view>

#include "product_record.inc"

InstallPaths installPaths = {".", ".", ".", ".", ".", "."};

const char* const stepTexts[STEP_COUNT] = {
    "- License Agreement",  "- Program Location", "- Installing Files", "- Program Group",
    "- Creating Shortcuts", "- View Read Me",     "- Finished",
};

// The invariants the rest of the program relies on.
namespace {
constexpr size_t textLength(const char* text) { return std::string_view(text).size(); }

constexpr bool textFits(const char* text, size_t width) { return textLength(text) < width; }

// The backdrop's headings are composed with room for two closing NULs.
constexpr bool headingFits(const char* joint, const char* second, size_t width)
{
    return textLength(installConfig.productName) + textLength(joint) + textLength(second) + 2 <= width;
}

constexpr bool hasShortcut(const PayloadEntry& row)
{
    return !(row.shortcutCaption[0] == '-' && row.shortcutCaption[1] == '\0');
}

constexpr bool rowsAreConsistent()
{
    if (installConfig.fileCount < 0 || installConfig.fileCount > PAYLOAD_ROWS || installConfig.shortcutCount < 0 ||
        installConfig.shortcutCount > installConfig.fileCount) {
        return false;
    }
    for (int i = 0; i < installConfig.fileCount; ++i) {
        const PayloadEntry& row = installConfig.files[i];
        const uint32_t folderBits = row.flags & (FILE_IN_INSTALL_DIR | FILE_IN_WINDOWS_DIR);
        if (folderBits != FILE_IN_INSTALL_DIR && folderBits != FILE_IN_WINDOWS_DIR) {
            return false;
        }
        if (hasShortcut(row) != (i < installConfig.shortcutCount)) {
            return false;
        }
    }
    return true;
}
} // namespace

static_assert(rowsAreConsistent(),
              "every row sets exactly one folder bit, and exactly the first shortcutCount rows have a caption");
static_assert(textFits(closingNote, CLOSING_NOTE_SIZE), "the closing note fits its message buffer");
static_assert(headingFits(" v", installConfig.productVersion, sizeof InstallPaths::titleText),
              "the product name and version fit the backdrop's title");
static_assert(headingFits(" - ", installConfig.productTagline, sizeof InstallPaths::subtitleText),
              "the product name and tagline fit the backdrop's subtitle");
static_assert(sizeof(StampTime) == 16, "StampTime has the layout of SYSTEMTIME");
