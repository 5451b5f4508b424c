#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "code_page_932.h"
#include "rules/install_rules.h"

namespace {
const char* const shipped[] = {".CPI", ".CIA", ".DAT", ".KEY"};

bool preserved(const char* name) { return hasPreservedExtension(name, shipped, 4); }

// The levels in the order they are created.
std::vector<std::string> levels(const char* path)
{
    char buffer[256];
    std::strcpy(buffer, path);
    const int count = cutFolderLevels(buffer);
    std::vector<std::string> created;
    for (int level = 0; level < count; ++level) {
        created.push_back(buffer);
        if (level + 1 < count) {
            buffer[std::strlen(buffer)] = '\\';
        }
    }
    return created;
}
} // namespace

TEST(InstallRules, PreservedExtensionsInAnyLetterCase)
{
    EXPECT_TRUE(preserved("owner.key"));
    EXPECT_TRUE(preserved("x.Dat"));
    EXPECT_TRUE(preserved("Layout.CIA"));
    EXPECT_TRUE(preserved("a.b.cPi"));
    EXPECT_FALSE(preserved("x.dat.bak"));
    EXPECT_FALSE(preserved("x.keys"));
    EXPECT_FALSE(preserved("README"));
    EXPECT_FALSE(preserved("dat"));
    EXPECT_FALSE(preserved("x."));
    EXPECT_FALSE(preserved("x.d\xC4t")) << "no folding beyond ASCII";
}

TEST(InstallRules, FolderLevelsAreCreatedFromTheTopDown)
{
    EXPECT_EQ(levels("C:\\A\\B\\C"), (std::vector<std::string>{"C:\\A", "C:\\A\\B", "C:\\A\\B\\C"}));
    EXPECT_EQ(levels("C:\\Moorfield Systems\\Tidy Kit\\"),
              (std::vector<std::string>{"C:\\Moorfield Systems", "C:\\Moorfield Systems\\Tidy Kit"}));
    EXPECT_EQ(levels("D:\\Apps"), (std::vector<std::string>{"D:\\Apps"}));
}

TEST(InstallRules, PathsOfAnotherFormHaveNoLevels)
{
    EXPECT_TRUE(levels("C:\\").empty());
    EXPECT_TRUE(levels("C:").empty());
    EXPECT_TRUE(levels("").empty());
    EXPECT_TRUE(levels("\\\\server\\share\\x").empty());
    EXPECT_TRUE(levels("Apps\\Tidy").empty());
}

// Real tags: symbolic links, junctions and other name surrogates are links;
// cloud files, deduplicated and compressed files are not; a reparse point
// whose tag was not reported may be anything and counts as a link.
TEST(LinkEntry, OnlyNameSurrogatesAndUnknownTagsAreLinks)
{
    constexpr uint32_t REPARSE_FOLDER = 0x410;
    constexpr uint32_t REPARSE_FILE = 0x420;
    for (const uint32_t tag :
         {0xA000000Cu /* symbolic link */, 0xA0000003u /* junction */, 0xA000001Du /* Linux-subsystem link */, 0u}) {
        EXPECT_TRUE(isLinkEntry(REPARSE_FOLDER, tag)) << std::hex << tag;
        EXPECT_TRUE(isLinkEntry(REPARSE_FILE, tag)) << std::hex << tag;
    }
    for (const uint32_t tag :
         {0x9000001Au /* cloud files */, 0x80000013u /* deduplication */, 0x80000017u /* overlay */}) {
        EXPECT_FALSE(isLinkEntry(REPARSE_FILE, tag)) << std::hex << tag;
    }
    EXPECT_FALSE(isLinkEntry(0x10, 0xA000000Cu)) << "a tag without the reparse attribute is stale";
}

TEST(PreservedExtension, WideNamesFromAListingFollowTheSameRule)
{
    const char* const extensions[] = {".KEY", ".DAT"};
    EXPECT_TRUE(hasPreservedExtension(L"owner.key", extensions, 2));
    EXPECT_TRUE(hasPreservedExtension(L"x.y.Dat", extensions, 2));
    EXPECT_FALSE(hasPreservedExtension(L"x.dat.bak", extensions, 2));
    EXPECT_FALSE(hasPreservedExtension(L"README", extensions, 2));
    EXPECT_FALSE(hasPreservedExtension(L"x.d\u0101t", extensions, 2)) << "no folding beyond ASCII";
}

TEST(InstallRules, FolderLevelsSplitAtSeparatorsOnlyInCodePage932)
{
    const CodePage932 japanese;
    EXPECT_EQ(levels("C:\\" KATAKANA_SO "\\Tidy Kit"),
              (std::vector<std::string>{"C:\\" KATAKANA_SO, "C:\\" KATAKANA_SO "\\Tidy Kit"}));
    EXPECT_EQ(levels("C:\\A" KATAKANA_SO "\\"), (std::vector<std::string>{"C:\\A" KATAKANA_SO}));
}
