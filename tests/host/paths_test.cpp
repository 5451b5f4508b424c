#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "code_page_932.h"
#include "rules/paths.h"

namespace {
std::string joined(const char* base, const char* name, int quoted, size_t capacity = 260)
{
    char out[260];
    std::memset(out, 'x', sizeof out);
    EXPECT_TRUE(joinPath(out, capacity, base, name, quoted));
    const size_t length = std::strlen(out);
    EXPECT_EQ(out[length + 1], '\0') << "two closing NULs";
    return out;
}

std::string normalised(const char* text)
{
    char buffer[260];
    std::strcpy(buffer, text);
    normaliseFolderCase(buffer);
    return buffer;
}
} // namespace

TEST(JoinPath, AddsOneBackslashOnlyWhenMissing)
{
    EXPECT_EQ(joined("C:\\Apps", "Tidy Kit", 0), "C:\\Apps\\Tidy Kit");
    EXPECT_EQ(joined("C:\\", "Docs", 0), "C:\\Docs");
    EXPECT_EQ(joined("C:\\Apps\\", "Docs", 0), "C:\\Apps\\Docs");
    EXPECT_EQ(joined("C:\\Apps/", "Docs", 0), "C:\\Apps/\\Docs");
    EXPECT_EQ(joined("C:\\Apps", "", 0), "C:\\Apps\\");
    EXPECT_EQ(joined("C:\\Apps", "\\Docs", 0), "C:\\Apps\\\\Docs");
}

TEST(JoinPath, QuotedEnclosesTheWholePath)
{
    EXPECT_EQ(joined("C:\\Apps", "ReadFirst.txt", 1), "\"C:\\Apps\\ReadFirst.txt\"");
    EXPECT_EQ(joined("", "x", 1), "\"\\x\"");
}

TEST(JoinPath, RefusesWhatDoesNotFitAndNeverWritesPastTheEnd)
{
    // "C:\A\B" is 6 characters plus two NULs: 8 bytes exactly.
    EXPECT_EQ(joined("C:\\A", "B", 0, 8), "C:\\A\\B");
    for (size_t capacity = 0; capacity < 8; ++capacity) {
        char out[16];
        std::memset(out, 'x', sizeof out);
        EXPECT_FALSE(joinPath(out, capacity, "C:\\A", "B", 0)) << capacity;
        for (size_t i = capacity; i < sizeof out; ++i) {
            EXPECT_EQ(out[i], 'x') << "byte " << i << " written with capacity " << capacity;
        }
        if (capacity > 0) {
            EXPECT_EQ(out[0], '\0');
        }
    }
    char out[10];
    EXPECT_FALSE(joinPath(out, sizeof out, "C:\\Apps", "Tidy", 1)) << "quotes count";
}

TEST(NormaliseFolderCase, CapitalisesEachWordAndLowersTheRest)
{
    EXPECT_EQ(normalised("c:\\windows"), "C:\\Windows");
    EXPECT_EQ(normalised("c:\\program files\\tidy kit"), "C:\\Program Files\\Tidy Kit");
    EXPECT_EQ(normalised("C:\\WINDOWS\\START MENU\\PROGRAMS"), "C:\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(normalised("C:\\PROGRA~1\\MY-APP"), "C:\\Progra~1\\My-app");
    EXPECT_EQ(normalised("C:\\Documents and Settings"), "C:\\Documents And Settings");
    EXPECT_EQ(normalised("C:\\"), "C:\\");
    EXPECT_EQ(normalised(""), "");
    EXPECT_EQ(normalised("C:\\Apps\\"), "C:\\Apps\\");
}

TEST(NormaliseFolderCase, PassesOverTheCharacterAfterASeparator)
{
    EXPECT_EQ(normalised("X\\\\YZ"), "X\\\\yz");
    EXPECT_EQ(normalised("A  BC"), "A  bc");
    EXPECT_EQ(normalised("\\ABC"), "\\abc");
    EXPECT_EQ(normalised("C:\\\xC4RGER"), "C:\\\xC4rger") << "bytes above 0x7F are left alone";
}

TEST(FindLastDot, FindsTheLastDotOrNone)
{
    const char* name = "Tidy Kit.hlp";
    EXPECT_EQ(findLastDot(name), name + 8);
    EXPECT_EQ(findLastDot("README"), nullptr);
    const char* trailing = "name.";
    EXPECT_EQ(findLastDot(trailing), trailing + 4);
    const char* twice = "x.dat.bak";
    EXPECT_EQ(findLastDot(twice), twice + 5);
}

TEST(CompareNoCase, FoldsAsciiLettersOnly)
{
    EXPECT_EQ(compareNoCase(".dat", ".DAT"), 0);
    EXPECT_EQ(compareNoCase(".Dat", ".DAT"), 0);
    EXPECT_NE(compareNoCase(".data", ".DAT"), 0);
    EXPECT_LT(compareNoCase(".da", ".DAT"), 0) << "a prefix sorts first";
    EXPECT_GT(compareNoCase(".DAT", ".da"), 0);
    EXPECT_NE(compareNoCase("\xC4", "\xE4"), 0);
    EXPECT_LT(compareNoCase("a", "\xE4"), 0) << "bytes compare unsigned";
    EXPECT_EQ(compareNoCase("", ""), 0);
}

TEST(CompareNoCaseN, ComparesAtMostNCharacters)
{
    EXPECT_EQ(compareNoCaseN("Tidy Kit", "tidy kitchen", 8), 0);
    EXPECT_NE(compareNoCaseN("Tidy Kit", "tidy ki", 8), 0) << "the shorter text's NUL is a mismatch";
    EXPECT_EQ(compareNoCaseN(nullptr, nullptr, 0), 0) << "n = 0 reads nothing";
    EXPECT_EQ(compareNoCaseN("abc", "abd", 2), 0);
    EXPECT_NE(compareNoCaseN("\xC4", "\xE4", 1), 0) << "no folding beyond ASCII";
}

// In code page 932 the second byte of a character may be '\\' or a letter:
// it never separates, is never folded and never splits from its lead byte.
TEST(TwoByteCharacters, AreSteppedOverWhole)
{
    const CodePage932 japanese;
    EXPECT_EQ(joined("C:\\" KATAKANA_SO, "Tidy Kit", 0), "C:\\" KATAKANA_SO "\\Tidy Kit");
    EXPECT_EQ(joined("C:\\" KATAKANA_SO "\\", "x", 0), "C:\\" KATAKANA_SO "\\x");
    EXPECT_EQ(normalised("c:\\" KATAKANA_SO "abc\\x\x83"
                         "AB"),
              "C:\\" KATAKANA_SO "abc\\X\x83"
              "Ab");
    EXPECT_EQ(compareNoCase("X\x83"
                            "A",
                            "x\x83"
                            "A"),
              0);
    EXPECT_NE(compareNoCase("\x83"
                            "A",
                            "\x83"
                            "a"),
              0)
        << "a second byte compares as itself";
    EXPECT_NE(compareNoCaseN("\x83"
                             "A",
                             "\x83"
                             "a",
                             2),
              0);
    const char* lone = "a\x83";
    EXPECT_EQ(nextCharacter(lone + 1), lone + 2) << "a lead byte before the NUL is one character";
    EXPECT_EQ(nextCharacter(lone + 2), lone + 2) << "the NUL is never passed";
    char out[5];
    size_t length = 0;
    EXPECT_FALSE(appendText(out, sizeof out, &length, "ab" KATAKANA_SO));
    EXPECT_EQ(length, 2u) << "a character that does not fit is not split";
}
