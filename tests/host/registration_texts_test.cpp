#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "rules/paths.h"
#include "rules/record_layout.h"
#include "rules/registration_texts.h"

TEST(RegistrationTexts, ComposeKeyPathAndValueTexts)
{
    char out[REGISTRY_TEXT_SIZE];
    ASSERT_TRUE(
        concatenateTexts(out, sizeof out, {"Software\\Moorfield Systems", "\\Programs\\Tidy Kit\\Current Version"}));
    EXPECT_STREQ(out, "Software\\Moorfield Systems\\Programs\\Tidy Kit\\Current Version");
    ASSERT_TRUE(fillOneText(out, sizeof out, "v%s", "3.08"));
    EXPECT_STREQ(out, "v3.08");
    ASSERT_TRUE(fillOneText(out, sizeof out, "100% %s, not %s", "a%sb"));
    EXPECT_STREQ(out, "100% a%sb, not %s") << "only the first %s is filled, and the argument is not read as a format";
    ASSERT_TRUE(fillOneText(out, sizeof out, "%s", ""));
    EXPECT_STREQ(out, "");
}

TEST(RegistrationTexts, RefuseWhatDoesNotFitAndNeverWritePastTheEnd)
{
    for (size_t capacity = 0; capacity < 7; ++capacity) { // "v3.08" and two NULs need 7
        char out[12];
        std::memset(out, 'x', sizeof out);
        EXPECT_FALSE(fillOneText(out, capacity, "v%s", "3.08")) << capacity;
        EXPECT_FALSE(concatenateTexts(out, capacity, {"v3", ".08"})) << capacity;
        for (size_t i = capacity; i < sizeof out; ++i) {
            ASSERT_EQ(out[i], 'x') << "byte " << i << " written with capacity " << capacity;
        }
    }
    char out[7];
    EXPECT_TRUE(fillOneText(out, sizeof out, "v%s", "3.08"));
    EXPECT_TRUE(concatenateTexts(out, sizeof out, {"v3", ".08"}));
}

TEST(ReadMeCommand, QuotesThePathSoThatAFolderWithSpacesStaysOneArgument)
{
    char command[README_COMMAND_SIZE];
    ASSERT_TRUE(
        composeReadMeCommand(command, "C:\\Win dows\\Notepad.exe", "C:\\Moorfield Systems\\Tidy Kit", "ReadFirst.txt"));
    EXPECT_STREQ(command, "\"C:\\Win dows\\Notepad.exe\" \"C:\\Moorfield Systems\\Tidy Kit\\ReadFirst.txt\"");
    ASSERT_TRUE(composeReadMeCommand(command, "C:\\W\\Notepad.exe", "D:\\", "ReadFirst.txt"));
    EXPECT_STREQ(command, "\"C:\\W\\Notepad.exe\" \"D:\\ReadFirst.txt\"");
}

TEST(ReadMeCommand, IsEmptyWhenThePathOrTheCommandLineDoesNotFit)
{
    char command[README_COMMAND_SIZE];
    // Quoted path: 2 quotes + folder + backslash + 13 characters + 2 NULs in
    // 256 bytes, so a 238-character folder is the longest that fits...
    const std::string fits = "C:\\" + std::string(235, 'f');
    ASSERT_TRUE(composeReadMeCommand(command, "", fits.c_str(), "ReadFirst.txt"));
    EXPECT_EQ(std::strlen(command), 257u);
    const std::string tooLong = fits + "f";
    std::memset(command, 'x', sizeof command);
    EXPECT_FALSE(composeReadMeCommand(command, "", tooLong.c_str(), "ReadFirst.txt"));
    EXPECT_STREQ(command, "");
    // ...and with the quoted viewer before it, the command line overflows its
    // 260 bytes first: with C:\windows\Notepad.exe a folder of N characters
    // makes N + 41 of them, and every composed text keeps its two closing NULs.
    const std::string shorter = "C:\\" + std::string(214, 'f');
    EXPECT_TRUE(composeReadMeCommand(command, "C:\\windows\\Notepad.exe", shorter.c_str(), "ReadFirst.txt"));
    EXPECT_EQ(std::strlen(command), 258u);
    std::memset(command, 'x', sizeof command);
    EXPECT_FALSE(composeReadMeCommand(command, "C:\\windows\\Notepad.exe", (shorter + "f").c_str(), "ReadFirst.txt"));
    EXPECT_STREQ(command, "");
}

TEST(QuietUninstall, QuotesTheUninstallerAndIsEmptyWhenItDoesNotFit)
{
    char command[REGISTRY_TEXT_SIZE];
    ASSERT_TRUE(composeQuietUninstall(command, "C:\\Win dows", "Tkremove.exe"));
    EXPECT_STREQ(command, "\"C:\\Win dows\\Tkremove.exe\" /quiet");
    // 2 quotes, folder, backslash, 12 characters, " /quiet" and 2 NULs in 256 bytes.
    const std::string fits = "C:\\" + std::string(229, 'w');
    ASSERT_TRUE(composeQuietUninstall(command, fits.c_str(), "Tkremove.exe"));
    EXPECT_EQ(std::strlen(command), 254u);
    std::memset(command, 'x', sizeof command);
    EXPECT_FALSE(composeQuietUninstall(command, (fits + "w").c_str(), "Tkremove.exe"));
    EXPECT_STREQ(command, "");
}

TEST(ListOfPrograms, InstallDateHasEightDigitsOrIsEmpty)
{
    char date[INSTALL_DATE_SIZE];
    ASSERT_TRUE(composeInstallDate(date, 2026, 3, 7));
    EXPECT_STREQ(date, "20260307");
    for (const auto& [year, month, day] : {std::tuple{10000u, 1u, 1u}, std::tuple{2026u, 13u, 1u},
                                           std::tuple{2026u, 0u, 1u}, std::tuple{2026u, 1u, 32u}}) {
        std::memset(date, 'x', sizeof date);
        EXPECT_FALSE(composeInstallDate(date, year, month, day)) << year << "-" << month << "-" << day;
        EXPECT_STREQ(date, "");
    }
}

TEST(ListOfPrograms, InstalledSizeIsRoundedUpToKiBAndSumsBeyond32Bits)
{
    PayloadEntry rows[PAYLOAD_ROWS] = {};
    EXPECT_EQ(installedSizeKiB(rows, PAYLOAD_ROWS), 0u);
    rows[0].unpackedSize = 1024;
    rows[1].unpackedSize = 1;
    EXPECT_EQ(installedSizeKiB(rows, 2), 2u);
    EXPECT_EQ(installedSizeKiB(rows, 1), 1u) << "only the rows counted";
    for (PayloadEntry& row : rows) {
        row.unpackedSize = UINT32_MAX;
    }
    EXPECT_EQ(installedSizeKiB(rows, PAYLOAD_ROWS), 32u * 1024 * 1024);
}
