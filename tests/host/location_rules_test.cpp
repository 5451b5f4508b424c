#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "code_page_932.h"
#include "rules/location_rules.h"

namespace {
struct Resolved {
    LocationProblem problem;
    std::string folder;
};

Resolved resolve(const std::string& typed)
{
    char out[PATH_BUFFER_SIZE];
    std::memset(out, 'x', sizeof out);
    const LocationProblem problem = resolveInstallLocation(typed.c_str(), "Tidy Kit", out);
    return {problem, out};
}

// Each ancestor as "text@indent".
std::vector<std::string> ancestors(const char* path, int capacity = 200)
{
    std::vector<AncestorRow> rows(static_cast<size_t>(capacity) + 1, AncestorRow{0, -1});
    const int count = ancestorRows(path, rows.data(), capacity);
    EXPECT_EQ(rows[static_cast<size_t>(capacity)].indent, -1) << "nothing written past the capacity";
    std::vector<std::string> texts;
    for (int k = 0; k < count; ++k) {
        texts.push_back(std::string(path, rows[static_cast<size_t>(k)].length) + "@" +
                        std::to_string(rows[static_cast<size_t>(k)].indent));
    }
    return texts;
}
} // namespace

TEST(ResolveInstallLocation, ReasonsInTheirOrder)
{
    EXPECT_EQ(resolve("").problem, LOCATION_EMPTY);
    EXPECT_EQ(resolve("C").problem, LOCATION_NO_DRIVE);
    EXPECT_EQ(resolve("C:").problem, LOCATION_NO_DRIVE);
    EXPECT_EQ(resolve("C:/Apps").problem, LOCATION_NO_DRIVE);
    EXPECT_EQ(resolve("\\\\server\\share").problem, LOCATION_NO_DRIVE);
    EXPECT_EQ(resolve("My Computer").problem, LOCATION_NO_DRIVE);
    EXPECT_EQ(resolve("C:\\").problem, LOCATION_ROOT_DRIVE);
    EXPECT_EQ(resolve("C:\\").folder, "");
    EXPECT_EQ(resolve(" :\\").problem, LOCATION_ROOT_DRIVE) << "the first character is not examined";
}

TEST(ResolveInstallLocation, AppendsTheProductNameUnlessItIsThere)
{
    EXPECT_EQ(resolve("D:\\Apps").folder, "D:\\Apps\\Tidy Kit");
    EXPECT_EQ(resolve("D:\\Apps\\").folder, "D:\\Apps\\Tidy Kit");
    EXPECT_EQ(resolve("1:\\x").folder, "1:\\x\\Tidy Kit");
    EXPECT_EQ(resolve("D:\\TIDY KIT 2").folder, "D:\\TIDY KIT 2");
    EXPECT_EQ(resolve("D:\\Old\\tidy kitchen").folder, "D:\\Old\\tidy kitchen");
    EXPECT_EQ(resolve(" C:\\Apps").problem, LOCATION_NO_DRIVE) << "used raw, not trimmed";
}

// The rules judge the path the system will use, not the text as typed.
TEST(ResolveInstallLocation, JudgesThePathAsWindowsReadsIt)
{
    EXPECT_EQ(resolve("C:\\Tidy Kit\\..").problem, LOCATION_ROOT_DRIVE);
    EXPECT_EQ(resolve("C:\\Tidy Kit\\..\\..\\.\\").problem, LOCATION_ROOT_DRIVE) << "never above the root";
    EXPECT_EQ(resolve("C:\\Tidy Kit\\..\\Users").folder, "C:\\Users\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\Tidy Kit\\..\\Windows").folder, "C:\\Windows\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\A\\.\\B\\\\C/D\\").folder, "C:\\A\\B\\C\\D\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\Tidy Kit\\.").folder, "C:\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\bad?\\..\\Good").folder, "C:\\Good\\Tidy Kit") << "a removed name is never used";
    // A typed text longer than a path buffer may still name a short folder.
    EXPECT_EQ(resolve("C:\\" + std::string(240, 'a') + "\\..\\x").folder, "C:\\x\\Tidy Kit");
    for (const char* odd : {"D:\\Apps ", "D:\\Apps.", "D:\\...", "C:\\Tidy Kit:stream", "C:\\a<b", "C:\\a>b",
                            "C:\\a\"b", "C:\\a|b", "C:\\a*", "C:\\a\tb\\Tidy Kit"}) {
        EXPECT_EQ(resolve(odd).problem, LOCATION_BAD_NAME) << odd;
        EXPECT_EQ(resolve(odd).folder, "") << odd;
    }
}

