#include "uninstall/portable/uninstall_rules.h"

#include <cstring>

#include "engine/portable/paths.h"
#include "engine/portable/registration_texts.h"
#include "pages/portable/location_rules.h"
#include "pages/portable/progress_math.h"

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
} // namespace

UninstallMode readUninstallMode(const char* commandLine)
{
    const size_t switchLength = std::strlen(quietSwitch);
    UninstallMode mode = UNINSTALL_ASKING;
    for (const char* word = commandLine; *word != '\0';) {
        if (isBlank(*word)) {
            ++word;
            continue;
        }
        size_t length = 0;
        while (word[length] != '\0' && !isBlank(word[length])) {
            ++length;
        }
        if (length != switchLength || compareNoCaseN(word, quietSwitch, length) != 0) {
            return UNINSTALL_BAD_OPTION;
        }
        mode = UNINSTALL_QUIET;
        word += length;
    }
    return mode;
}

bool isExactRegistryText(const char* data, size_t dataSize)
{
    return dataSize > 0 && data[dataSize - 1] == '\0' && std::memchr(data, '\0', dataSize - 1) == nullptr;
}

bool isUsableRecordedFolder(const char* folder)
{
    char canonical[PATH_BUFFER_SIZE];
    return startsWithDriveRoot(folder) && isDriveLetter(folder[0]) &&
           canonicalFolderPath(folder, canonical, sizeof canonical) == LOCATION_ACCEPTED && canonical[3] != '\0' &&
           std::strcmp(canonical, folder) == 0;
}

// The programs folder is the shell's answer and is taken as it stands; only
// the group name, which a user typed, is resolved, and never above it.
bool composeGroupFolder(char* out, const char* programsDir, const char* groupName)
{
    return resolveSubfolder(programsDir, groupName, out, PATH_BUFFER_SIZE);
}

bool isDirectSubfolder(const char* folder, const char* parent)
{
    const size_t length = std::strlen(parent);
    return length > 0 && compareNoCaseN(folder, parent, length) == 0 && folder[length] == '\\' &&
           startsCharacter(folder, length) && folder[length + 1] != '\0' &&
           findCharacter(folder + length + 1, '\\') == nullptr;
}

void addLeftBehind(LeftBehind& list, const char* path)
{
    ++list.count;
    size_t length = list.length;
    const bool fits = (length == 0 || appendText(list.text, sizeof list.text, &length, "\r\n")) &&
                      appendText(list.text, sizeof list.text, &length, path);
    if (fits) {
        list.length = length;
    } else {
        ++list.unlisted;
    }
    endText(list.text, sizeof list.text, list.length, true);
}

void composeClosingMessage(char (&out)[CLOSING_MESSAGE_SIZE], const char* productName, const LeftBehind& left,
                           const char* keptFolder)
{
    // The longest message: the fixed sentences, the product name twice, the
    // whole list and a folder path.
    static_assert(CLOSING_MESSAGE_SIZE >= LEFT_LIST_SIZE + 2 * 20 + PATH_BUFFER_SIZE + 200,
                  "every closing message fits");
    size_t length = 0;
    if (left.count == 0) {
        appendText(out, sizeof out, &length, productName);
        appendText(out, sizeof out, &length, " has been removed from this computer.");
    } else {
        appendText(out, sizeof out, &length, productName);
        appendText(out, sizeof out, &length, " could not be removed completely. These are still there:\r\n\r\n");
        appendText(out, sizeof out, &length, left.text);
        if (left.unlisted > 0) {
            char count[GROUPED_NUMBER_SIZE];
            formatGroupedNumber(static_cast<uint32_t>(left.unlisted), count);
            appendText(out, sizeof out, &length, "\r\nand ");
            appendText(out, sizeof out, &length, count);
            appendText(out, sizeof out, &length, " more");
        }
        appendText(out, sizeof out, &length, "\r\n\r\nClose ");
        appendText(out, sizeof out, &length, productName);
        appendText(out, sizeof out, &length, " and any window that uses these files, then uninstall again to finish.");
    }
    if (keptFolder[0] != '\0') {
        appendText(out, sizeof out, &length, "\r\n\r\nYour own files were kept in this folder:\r\n");
        appendText(out, sizeof out, &length, keptFolder);
    }
    endText(out, sizeof out, length, true);
}
