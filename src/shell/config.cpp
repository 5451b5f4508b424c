#include "shell/config.h"

#include "payload_sizes.h"

#include <string_view>

constexpr InstallConfig installConfig = {
    "Tidy Kit",
    "3.08",
    "Keep Your Desktop Neat!",
    "Moorfield Systems",
    "http://www.moorfield-systems.com/tidykit/",
    {2007, 11, 5, 9, 3, 8, 0, 0},
    {
        {"Tkremove.exe", FILE_IN_WINDOWS_DIR | FILE_OVERWRITE, "UINSTALL", "Uninstall", UINSTALL_SIZES},
        {"Tkpatch.exe", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "UPDATER", "Update", UPDATER_SIZES},
        {"Tidy Kit.exe", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "PROGRAM", "Tidy Kit", PROGRAM_SIZES},
        {"Tidy Kit.hlp", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "HELPFILE", "Help", HELPFILE_SIZES},
        {"ReadFirst.txt", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "README", "Read Me", README_SIZES},
        {"Add-Ons.dat", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "PLUGINS", "-", PLUGINS_SIZES},
        {"Buying.txt", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "ORDER", "-", ORDER_SIZES},
        {"Owner.txt", FILE_IN_INSTALL_DIR | FILE_OVERWRITE, "REGINFO", "-", REGINFO_SIZES},
    },
    8,
    5,
};

InstallPaths installPaths = {".", ".", ".", ".", ".", "."};

const char* const stepTexts[STEP_COUNT] = {
    "- License Agreement",  "- Program Location", "- Installing Files", "- Program Group",
    "- Creating Shortcuts", "- View Read Me",     "- Finished",
};

const char* const preservedExtensions[PRESERVED_EXTENSION_COUNT] = {".CPI", ".CIA", ".DAT", ".KEY"};

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
static_assert(textFits(closingNote, 512), "the closing note fits its 512-byte buffer");
static_assert(headingFits(" v", installConfig.productVersion, sizeof InstallPaths::titleText),
              "the product name and version fit the backdrop's title");
static_assert(headingFits(" - ", installConfig.productTagline, sizeof InstallPaths::subtitleText),
              "the product name and tagline fit the backdrop's subtitle");
static_assert(sizeof(StampTime) == 16, "StampTime has the layout of SYSTEMTIME");
