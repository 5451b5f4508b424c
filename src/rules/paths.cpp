#include "rules/paths.h"

namespace {
bool isLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
unsigned char foldCase(unsigned char c) { return isUpper(c) ? static_cast<unsigned char>(c + 32) : c; }

// One flag per byte value: a table lookup keeps the walks as cheap as they
// were byte by byte.
bool leadBytes[256];
} // namespace

void setLeadByteRanges(const unsigned char* ranges)
{
    for (bool& lead : leadBytes) {
        lead = false;
    }
    for (size_t i = 0; i + 1 < LEAD_BYTE_RANGES_SIZE && (ranges[i] != 0 || ranges[i + 1] != 0); i += 2) {
        for (unsigned byte = ranges[i]; byte <= ranges[i + 1]; ++byte) {
            leadBytes[byte] = true;
        }
    }
    leadBytes[0] = false; // the NUL always ends the text
}

bool isLeadByte(unsigned char byte) { return leadBytes[byte]; }

const char* nextCharacter(const char* text)
{
    if (*text == '\0') {
        return text;
    }
    return text + (isLeadByte(static_cast<unsigned char>(*text)) && text[1] != '\0' ? 2 : 1);
}

char* nextCharacter(char* text) { return const_cast<char*>(nextCharacter(static_cast<const char*>(text))); }

bool startsCharacter(const char* text, size_t position)
{
    size_t at = 0;
    while (at < position && text[at] != '\0') {
        at = static_cast<size_t>(nextCharacter(text + at) - text);
    }
    return at == position;
}

const char* findCharacter(const char* text, char c)
{
    for (; *text != '\0'; text = nextCharacter(text)) {
        if (*text == c) {
            return text;
        }
    }
    return nullptr;
}

const char* findLastCharacter(const char* text, char c)
{
    const char* last = nullptr;
    for (const char* found = findCharacter(text, c); found != nullptr; found = findCharacter(found + 1, c)) {
        last = found;
    }
    return last;
}

bool appendText(char* out, size_t capacity, size_t* length, const char* text)
{
    while (*text != '\0') {
        const char* next = nextCharacter(text);
        const size_t size = static_cast<size_t>(next - text);
        if (*length + size + 1 >= capacity) {
            return false;
        }
        for (; text != next; ++text) {
            out[(*length)++] = *text;
        }
    }
    return true;
}

// The text so far ends with a separator only when its last backslash is a
// character of its own, not the second byte of one.
bool appendSeparator(char* out, size_t capacity, size_t* length)
{
    return (*length > 0 && out[*length - 1] == '\\' && startsCharacter(out, *length - 1)) ||
           appendText(out, capacity, length, "\\");
}

bool endText(char* out, size_t capacity, size_t length, bool fits)
{
    if (!fits) {
        length = 0;
    }
    for (size_t i = length; i < length + 2 && i < capacity; ++i) {
        out[i] = '\0';
    }
    return fits;
}

bool concatenateTexts(char* out, size_t capacity, std::initializer_list<const char*> texts)
{
    size_t length = 0;
    bool fits = true;
    for (const char* text : texts) {
        fits = fits && appendText(out, capacity, &length, text);
    }
    return endText(out, capacity, length, fits);
}

bool joinPath(char* out, size_t capacity, const char* base, const char* name, int quoted)
{
    size_t length = 0;
    const char quote[] = "\"";
    const bool fits = (quoted != 1 || appendText(out, capacity, &length, quote)) &&
                      appendText(out, capacity, &length, base) && appendSeparator(out, capacity, &length) &&
                      appendText(out, capacity, &length, name) &&
                      (quoted != 1 || appendText(out, capacity, &length, quote));
    return endText(out, capacity, length, fits);
}

namespace {
// Changes an ASCII letter at c (never a lead byte) to upper or lower case.
void setCase(char* c, bool upper)
{
    const unsigned char byte = static_cast<unsigned char>(*c);
    if (upper && isLower(byte)) {
        *c = static_cast<char>(byte - 32);
    } else if (!upper && isUpper(byte)) {
        *c = static_cast<char>(byte + 32);
    }
}
} // namespace

void normaliseFolderCase(char* text)
{
    if (*text == '\0') {
        return;
    }
    setCase(text, true);
    for (char* c = nextCharacter(text); *c != '\0'; c = nextCharacter(c)) {
        if (*c == ' ' || *c == '\\') {
            c = nextCharacter(c);
            if (*c == '\0') {
                return;
            }
            setCase(c, true);
        } else {
            setCase(c, false);
        }
    }
}

const char* findLastDot(const char* text) { return findLastCharacter(text, '.'); }

int compareNoCaseN(const char* a, const char* b, size_t n)
{
    // Bytes that differ only in case are ASCII letters, never lead bytes, so
    // both texts have their two-byte characters at the same places.
    bool secondByte = false;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        const unsigned char fa = secondByte ? ca : foldCase(ca);
        const unsigned char fb = secondByte ? cb : foldCase(cb);
        if (fa != fb) {
            return fa < fb ? -1 : 1;
        }
        if (ca == '\0') {
            return 0;
        }
        secondByte = !secondByte && isLeadByte(ca);
    }
    return 0;
}

int compareNoCase(const char* a, const char* b) { return compareNoCaseN(a, b, static_cast<size_t>(-1)); }
