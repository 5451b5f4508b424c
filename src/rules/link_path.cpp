#include "rules/link_path.h"

#include "rules/paths.h"

bool buildLinkPath(char* out, size_t capacity, const char* programsDir, const char* groupName, const char* caption)
{
    size_t length = 0;
    const bool fits = appendText(out, capacity, &length, programsDir) && appendSeparator(out, capacity, &length) &&
                      appendText(out, capacity, &length, groupName) && appendSeparator(out, capacity, &length) &&
                      appendText(out, capacity, &length, caption) && appendText(out, capacity, &length, ".lnk");
    return endText(out, capacity, length, fits);
}
