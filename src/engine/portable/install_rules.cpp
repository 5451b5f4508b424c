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
    size_t length = std::strlen(path);
    if (length < 4 || path[1] != ':' || path[2] != '\\') {
        return 0;
    }
    if (path[length - 1] == '\\') {
        path[--length] = '\0';
    }
    int levels = 1; // the level right below the root
    for (size_t i = length - 1; i > 2; --i) {
        if (path[i] == '\\') {
            path[i] = '\0';
            ++levels;
        }
    }
    return levels;
}
