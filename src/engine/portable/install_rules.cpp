#include "engine/portable/install_rules.h"

#include <cstring>

#include "engine/portable/paths.h"

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
