#include "pages/portable/link_path.h"

#include "engine/portable/paths.h"

namespace {
bool appendFolder(char* out, size_t capacity, size_t* length, const char* folder)
{
    if (!appendText(out, capacity, length, folder)) {
        return false;
    }
    return (*length > 0 && out[*length - 1] == '\\') || appendText(out, capacity, length, "\\");
}
} // namespace

bool buildLinkPath(char* out, size_t capacity, const char* programsDir, const char* groupName, const char* caption)
{
    size_t length = 0;
    const bool fits = appendFolder(out, capacity, &length, programsDir) &&
                      appendFolder(out, capacity, &length, groupName) && appendText(out, capacity, &length, caption) &&
                      appendText(out, capacity, &length, ".lnk");
    return endText(out, capacity, length, fits);
}