TEST(IsGroupPath, NamesAFolderInsideTheStartMenuOnly)
{
    for (const char* group : {"Tidy Kit", "Moorfield\\Tidy Kit", "Moorfield\\", "Tools/Kit", "x"}) {
        EXPECT_TRUE(isGroupPath(group)) << group;
    }
    for (const char* group : {"", "..", "..\\..\\Windows", "Tools\\..\\..", ".\\Kit", "\\Windows", "C:\\Kit",
                              "Tools\\\\Kit", "Kit.", "Kit ", "Kit?"}) {
        EXPECT_FALSE(isGroupPath(group)) << group;
    }
}

TEST(CanonicalFolderPath, NeverWritesPastItsCapacity)
{
    char out[13];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(canonicalFolderPath("C:\\abcdefgh", out, 12), LOCATION_ACCEPTED);
    EXPECT_STREQ(out, "C:\\abcdefgh");
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(canonicalFolderPath("C:\\abcdefghi", out, 12), LOCATION_TOO_LONG);
    EXPECT_EQ(out[12], 'x');
    EXPECT_EQ(canonicalFolderPath("C:\\abcdefghi\\..", out, 12), LOCATION_TOO_LONG)
        << "a component that does not fit is refused even when a later one would remove it";
}

TEST(ResolveInstallLocation, RefusesWhatWouldPassAPathBuffer)
{
    const std::string base = "D:\\" + std::string(243, 'a'); // 246 characters
    EXPECT_EQ(resolve(base).folder.size(), 255u) << "246 + backslash + 8 fits exactly";
    const std::string longer = base + "b";
    EXPECT_EQ(resolve(longer).problem, LOCATION_TOO_LONG);
    EXPECT_EQ(resolve(longer).folder, "");
    const std::string named = "D:\\Tidy Kit\\" + std::string(243, 'c'); // 255 characters
    EXPECT_EQ(resolve(named).folder, named);
    EXPECT_EQ(resolve(named + "c").problem, LOCATION_TOO_LONG);
    EXPECT_EQ(resolve(std::string(259, 'x')).problem, LOCATION_NO_DRIVE) << "the earlier reasons come first";
}

TEST(ResolveInstallLocation, EveryProblemHasItsWarning)
{
    EXPECT_STREQ(locationReasonFormat(LOCATION_EMPTY), "%sPath may not be empty!");
    EXPECT_STREQ(locationReasonFormat(LOCATION_NO_DRIVE), "%sMissing : or \\ in drive.");
    EXPECT_STREQ(locationReasonFormat(LOCATION_ROOT_DRIVE), "%sPath may not be a root drive...");
    EXPECT_STREQ(locationReasonFormat(LOCATION_TOO_LONG), "%sPath is too long!");
    EXPECT_STREQ(locationReasonFormat(LOCATION_BAD_NAME), "%sPath holds a name that Windows does not allow.");
    EXPECT_STREQ(locationReasonFormat(LOCATION_THROUGH_LINK), "%sPath may not lead through a folder link.");
    EXPECT_STREQ(locationReasonFormat(LOCATION_OTHERS_FOLDER),
                 "%sPath leads through a folder that users other than administrators may change.");
    EXPECT_EQ(locationReasonFormat(LOCATION_ACCEPTED), nullptr);
}

TEST(ContainsProductName, FoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(containsProductName("tidy kit", "Tidy Kit"));
    EXPECT_TRUE(containsProductName("C:\\x\\TiDy KiTchen", "Tidy Kit"));
    EXPECT_FALSE(containsProductName("C:\\Tidy Ki", "Tidy Kit")) << "the end of the text is a mismatch";
    EXPECT_FALSE(containsProductName("C:\\TidyKit", "Tidy Kit"));
    EXPECT_FALSE(containsProductName("", "Tidy Kit"));
    EXPECT_TRUE(containsProductName("C:\\\xC4pfel", "\xC4pfel"));
    EXPECT_FALSE(containsProductName("C:\\\xE4pfel", "\xC4pfel")) << "no folding beyond ASCII";
}

