#include "engine/portable/registration_texts.h"

#include "engine/portable/paths.h"

bool fillOneText(char* out, size_t capacity, const char* format, const char* argument)
{
    size_t length = 0;
    bool fits = true;
    bool filled = false;
    for (const char* c = format; fits && *c != '\0'; ++c) {
        if (!filled && c[0] == '%' && c[1] == 's') {
            fits = appendText(out, capacity, &length, argument);
            filled = true;
            ++c;
        } else {
            const char single[2] = {*c, '\0'};
            fits = appendText(out, capacity, &length, single);
        }
    }
    return endText(out, capacity, length, fits);
}

bool composeReadMeCommand(char (&commandLine)[README_COMMAND_SIZE], const char* viewerPath, const char* installDir,
                          const char* readMeName)
{
    char quotedPath[QUOTED_README_SIZE];
    if (!joinPath(quotedPath, sizeof quotedPath, installDir, readMeName, 1)) {
        return endText(commandLine, sizeof commandLine, 0, false);
    }
    return concatenateTexts(commandLine, sizeof commandLine, {"\"", viewerPath, "\" ", quotedPath});
}

bool composeQuietUninstall(char (&command)[REGISTRY_TEXT_SIZE], const char* windowsDir, const char* uninstallerName)
{
    char quotedPath[REGISTRY_TEXT_SIZE];
    if (!joinPath(quotedPath, sizeof quotedPath, windowsDir, uninstallerName, 1)) {
        return endText(command, sizeof command, 0, false);
    }
    return concatenateTexts(command, sizeof command, {quotedPath, " ", quietSwitch});
}
