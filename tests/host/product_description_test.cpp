// Product descriptions: the shipped one and the example are read without a
// problem, and every broken rule is reported with the file, line and rule.
#include "checked_product.h"
#include "generated_files.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
const std::string examples = SOURCE_DIR "/examples/quill-notes/";

// A small valid description; the cases below change some of its lines.
std::vector<std::string> smallDescription()
{
    return {
        "[product]",
        "name = Pocket Clock",
        "version = 1.0",
        "tagline = Always On Time",
        "publisher = Small Hours",
        "web address = http://small-hours.example/",
        "copyright = Copyright (C) 2026 Small Hours",
        "file stamp = 2026-01-02 03:04:05",
        "licence = " + examples + "license.txt",
        "[install]",
        "default folder = C:\\Small Hours",
        "publisher key = Software\\Small Hours",
        "version key = Pocket Clock",
        "previous autostart value = PocketClock",
        "preserved extensions = .PCK",
        "[texts]",
        "welcome publisher = Small Hours 2026",
        "support = Write to help@small-hours.example.",
        "closing note = Pocket Clock is ready.",
        "[row REMOVE]",
        "file = Pcremove.exe",
        "folder = Windows",
        "shortcut = Uninstall",
        "role = uninstaller",
        "[row README]",
        "file = ReadMe.txt",
        "source = " + examples + "Welcome.txt",
        "role = read-me",
    };
}

std::vector<std::string> problemsOf(const std::vector<std::string>& lines, CheckedProduct& product)
{
    std::ostringstream text;
    for (const std::string& line : lines) {
        text << line << "\r\n";
    }
    std::vector<std::string> problems;
    const Description description = parseDescription("clock.ini", text.str(), problems);
    return problems.empty() ? checkProduct(description, product) : problems;
}

std::vector<std::string> problemsOf(const std::vector<std::string>& lines)
{
    CheckedProduct product;
    return problemsOf(lines, product);
}

::testing::AssertionResult reports(const std::vector<std::string>& problems, const std::string& expected)
{
    for (const std::string& problem : problems) {
        if (problem.rfind(expected, 0) == 0) {
            return ::testing::AssertionSuccess();
        }
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "no problem begins with \"" << expected << "\"; reported:";
    for (const std::string& problem : problems) {
        failure << "\n  " << problem;
    }
    return failure;
}
} // namespace

TEST(ProductDescription, ShippedAndExampleProductsAreReadWithoutProblems)
{
    for (const char* name : {SOURCE_DIR "/res/payload/product.ini", SOURCE_DIR "/examples/quill-notes/product.ini"}) {
        std::vector<std::string> problems;
        CheckedProduct product;
        const Description description = readDescription(name, problems);
        ASSERT_TRUE(problems.empty()) << problems.front();
        problems = checkProduct(description, product);
        EXPECT_TRUE(problems.empty()) << problems.front();
    }
}

// The one place that names the shipped product: its description yields the
// record the setup has always carried.
TEST(ProductDescription, ShippedDescriptionYieldsTidyKit)
{
    std::vector<std::string> problems;
    CheckedProduct product;
    ASSERT_TRUE(checkProduct(readDescription(SOURCE_DIR "/res/payload/product.ini", problems), product).empty());
    EXPECT_EQ(product.name + " " + product.version + " by " + product.publisher, "Tidy Kit 3.08 by Moorfield Systems");
    EXPECT_EQ(std::vector<int>(product.stamp, product.stamp + 8), (std::vector<int>{2007, 11, 5, 9, 3, 8, 0, 0}));
    ASSERT_EQ(product.rows.size(), 8u);
    EXPECT_EQ(product.rows[product.uninstallRow].fileName, "Tkremove.exe");
    EXPECT_EQ(product.rows[product.readMeRow].fileName, "ReadFirst.txt");
    EXPECT_EQ(product.defaultFolder + "|" + product.publisherKey + "|" + product.versionKey,
              "C:\\Moorfield Systems|Software\\Moorfield Systems|Programs\\Tidy Kit\\Current Version");
}

