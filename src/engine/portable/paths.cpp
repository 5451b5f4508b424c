#include "engine/portable/paths.h"

namespace {
bool isLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }
unsigned char foldCase(unsigned char c) { return isUpper(c) ? static_cast<unsigned char>(c + 32) : c; }
} // namespace

bool appendText(char* out, size_t capacity, size_t* length, const char* text)
{
    for (; *text != '\0'; ++text) {
        if (*length + 2 >= capacity) {
            return false;
        }
        out[(*length)++] = *text;
    }
    return true;
}

bool appendSeparator(char* out, size_t capacity, size_t* length)
{
    return (*length > 0 && out[*length - 1] == '\\') || appendText(out, capacity, length, "\\");
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

void normaliseFolderCase(char* text)
{
    unsigned char* c = reinterpret_cast<unsigned char*>(text);
    if (*c == '\0') {
        return;
    }
    if (isLower(*c)) {
        *c = static_cast<unsigned char>(*c - 32);
    }
    for (++c; *c != '\0'; ++c) {
        if (*c == ' ' || *c == '\\') {
            ++c;
            if (*c == '\0') {
                return;
            }
            if (isLower(*c)) {
                *c = static_cast<unsigned char>(*c - 32);
            }
        } else if (isUpper(*c)) {
            *c = static_cast<unsigned char>(*c + 32);
        }
    }
}

const char* findLastDot(const char* text)
{
    const char* lastDot = nullptr;
    for (; *text != '\0'; ++text) {
        if (*text == '.') {
            lastDot = text;
        }
    }
    return lastDot;
}

int compareNoCaseN(const char* a, const char* b, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(a[i]);
        const unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca != cb && foldCase(ca) != foldCase(cb)) {
            return foldCase(ca) < foldCase(cb) ? -1 : 1;
        }
        if (ca == '\0') {
            return 0;
        }
    }
    return 0;
}

int compareNoCase(const char* a, const char* b) { return compareNoCaseN(a, b, static_cast<size_t>(-1)); }
