// Joining, case-normalising and comparing 8-bit ANSI path texts. Case rules
// fold the ASCII letters only, whatever the user's locale.
#pragma once
#include <cstddef>
#include <initializer_list>

// Writes base, a backslash unless base already ends with one, and name into
// out, optionally enclosed in quotes, and ends it with two NUL bytes. Returns
// false, leaving out as an empty text, when the result does not fit capacity.
bool joinPath(char* out, size_t capacity, const char* base, const char* name, int quoted);

// The pieces joinPath is made of, for other compositions. appendText writes
// text at out[*length] and advances *length, always keeping room for two
// closing NULs; it returns false when the text does not fit (part of it may
// be written). endText then writes the two NULs after a composition that fits,
// or leaves out as an empty text when it does not, and returns fits.
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

int compareNoCase(const char* a, const char* b);
int compareNoCaseN(const char* a, const char* b, size_t n);
