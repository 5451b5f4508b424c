#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "rules/link_path.h"

namespace {
std::string linkPath(const char* programs, const char* group, const char* caption)
{
    char out[260];
    EXPECT_TRUE(buildLinkPath(out, sizeof out, programs, group, caption));
    EXPECT_EQ(out[std::strlen(out) + 1], '\0') << "two closing NULs";
    return out;
}
} // namespace

TEST(BuildLinkPath, SeparatesFolderGroupAndCaptionByOneBackslash)
{
    const char* programs = "C:\\Windows\\Start Menu\\Programs";
    EXPECT_EQ(linkPath(programs, "Tidy Kit", "Update"), "C:\\Windows\\Start Menu\\Programs\\Tidy Kit\\Update.lnk");
    EXPECT_EQ(linkPath("C:\\Programs\\", "Tools", "Help"), "C:\\Programs\\Tools\\Help.lnk");
    EXPECT_EQ(linkPath("C:\\Programs", "Tools\\", "Help"), "C:\\Programs\\Tools\\Help.lnk")
        << "a group ending with a backslash gets no second one";
    EXPECT_EQ(linkPath("C:\\Programs", "Moorfield\\Tidy Kit", "Read Me"),
              "C:\\Programs\\Moorfield\\Tidy Kit\\Read Me.lnk");
}

TEST(BuildLinkPath, RefusesWhatDoesNotFitAndNeverWritesPastTheEnd)
{
    // "C:\P\G\c.lnk" is 12 characters, plus two NULs.
    char exact[14];
    EXPECT_TRUE(buildLinkPath(exact, sizeof exact, "C:\\P", "G", "c"));
    EXPECT_STREQ(exact, "C:\\P\\G\\c.lnk");
    for (size_t capacity = 0; capacity < 14; ++capacity) {
        char out[20];
        std::memset(out, 'x', sizeof out);
        EXPECT_FALSE(buildLinkPath(out, capacity, "C:\\P", "G", "c")) << capacity;
        for (size_t i = capacity; i < sizeof out; ++i) {
            ASSERT_EQ(out[i], 'x') << "byte " << i << " written with capacity " << capacity;
        }
        if (capacity > 0) {
            EXPECT_EQ(out[0], '\0') << "an empty text, never a cut path";
        }
    }
    // The longest programs folder with a 40-character group overflows 260 bytes.
    const std::string programs = "C:\\" + std::string(252, 'p');
    const std::string group(40, 'g');
    char out[260];
    EXPECT_FALSE(buildLinkPath(out, sizeof out, programs.c_str(), group.c_str(), "Uninstall"));
    EXPECT_STREQ(out, "");
}
