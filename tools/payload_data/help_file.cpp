// Tidy Kit.hlp: a header, a topic table, the topics' texts, a keyword index
// and the pictures the topics show (toolbar buttons and two screen views).
#include <algorithm>
#include <utility>

#include "payload_data.h"

namespace {
struct Topic {
    std::string title;
    std::string text;
};

const std::pair<const char*, const char*> guideTopics[] = {
    {"Welcome to Tidy Kit",
     "Tidy Kit keeps your desktop neat. It moves the files that collect on the desktop and in the folders "
     "you choose into places where you will find them again, and it remembers where every icon was."},
    {"Tidying now",
     "Click Tidy Now on the toolbar, or press Ctrl+T. Tidy Kit applies your rules from the top of the list "
     "down; the first rule that matches a file decides where it goes. The status bar shows how many files "
     "were moved."},
    {"Previewing a tidy",
     "Preview lists every move Tidy Kit would make, without moving anything. Untick a line to leave that "
     "file where it is this time, or right-click it and choose Never Move to add an exception."},
    {"Undoing the last tidy",
     "Every move is written to the journal. Undo Last Tidy on the Tools menu moves each file of the last run "
     "back and restores the positions of the desktop icons."},
    {"Writing rules",
     "A rule has a condition and a destination. Conditions test the file type, the first words of the "
     "name, the age in days or the size. Destinations are folders; a destination may contain the fields "
     "<year>, <month> and <type>, which are filled in for each file."},
    {"Scheduling",
     "Tools, Options, Schedule lets Tidy Kit run by itself: at a time of day, when Windows starts, or when "
     "more than a number of files lie on the desktop. Scheduled runs never ask questions; they skip any "
     "file that is open in another program."},
    {"The archive",
     "Files older than the age you set are moved into the archive folder, into one folder per month. The "
     "archive may be on another drive or on a network share."},
    {"Icon positions",
     "Tidy Kit remembers where each desktop icon was. After a change of screen resolution, choose Restore "
     "Icons on the View menu to put them back."},
    {"Keyboard shortcuts", "Ctrl+T Tidy Now. Ctrl+P Preview. Ctrl+Z Undo Last Tidy. Ctrl+R New Rule. Del Delete Rule. "
                           "Alt+Up and Alt+Down move a rule in the list. F1 Help for the current window."},
    {"Troubleshooting",
     "If a file is not moved, open Preview and look at the reason column. Files that are open in another "
     "program, system files and files in use by Windows are always left alone."},
};

const char* const fileTypes[][3] = {
    {"DOC", "Word processor document", "Documents"},
    {"TXT", "Plain text", "Documents"},
    {"RTF", "Rich text document", "Documents"},
    {"WRI", "Write document", "Documents"},
    {"PDF", "Portable document", "Documents"},
    {"XLS", "Spreadsheet", "Documents"},
    {"CSV", "Comma-separated values", "Documents"},
    {"PPT", "Presentation", "Documents"},
    {"BMP", "Bitmap picture", "Pictures"},
    {"GIF", "GIF picture", "Pictures"},
    {"JPG", "JPEG photograph", "Pictures"},
    {"PNG", "PNG picture", "Pictures"},
    {"TIF", "TIFF picture", "Pictures"},
    {"ICO", "Icon", "Pictures"},
    {"WAV", "Wave sound", "Music"},
    {"MP3", "MP3 audio", "Music"},
    {"MID", "MIDI music", "Music"},
    {"WMA", "Windows Media audio", "Music"},
    {"AVI", "Video clip", "Videos"},
    {"MPG", "MPEG video", "Videos"},
    {"WMV", "Windows Media video", "Videos"},
    {"MOV", "QuickTime movie", "Videos"},
    {"ZIP", "Compressed folder", "Downloads"},
    {"EXE", "Program", "Downloads"},
    {"MSI", "Installer package", "Downloads"},
    {"LNK", "Shortcut", "Old Shortcuts"},
    {"URL", "Internet shortcut", "Old Shortcuts"},
    {"HTM", "Web page", "Documents"},
};

const char* const messageSubjects[] = {"the file",    "the folder",   "the archive",     "the rule",
                                       "the journal", "the schedule", "the icon layout", "the destination"};
const char* const messageProblems[] = {
    "could not be found",          "is open in another program", "is on a drive that is not ready",
    "has a name that is too long", "is write-protected",         "is not allowed by your rules"};
const char* const messageAdvice[] = {
    "Close the program that uses it and try again.", "Check that the drive is connected and try again.",
    "Choose another destination under Tools, Options.", "Tidy Kit leaves it where it is; nothing is lost.",
    "Run Preview to see which rule applies."};

std::vector<Topic> makeTopics()
{
    std::vector<Topic> topics;
    for (const auto& [title, text] : guideTopics) {
        topics.push_back({title, std::string(text) + "\r\n"});
    }
    std::string types;
    for (const auto& type : fileTypes) {
        types += std::string("*.") + type[0] + "\t" + type[1] + "\tsorted into " + type[2] + "\r\n";
    }
    topics.push_back({"File types Tidy Kit knows", types});
    for (int group = 0; group < 8; ++group) {
        std::string messages;
        for (int number = 0; number < 36; ++number) {
            const int code = 100 * (group + 1) + number;
            const size_t problem = static_cast<size_t>(number * 7 + group) % 6;
            const size_t advice = static_cast<size_t>(number + group * 3) % 5;
            messages += "Message " + std::to_string(code) + ": " + messageSubjects[group] + " " +
                        messageProblems[problem] + ".\r\nWhat to do: " + messageAdvice[advice] + "\r\n\r\n";
        }
        topics.push_back({std::string("Messages about ") + messageSubjects[group], messages});
    }
    return topics;
}

// An 8-bit picture with the standard 16-colour start of its palette.
void writePicture(ByteWriter& out, int width, int height, const std::vector<uint8_t>& pixels)
{
    out.u16(static_cast<uint32_t>(width));
    out.u16(static_cast<uint32_t>(height));
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t level = (i & 8) ? 255 : 128;
        out.u8((i & 4) ? level : (i == 7 ? 192 : 0));
        out.u8((i & 2) ? level : (i == 7 ? 192 : 0));
        out.u8((i & 1) ? level : (i == 7 ? 192 : 0));
        out.u8(0);
    }
    out.bytes.insert(out.bytes.end(), pixels.begin(), pixels.end());
}

