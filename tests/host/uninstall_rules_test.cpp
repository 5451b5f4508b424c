#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "code_page_932.h"
#include "rules/uninstall_rules.h"

TEST(UninstallMode, AsksWithoutWordsIsQuietWithTheSwitchAloneAndRefusesAnythingElse)
{
    EXPECT_EQ(readUninstallMode(""), UNINSTALL_ASKING);
    EXPECT_EQ(readUninstallMode(" \t "), UNINSTALL_ASKING);
    for (const char* quiet : {"/quiet", "/QUIET", " /Quiet\t/quiet "}) {
        EXPECT_EQ(readUninstallMode(quiet), UNINSTALL_QUIET) << quiet;
    }
    for (const char* bad : {"/q", "/quiet2", "quiet", "-quiet", "\"/quiet\"", "/quiet /x", "/qu\xE9t"}) {
        EXPECT_EQ(readUninstallMode(bad), UNINSTALL_BAD_OPTION) << bad;
    }
}

TEST(RecordedValues, OnlyExactTextsAndCanonicalFoldersBelowTheRootCount)
{
    EXPECT_TRUE(isExactRegistryText("C:\\A", 5));
    EXPECT_TRUE(isExactRegistryText("", 1));
    EXPECT_FALSE(isExactRegistryText("C:\\A", 4)) << "stored without its NUL";
    EXPECT_FALSE(isExactRegistryText("C:\\A\0B", 7)) << "a NUL inside";
    EXPECT_FALSE(isExactRegistryText("", 0));

    for (const char* usable : {"C:\\Moorfield Systems\\Tidy Kit", "d:\\Tidy Kit", "C:\\A B\\C.D"}) {
        EXPECT_TRUE(isUsableRecordedFolder(usable)) << usable;
    }
    for (const char* odd :
         {"", "C:\\", "C:\\Tidy Kit\\..", "C:\\Tidy Kit\\", "C:/Tidy Kit", "C:\\A\\\\B", "C:\\Tidy Kit.",
          "C:\\Tidy Kit\\.\\x", "1:\\Tidy Kit", "\\\\server\\share", "C:\\Tidy|Kit", "Tidy Kit"}) {
        EXPECT_FALSE(isUsableRecordedFolder(odd)) << odd;
    }
}

TEST(GroupFolder, LiesStrictlyInsideTheProgramsFolderAfterResolvingDots)
{
    const char* programs = "C:\\Users\\u\\Start Menu\\Programs";
    char out[256];
    const std::pair<const char*, const char*> inside[] = {
        {"Tidy Kit", "C:\\Users\\u\\Start Menu\\Programs\\Tidy Kit"},
        {"Moorfield\\", "C:\\Users\\u\\Start Menu\\Programs\\Moorfield"},
        {"A\\..\\Tidy Kit", "C:\\Users\\u\\Start Menu\\Programs\\Tidy Kit"},
        {"Moorfield\\Tidy Kit", "C:\\Users\\u\\Start Menu\\Programs\\Moorfield\\Tidy Kit"},
    };
    for (const auto& [group, folder] : inside) {
        EXPECT_TRUE(composeGroupFolder(out, programs, group)) << group;
        EXPECT_STREQ(out, folder);
    }
    for (const char* outside :
         {"", ".", "..", "..\\Programs2", "A\\..\\..", "..\\..\\..\\..\\..\\Windows", "C:\\Windows", "Tidy Kit."}) {
        std::memset(out, 'x', sizeof out);
        EXPECT_FALSE(composeGroupFolder(out, programs, outside)) << outside;
        EXPECT_STREQ(out, "") << outside;
    }
    EXPECT_FALSE(composeGroupFolder(out, "", "Tidy Kit")) << "no programs folder";
    EXPECT_TRUE(composeGroupFolder(out, "C:\\", "Tidy Kit"));
    EXPECT_STREQ(out, "C:\\Tidy Kit");
    for (const char* root : {".", "..", "Tidy Kit\\.."}) {
        EXPECT_FALSE(composeGroupFolder(out, "C:\\", root)) << "the drive root itself: " << root;
    }
    const std::string longGroup(250, 'g');
    EXPECT_FALSE(composeGroupFolder(out, programs, longGroup.c_str())) << "longer than a path";
    // A Start Menu redirected to a share is taken as the shell gives it.
    const char* share = "\\\\Server\\Profiles\\u\\Start Menu\\Programs";
    EXPECT_TRUE(composeGroupFolder(out, share, "Moorfield/.\\Tidy Kit"));
    EXPECT_STREQ(out, "\\\\Server\\Profiles\\u\\Start Menu\\Programs\\Moorfield\\Tidy Kit");
    EXPECT_FALSE(composeGroupFolder(out, share, "..\\Programs\\Tidy Kit")) << "never above the programs folder";
}

