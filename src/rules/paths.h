// Joining, case-normalising and comparing 8-bit ANSI path texts. Case rules
// fold the ASCII letters only, whatever the user's locale. In the code pages
// of two-byte characters (Japanese, Chinese, Korean) the second byte of a
// character may be '\\' or a letter; every helper here steps over such a
// character whole, so that it never splits, folds or matches its second byte.
#pragma once
#include <cstddef>
#include <initializer_list>

// The lead bytes of the system's ANSI code page, given as Windows lists them
// (CPINFO.LeadByte): pairs of first and last byte of a range, ended by a 0, 0
// pair or after LEAD_BYTE_RANGES_SIZE bytes. Set once at start-up; until
// then, and after an empty list, every character is one byte.
constexpr size_t LEAD_BYTE_RANGES_SIZE = 12;
void setLeadByteRanges(const unsigned char* ranges);
bool isLeadByte(unsigned char byte);
// The character after the one at text: two bytes on for a lead byte that a
// second byte follows, one otherwise; the NUL itself is never passed.
const char* nextCharacter(const char* text);
char* nextCharacter(char* text);
// True when position (within the text) starts a character rather than
// being the second byte of a two-byte one.
bool startsCharacter(const char* text, size_t position);
// The first and the last character c (a one-byte character) of the text, or null.
const char* findCharacter(const char* text, char c);
const char* findLastCharacter(const char* text, char c);

// Writes base, a backslash unless base already ends with one, and name into
// out, optionally enclosed in quotes, and ends it with two NUL bytes. Returns
// false, leaving out as an empty text, when the result does not fit capacity.
bool joinPath(char* out, size_t capacity, const char* base, const char* name, int quoted);

// The pieces joinPath is made of, for other compositions. appendText writes
// text at out[*length] and advances *length, always keeping room for two
// closing NULs; it returns false when the text does not fit (the characters
// that fit may be written, never half of one). endText then writes the two
// NULs after a composition that fits, or leaves out as an empty text when it
// does not, and returns fits.
bool appendText(char* out, size_t capacity, size_t* length, const char* text);
// Appends a backslash unless the text so far already ends with one. An empty
// text gets one too, so that a name never fuses with what stands before it.
bool appendSeparator(char* out, size_t capacity, size_t* length);
bool endText(char* out, size_t capacity, size_t length, bool fits);
// Writes the texts one directly after another, closed like joinPath's result.
bool concatenateTexts(char* out, size_t capacity, std::initializer_list<const char*> texts);

// Upper-cases the first letter of the text and of each word after a space or
// backslash, lower-cases every other upper-case letter.
void normaliseFolderCase(char* text);

// The last '.' of the text, or null when it has none.
const char* findLastDot(const char* text);

// Compare under ASCII case folding; the second byte of a two-byte character
// compares as itself.
int compareNoCase(const char* a, const char* b);
int compareNoCaseN(const char* a, const char* b, size_t n);
