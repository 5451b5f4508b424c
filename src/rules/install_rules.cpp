#include "rules/install_rules.h"

#include <cstring>

#include "rules/paths.h"

bool hasPreservedExtension(const char* name, const char* const* extensions, int count)
{
    const char* extension = findLastDot(name);
    if (extension == nullptr) {
        return false;
    }
    for (int i = count - 1; i >= 0; --i) {
        if (compareNoCase(extension, extensions[i]) == 0) {
            return true;
        }
    }
    return false;
}

// Extensions are ASCII: a character beyond it never equals one of theirs.
bool hasPreservedExtension(const wchar_t* name, const char* const* extensions, int count)
{
    const wchar_t* extension = nullptr;
    for (const wchar_t* c = name; *c != L'\0'; ++c) {
        if (*c == L'.') {
            extension = c;
        }
    }
    char ascii[8];
    size_t length = 0;
    for (; extension != nullptr && extension[length] != L'\0'; ++length) {
        if (length + 1 >= sizeof ascii || static_cast<uint32_t>(extension[length]) > 0x7F) {
            return false;
        }
        ascii[length] = static_cast<char>(extension[length]);
    }
    ascii[length] = '\0';
    return extension != nullptr && hasPreservedExtension(ascii, extensions, count);
}

int cutFolderLevels(char* path)
{
    if (std::strlen(path) < 4 || path[1] != ':' || path[2] != '\\') {
        return 0;
    }
    // Forward, character by character: a backslash may be the second byte
    // of a two-byte character, which only a walk from the start can tell.
    int levels = 1; // the level right below the root
    for (char* c = path + 3; *c != '\0';) {
        char* next = nextCharacter(c);
        if (*c == '\\') {
            *c = '\0';
            levels += *next != '\0' ? 1 : 0; // one closing backslash makes no level
        }
        c = next;
    }
    return levels;
}

bool isLinkEntry(uint32_t attributes, uint32_t reparseTag)
{
    constexpr uint32_t REPARSE_POINT_ATTRIBUTE = 0x400;
    constexpr uint32_t NAME_SURROGATE_BIT = 0x20000000;
    return (attributes & REPARSE_POINT_ATTRIBUTE) != 0 && (reparseTag == 0 || (reparseTag & NAME_SURROGATE_BIT) != 0);
}

void composeInUseMessage(char (&out)[IN_USE_MESSAGE_SIZE], const char* path, const char* productName,
                         const char* cancelMeaning)
{
    concatenateTexts(out, sizeof out,
                     {path, "\r\nis in use by another program.\r\n\r\nClose ", productName,
                      " and any window that uses this file, then choose Retry. Cancel ", cancelMeaning, "."});
}