TEST(DefaultRoot, OnlyTheFolderDirectlyBelowItCounts)
{
    EXPECT_TRUE(isDirectSubfolder("C:\\Moorfield Systems\\Tidy Kit", "C:\\Moorfield Systems"));
    EXPECT_TRUE(isDirectSubfolder("c:\\MOORFIELD SYSTEMS\\Other", "C:\\Moorfield Systems"));
    for (const char* other : {"C:\\Moorfield Systems\\A\\Tidy Kit", "C:\\Moorfield SystemsX\\Tidy Kit",
                              "C:\\Moorfield Systems\\", "C:\\Moorfield Systems", "", "D:\\Moorfield Systems\\A"}) {
        EXPECT_FALSE(isDirectSubfolder(other, "C:\\Moorfield Systems")) << other;
    }
}

// Both lists full and every reason at once: the message still ends whole.
TEST(ClosingMessage, CountsThePathsThatNoLongerFitTheListsAndSaysWhyOnce)
{
    PathList left;
    std::memset(&left, 'x', sizeof left);
    left.length = 0;
    left.count = 0;
    left.unlisted = 0;
    left.reasons = 0;
    const std::string path = "C:\\" + std::string(250, 'p');
    const LeftReason reasons[] = {LEFT_IN_USE, LEFT_LINK, LEFT_UNRECORDED, LEFT_OUT_OF_REACH, LEFT_UNFINISHED};
    for (int i = 0; i < 13; ++i) {
        addLeftBehind(left, path.c_str(), reasons[i % 5]);
        ASSERT_LT(left.length + 1, sizeof left.text);
        ASSERT_EQ(std::strlen(left.text), left.length);
    }
    EXPECT_EQ(left.count, 13);
    EXPECT_EQ(left.unlisted, 9) << "four paths of 253 characters fit 1024 bytes with their line breaks";
    PathList kept = {};
    const std::string keptPath = "C:\\" + std::string(252, 'k');
    for (int i = 0; i < 5; ++i) {
        addPath(kept, keptPath.c_str());
    }
    char text[CLOSING_MESSAGE_SIZE];
    composeClosingMessage(text, "Tidy Kit", left, kept);
    const std::string message = text;
    EXPECT_NE(message.find(path + "\r\nand 9 more\r\n\r\nClose Tidy Kit"), std::string::npos);
    const std::string unrecorded = "The record of what the setup of Tidy Kit installed is missing or damaged";
    EXPECT_NE(message.find(unrecorded), std::string::npos);
    EXPECT_EQ(message.find(unrecorded), message.rfind(unrecorded)) << "each reason once";
    EXPECT_NE(message.find("Your own files were kept in these folders:\r\n"), std::string::npos);
    EXPECT_EQ(message.substr(message.size() - 7), " 2 more") << "the kept folders' list is whole";

    PathList nothingLeft = {};
    PathList oneKept = {};
    addPath(oneKept, keptPath.c_str());
    composeClosingMessage(text, "Tidy Kit", nothingLeft, oneKept);
    EXPECT_EQ(std::string(text), "Tidy Kit has been removed from this computer.\r\n\r\nYour own files were kept in "
                                 "this folder:\r\n" +
                                     keptPath);
}

TEST(UninstallRules, FoldersEndingInTwoByteCharactersOfCodePage932)
{
    const CodePage932 japanese;
    char out[256];
    EXPECT_TRUE(composeGroupFolder(out, "C:\\" KATAKANA_SO, "Tidy Kit"));
    EXPECT_STREQ(out, "C:\\" KATAKANA_SO "\\Tidy Kit");
    EXPECT_TRUE(isDirectSubfolder("C:\\Moorfield Systems\\" KATAKANA_SO, "C:\\Moorfield Systems"));
    EXPECT_FALSE(isDirectSubfolder("C:\\" KATAKANA_SO "x", "C:\\\x83")) << "no level ends inside a character";
}