TEST(ProductDescription, EachBrokenRuleNamesItsLine)
{
    struct Case {
        std::vector<std::pair<int, std::string>> changes; // line (1-based), its new text
        std::string expected;
    };
    const std::string longLine(180, 'x');
    const Case cases[] = {
        {{{3, "version 1.0"}}, "clock.ini:3: expected [section] or key = value"},
        {{{2, "name = " + std::string(200, 'N')}}, "clock.ini:2: the line is longer than 198 characters"},
        {{{2, "name = Pocket Clock Deluxe Edition"}},
         "clock.ini:2: 'name' is 27 characters long; its field holds at most 19"},
        {{{4, "tagline = Always On Time, Wherever You Go, All Year Round"}}, "clock.ini:4: the backdrop's heading"},
        {{{8, "file stamp = 2026-02-30 03:04:05"}}, "clock.ini:8: 'file stamp' must be a date"},
        {{{11, "default folder = C:\\Small Hours\\..\\Windows"}}, "clock.ini:11: 'default folder' must be a folder"},
        {{{12, "publisher key = System\\Small Hours"}}, "clock.ini:12: 'publisher key' must be a key below Software"},
        {{{17, "welcome publisher = 100% Small Hours"}}, "clock.ini:17: 'welcome publisher' may not hold '%'"},
        {{{19, "closing note = " + longLine + "\r\nclosing note = " + longLine + "\r\nclosing note = " + longLine}},
         "clock.ini:19: the closing note is 544 bytes long"},
        {{{20, "[rows REMOVE]"}}, "clock.ini:20: [rows REMOVE] is not a section"},
        {{{21, "filename = Pcremove.exe"}}, "clock.ini:21: 'filename' is not a key of [row REMOVE]"},
        {{{22, "folder = install"}}, "clock.ini:24: the uninstaller is a program in the Windows folder"},
        {{{23, "overwrite = yes"}, {26, "file = ReadMe.txt\r\nshortcut = Read Me"}},
         "clock.ini:25: rows with a shortcut come first"},
        {{{28, "role = read-me\r\n[pictures]\r\nbanner = " + examples + "page.bmp"}},
         "clock.ini:30: " + examples +
             "page.bmp is 120 x 168 pixels in 8 bits per pixel; it must be a Windows "
             "bitmap (BMP3) of 334 x 58 pixels"},
    };
    for (const Case& broken : cases) {
        std::vector<std::string> lines = smallDescription();
        for (const auto& [line, text] : broken.changes) {
            lines[line - 1] = text;
        }
        EXPECT_TRUE(reports(problemsOf(lines), broken.expected));
    }
}

// Texts go into C++ and into resource scripts, which escape a quote
// differently; the day of the week is the file stamp's own.
TEST(ProductDescription, GeneratedFilesCarryTextsAndStampExactly)
{
    std::vector<std::string> lines = smallDescription();
    lines[3] = "tagline = Say \"Tick\"";
    CheckedProduct product;
    ASSERT_TRUE(problemsOf(lines, product).empty());
    EXPECT_EQ(product.stamp[2], 5); // 2 January 2026 is a Friday
    const std::vector<GeneratedFile> files = generatedFiles(product, "clock.ini", "/out");
    const std::string& record = files[1].contents;
    EXPECT_NE(record.find("\"Say \\042Tick\\042\","), std::string::npos) << record;
    EXPECT_NE(record.find("{\"Pcremove.exe\", FILE_IN_WINDOWS_DIR | FILE_OVERWRITE, \"REMOVE\", \"Uninstall\", "
                          "REMOVE_SIZES}"),
              std::string::npos)
        << record;
    EXPECT_NE(files[0].contents.find("constexpr char defaultInstallRoot[] = \"C:\\\\Small Hours\";"),
              std::string::npos);
    EXPECT_NE(files[2].contents.find("set(PRODUCT_STAMP_SECONDS 1767323045)"), std::string::npos) << files[2].contents;
}