TEST(AncestorRows, FromTheRootDownWithTheirIndents)
{
    EXPECT_EQ(ancestors("C:\\Moorfield Systems\\Tidy Kit"),
              (std::vector<std::string>{"C:\\@1", "C:\\Moorfield Systems@2", "C:\\Moorfield Systems\\Tidy Kit@3"}));
    EXPECT_EQ(ancestors("C:\\A"), (std::vector<std::string>{"C:\\@1", "C:\\A@2"}));
    EXPECT_EQ(ancestors("C:\\"), (std::vector<std::string>{"C:\\@1"}));
    EXPECT_EQ(ancestors("C:\\Apps\\"), (std::vector<std::string>{"C:\\@1", "C:\\Apps@2"}))
        << "a trailing backslash gives no row";
    EXPECT_EQ(ancestors("C:\\\\A\\\\B"), (std::vector<std::string>{"C:\\@1", "C:\\\\A@2", "C:\\\\A\\\\B@3"}))
        << "empty components give no row";
}

TEST(AncestorRows, NoneForPathsWithoutADriveRoot)
{
    for (const char* path : {"", "D:", "D:Apps", "Apps\\Tidy Kit", "\\\\server\\share", "My Computer", "\\"}) {
        EXPECT_TRUE(ancestors(path).empty()) << path;
    }
}

TEST(AncestorRows, StopAtTheCapacity)
{
    EXPECT_EQ(ancestors("C:\\a\\b\\c", 2), (std::vector<std::string>{"C:\\@1", "C:\\a@2"}));
    EXPECT_TRUE(ancestors("C:\\a", 0).empty());
}

TEST(FolderRows, SubfoldersFitBesideTheAncestors)
{
    EXPECT_EQ(subfolderIndent(3), 4);
    EXPECT_EQ(subfolderIndent(0), 1);
    EXPECT_EQ(subfolderRoom(3), 496) << "500 rows less the computer and three ancestors";
    EXPECT_EQ(subfolderRoom(0), 499);
    EXPECT_EQ(subfolderRoom(FOLDER_LIST_ROWS), 0);
}

TEST(TerminateRegistryText, AcceptsOnlyWhatFitsWithItsNul)
{
    char buffer[8];
    std::memcpy(buffer, "C:\\A\0xyz", 8);
    EXPECT_TRUE(terminateRegistryText(buffer, sizeof buffer, 5));
    EXPECT_STREQ(buffer, "C:\\A");

    std::memcpy(buffer, "C:\\ABxyz", 8);
    EXPECT_TRUE(terminateRegistryText(buffer, sizeof buffer, 5)) << "stored without its NUL";
    EXPECT_STREQ(buffer, "C:\\AB");

    std::memcpy(buffer, "C:\\ABCDE", 8);
    EXPECT_FALSE(terminateRegistryText(buffer, sizeof buffer, 8)) << "no room left for the NUL";
    EXPECT_TRUE(std::memcmp(buffer, "C:\\ABCDE", 8) == 0) << "nothing written";

    std::memcpy(buffer, "C:\\ABCD\0", 8);
    EXPECT_TRUE(terminateRegistryText(buffer, sizeof buffer, 8));
    EXPECT_FALSE(terminateRegistryText(buffer, sizeof buffer, 9)) << "more data than the buffer";
    EXPECT_TRUE(terminateRegistryText(buffer, sizeof buffer, 0));
    EXPECT_STREQ(buffer, "");
}

// In code page 932 a folder name ending in katakana "so" ends with the byte
// 0x5C, and "|" or a letter may be the second byte of a character.
TEST(LocationRules, TwoByteCharactersOfCodePage932)
{
    const CodePage932 japanese;
    EXPECT_EQ(resolve("C:\\" KATAKANA_SO "/x\\..\\").folder, "C:\\" KATAKANA_SO "\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\a\\" KATAKANA_SO "\\..").folder, "C:\\a\\Tidy Kit");
    EXPECT_EQ(resolve("C:\\\x83|").problem, LOCATION_ACCEPTED) << "'|' as a second byte";
    EXPECT_FALSE(containsProductName("C:\\\x83Tidy Kit", "Tidy Kit")) << "'T' as a second byte";
    EXPECT_EQ(ancestors("C:\\" KATAKANA_SO "\\x"),
              (std::vector<std::string>{"C:\\@1", "C:\\" KATAKANA_SO "@2", "C:\\" KATAKANA_SO "\\x@3"}));
}
