#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/portable/install_rules.h"
#include "code_page_932.h"

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

TEST(InstallRules, FolderLevelsSplitAtSeparatorsOnlyInCodePage932)
{
    const CodePage932 japanese;
    EXPECT_EQ(levels("C:\\" KATAKANA_SO "\\Tidy Kit"),
              (std::vector<std::string>{"C:\\" KATAKANA_SO, "C:\\" KATAKANA_SO "\\Tidy Kit"}));
    EXPECT_EQ(levels("C:\\A" KATAKANA_SO "\\"), (std::vector<std::string>{"C:\\A" KATAKANA_SO}));
}