std::vector<uint8_t> toolbarButtons(SeededRandom& random)
{
    constexpr int buttons = 24;
    std::vector<uint8_t> pixels(16 * 16 * buttons, 7);
    for (int b = 0; b < buttons; ++b) {
        const uint8_t colour = static_cast<uint8_t>(1 + random.below(15));
        const int left = 2 + static_cast<int>(random.below(4));
        const int top = 2 + static_cast<int>(random.below(4));
        for (int y = top; y < 14; ++y) {
            for (int x = left; x < 14; ++x) {
                const bool edge = y == top || y == 13 || x == left || x == 13;
                pixels[static_cast<size_t>(y * 16 * buttons + b * 16 + x)] = edge ? 0 : colour;
            }
        }
    }
    return pixels;
}

// A window with a title bar, a toolbar and a list of icon rows.
std::vector<uint8_t> screenView(SeededRandom& random, int width, int height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 15);
    auto fill = [&](int left, int top, int right, int bottom, uint8_t colour) {
        for (int y = top; y < bottom; ++y) {
            std::fill_n(pixels.begin() + y * width + left, right - left, colour);
        }
    };
    fill(0, 0, width, 18, 4);
    fill(0, 18, width, 40, 7);
    for (int row = 0; 44 + row * 18 < height - 4; ++row) {
        const int y = 44 + row * 18;
        fill(6, y, 22, y + 16, static_cast<uint8_t>(1 + random.below(14)));
        const int length = 40 + static_cast<int>(random.below(static_cast<uint32_t>(width - 120)));
        for (int x = 30; x < 30 + length; x += 6) {
            fill(x, y + 6, x + 4, y + 10, 0);
        }
    }
    return pixels;
}
} // namespace

std::vector<uint8_t> makeHelpFile()
{
    const std::vector<Topic> topics = makeTopics();
    ByteWriter out;
    out.text("TKHELP\x1A");
    out.u8(0);
    out.u16(308);
    out.u16(static_cast<uint32_t>(topics.size()));
    const size_t offsets = out.bytes.size();
    out.u32(0); // topic texts
    out.u32(0); // keyword index
    out.u32(0); // pictures

    const size_t table = out.bytes.size();
    for (const Topic& topic : topics) {
        out.u32(0);
        out.u32(static_cast<uint32_t>(topic.text.size()));
        out.field(topic.title, 48);
    }
    out.patch32(offsets, static_cast<uint32_t>(out.bytes.size()));
    for (size_t i = 0; i < topics.size(); ++i) {
        out.patch32(table + i * 56, static_cast<uint32_t>(out.bytes.size()));
        out.text(topics[i].text);
    }

    // Every word of every title leads to its topic.
    std::vector<std::pair<std::string, uint32_t>> keywords;
    for (size_t i = 0; i < topics.size(); ++i) {
        std::string word;
        for (char c : topics[i].title + " ") {
            if (c == ' ') {
                if (word.size() > 3) {
                    keywords.emplace_back(word, static_cast<uint32_t>(i));
                }
                word.clear();
            } else {
                word += c;
            }
        }
    }
    std::sort(keywords.begin(), keywords.end());
    out.patch32(offsets + 4, static_cast<uint32_t>(out.bytes.size()));
    out.u32(static_cast<uint32_t>(keywords.size()));
    for (const auto& [word, topic] : keywords) {
        out.field(word, 32);
        out.u16(topic);
    }

    SeededRandom random{308};
    out.patch32(offsets + 8, static_cast<uint32_t>(out.bytes.size()));
    out.u16(3);
    writePicture(out, 16 * 24, 16, toolbarButtons(random));
    writePicture(out, 320, 240, screenView(random, 320, 240));
    writePicture(out, 320, 240, screenView(random, 320, 240));
    return out.bytes;
}
