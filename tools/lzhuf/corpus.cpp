#include "corpus.h"

#include <cstring>

namespace {
struct Random {
    uint64_t state;
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 16);
    }
    // Small values far more often than large ones.
    uint32_t skewed(uint32_t count) { return next() % (next() % count + 1); }
};

constexpr const char* words[] = {
    "the",   "of",       "and",    "to",      "a",        "in",      "is",      "your",   "files",  "desktop",
    "for",   "that",     "with",   "it",      "folder",   "Tidy",    "Kit",     "each",   "icon",   "can",
    "you",   "be",       "are",    "on",      "as",       "when",    "rule",    "this",   "from",   "by",
    "or",    "shortcut", "window", "which",   "list",     "one",     "all",     "new",    "sort",   "keep",
    "move",  "program",  "clean",  "name",    "date",     "size",    "choose",  "option", "menu",   "before",
    "after", "every",    "week",   "archive", "document", "picture", "setting", "click",  "button", "open",
};
constexpr size_t wordCount = sizeof words / sizeof words[0];

void appendText(std::vector<uint8_t>& out, const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }

void makeText(std::vector<uint8_t>& out, size_t size, Random& random)
{
    size_t lineStart = 0;
    bool sentenceStart = true;
    while (out.size() < size) {
        std::vector<uint8_t> word;
        appendText(word, words[random.skewed(wordCount)]);
        if (sentenceStart && word[0] >= 'a' && word[0] <= 'z') {
            word[0] = static_cast<uint8_t>(word[0] - 32);
        }
        sentenceStart = random.next() % 9 == 0;
        if (out.size() - lineStart + word.size() > 72) {
            appendText(out, "\r\n");
            lineStart = out.size();
        } else if (out.size() != lineStart) {
            out.push_back(' ');
        }
        out.insert(out.end(), word.begin(), word.end());
        if (sentenceStart) {
            out.push_back('.');
        }
    }
}

void makeTables(std::vector<uint8_t>& out, size_t size, Random& random)
{
    uint32_t id = 1000;
    while (out.size() < size) {
        uint8_t record[32] = {};
        id += 1 + random.skewed(4);
        const uint32_t type = random.skewed(12);
        const uint32_t amount = random.skewed(100000);
        std::memcpy(record, &id, 4);
        std::memcpy(record + 4, &type, 2);
        std::memcpy(record + 8, &amount, 4);
        const char* name = words[random.skewed(wordCount)];
        std::memcpy(record + 12, name, std::strlen(name));
        record[31] = static_cast<uint8_t>(random.next() & 0x0F);
        out.insert(out.end(), record, record + sizeof record);
    }
}

void makeRuns(std::vector<uint8_t>& out, size_t size, Random& random)
{
    while (out.size() < size) {
        const uint8_t byte = static_cast<uint8_t>(random.skewed(256));
        out.insert(out.end(), 1 + random.skewed(300), byte);
        for (uint32_t pattern = random.skewed(12); pattern > 0; --pattern) {
            out.push_back(static_cast<uint8_t>(random.next()));
        }
    }
}
} // namespace

std::vector<uint8_t> sampleData(SampleKind kind, size_t size, uint32_t seed)
{
    Random random{0x9E3779B97F4A7C15ull ^ seed};
    std::vector<uint8_t> out;
    out.reserve(size + 512);
    switch (kind) {
    case SampleKind::Text:
        makeText(out, size, random);
        break;
    case SampleKind::Tables:
        makeTables(out, size, random);
        break;
    case SampleKind::Runs:
        makeRuns(out, size, random);
        break;
    case SampleKind::Random:
        while (out.size() < size) {
            out.push_back(static_cast<uint8_t>(random.next()));
        }
        break;
    }
    out.resize(size);
    return out;
}
