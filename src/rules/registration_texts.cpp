#include "rules/registration_texts.h"

#include "rules/paths.h"
#include "rules/record_layout.h"

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

bool composeInstallDate(char (&date)[INSTALL_DATE_SIZE], unsigned year, unsigned month, unsigned day)
{
    date[0] = '\0';
    if (year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) {
        return false;
    }
    unsigned number = year * 10000 + month * 100 + day;
    static_assert(INSTALL_DATE_SIZE == 9, "eight digits and the NUL");
    for (int digit = 7; digit >= 0; --digit, number /= 10) {
        date[digit] = static_cast<char>('0' + number % 10);
    }
    date[8] = '\0';
    return true;
}

// Eight rows of up to 4 GiB each add up beyond 32 bits: the sum is kept in 64.
uint32_t installedSizeKiB(const PayloadEntry* rows, int count)
{
    uint64_t bytes = 0;
    for (int row = 0; row < count; ++row) {
        bytes += rows[row].unpackedSize;
    }
    return static_cast<uint32_t>((bytes + 1023) / 1024);
}
