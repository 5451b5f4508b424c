// Product descriptions: the shipped one and the example are read without a
// problem, and every broken rule is reported with the file, line and rule.
#include "checked_product.h"
#include "generated_files.h"
#include "rules/record_layout.h"

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

// The one place that names the shipped product: its description yields,
// through the generator, the record and texts of Tidy Kit 3.08, written out
// here in full so that a wrong value in the description fails somewhere.
TEST(ProductDescription, ShippedDescriptionYieldsTidyKit)
{
    std::vector<std::string> problems;
    CheckedProduct product;
    ASSERT_TRUE(checkProduct(readDescription(SOURCE_DIR "/res/payload/product.ini", problems), product).empty());
    const std::vector<GeneratedFile> files = generatedFiles(product, "product.ini", "/out");
    const auto withoutFirstLine = [](const std::string& text) { return text.substr(text.find('\n') + 1); };
    static_assert(FILE_IN_WINDOWS_DIR == 0x02u && FILE_IN_INSTALL_DIR == 0x01u && FILE_OVERWRITE == 0x10u);
    EXPECT_EQ(withoutFirstLine(files[1].contents), R"(constexpr InstallConfig installConfig = {
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

const char* const preservedExtensions[] = {".CPI", ".CIA", ".DAT", ".KEY"};
)");
    // The header's facts and texts; the pictures' and the licence's paths are the build's.
    std::istringstream header(withoutFirstLine(withoutFirstLine(files[0].contents)));
    std::string facts;
    for (std::string line; std::getline(header, line);) {
        if (line.find("\"/out/") == std::string::npos) {
            facts += line + "\n";
        }
    }
    EXPECT_EQ(facts, R"(#pragma once

#define PRODUCT_NAME "Tidy Kit"
#define PRODUCT_VERSION "3.08"
#define PRODUCT_VERSION_NUMBERS 3, 8, 0, 0
#define PRODUCT_PUBLISHER "Moorfield Systems"
#define PRODUCT_COPYRIGHT "Copyright (C) 1996-2026 Moorfield Systems"
#define PRODUCT_WELCOME_TITLE "Setup Mate For Windows\r\n\251 Moorfield Systems 1996-%i"
#define PRODUCT_WEB_NOTE "Visit Moorfield Systems on the web for news, tips, updates and free add-ons:\r\nwww.moorfield-systems.com"
#define PRODUCT_UNINSTALLER_NAME "Tkremove"
#define PRODUCT_UNINSTALLER_FILE "Tkremove.exe"
#define PRODUCT_SETUP_DESCRIPTION "Setup Mate for Tidy Kit"
#define PRODUCT_UNINSTALLER_DESCRIPTION "Tidy Kit Uninstall"

#ifndef RC_INVOKED
constexpr char defaultInstallRoot[] = "C:\\Moorfield Systems";
constexpr char publisherKey[] = "Software\\Moorfield Systems";
constexpr char versionKeySuffix[] = "\\Programs\\Tidy Kit\\Current Version";
constexpr char previousAutostartValue[] = "TidyKit3";
constexpr int README_ROW = 4;
constexpr int UNINSTALL_ROW = 0;
constexpr int PRESERVED_EXTENSION_COUNT = 4;
constexpr char abortWarningText[] = "Installation Aborted!\r\n\r\nIf you need help installing Tidy Kit, please write to support@moorfield-systems.com.";
constexpr char closingNote[] = "Thank you for installing Tidy Kit!\r\n\r\nNews, free add-ons and answers to common questions are waiting for you at\r\nwww.moorfield-systems.com\r\n\r\nIf you have a question or a suggestion, write to\r\nsupport@moorfield-systems.com\r\n\r\nWe answer every message.";
#endif
)");
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
        {{{2, "name = Pocket Clocks Deluxe"}}, "clock.ini:2: 'name' is 20 characters long; its field holds at most 19"},
        {{{4, "tagline = Always On Time, Wherever You Go, All Year Round"}}, "clock.ini:4: the backdrop's heading"},
        {{{8, "file stamp = 2026-02-30 03:04:05"}}, "clock.ini:8: 'file stamp' must be a date"},
        {{{11, "default folder = C:\\Small Hours\\..\\Windows"}}, "clock.ini:11: 'default folder' must be a folder"},
        {{{12, "publisher key = System\\Small Hours"}}, "clock.ini:12: 'publisher key' must be a key below Software"},
        {{{12, "publisher key = Software\\\\Small Hours"}}, "clock.ini:12: 'publisher key' must be a key below"},
        {{{12, "publisher key = \\Software\\Small Hours"}}, "clock.ini:12: 'publisher key' must be a key below"},
        {{{12, "publisher key = Software\\Small Hours\\"}}, "clock.ini:12: 'publisher key' must be a key below"},
        {{{13, "version key = \\Pocket Clock"}}, "clock.ini:13: 'version key' must be a key below"},
        {{{13, "version key = Pocket\\\\Clock"}}, "clock.ini:13: 'version key' must be a key below"},
        {{{13, "version key = Pocket Clock\\"}}, "clock.ini:13: 'version key' must be a key below"},
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
    std::vector<std::string> justFits = smallDescription();
    justFits[1] = "name = Pocket Clock Deluxe"; // 19 characters, as many as the field holds
    EXPECT_EQ(problemsOf(justFits), std::vector<std::string>{});
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
