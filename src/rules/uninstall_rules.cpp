#include "rules/uninstall_rules.h"

#include <cstring>

#include "rules/location_rules.h"
#include "rules/paths.h"
#include "rules/progress_math.h"
#include "rules/registration_texts.h"

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

void addLeftBehind(PathList& list, const char* path, LeftReason reason)
{
    list.reasons |= reason;
    addPath(list, path);
}

void addPath(PathList& list, const char* path)
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

namespace {
// The sentence that tells the user what to do about each reason, with the
// product name after its first part where it has one.
struct ReasonText {
    LeftReason reason;
    const char* beforeName;
    const char* afterName;
};
constexpr ReasonText reasonTexts[] = {
    {LEFT_IN_USE, "Close ", " and any window that uses these files, then uninstall again to finish."},
    {LEFT_LINK,
     "Links, files with more than one name and folders that cannot be held are never followed, changed or "
     "removed by the removal of ",
     "."},
    {LEFT_UNRECORDED, "The record of what the setup of ",
     " installed is missing or damaged, so these could not be told from your own files: install it again and "
     "then uninstall it, or delete them yourself."},
    {LEFT_OUT_OF_REACH, "These lie where this removal of ",
     " may not work: in another user's Start Menu, or in a folder that the installation's records disagree on. "
     "Delete them yourself if they are no longer needed."},
    {LEFT_UNFINISHED, "The setup of ",
     " stopped before it had recorded the installation in the list of programs: run it again to finish the "
     "installation, then uninstall it."},
};

constexpr size_t textLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0') {
        ++length;
    }
    return length;
}

// All the sentences above with their line breaks, for the size of the message.
constexpr size_t reasonTextsLength()
{
    size_t total = 0;
    for (const ReasonText& reason : reasonTexts) {
        total += 4 + textLength(reason.beforeName) + textLength(reason.afterName);
    }
    return total;
}

void appendPathList(char* out, size_t capacity, size_t* length, const PathList& list)
{
    appendText(out, capacity, length, list.text);
    if (list.unlisted > 0) {
        char count[GROUPED_NUMBER_SIZE];
        formatGroupedNumber(static_cast<uint32_t>(list.unlisted), count);
        appendText(out, capacity, length, "\r\nand ");
        appendText(out, capacity, length, count);
        appendText(out, capacity, length, " more");
    }
}
} // namespace

void composeClosingMessage(char (&out)[CLOSING_MESSAGE_SIZE], const char* productName, const PathList& left,
                           const PathList& keptFolders)
{
    // The longest message: the fixed sentences, the product name (at most 19
    // characters) in each, and both lists whole with their counts.
    constexpr size_t names = (1 + sizeof reasonTexts / sizeof reasonTexts[0]) * 19;
    static_assert(CLOSING_MESSAGE_SIZE >= 2 * LEFT_LIST_SIZE + reasonTextsLength() + names + 200,
                  "every closing message fits");
    size_t length = 0;
    appendText(out, sizeof out, &length, productName);
    if (left.count == 0) {
        appendText(out, sizeof out, &length, " has been removed from this computer.");
    } else {
        appendText(out, sizeof out, &length, " could not be removed completely. These are still there:\r\n\r\n");
        appendPathList(out, sizeof out, &length, left);
        for (const ReasonText& reason : reasonTexts) {
            if ((left.reasons & reason.reason) != 0) {
                appendText(out, sizeof out, &length, "\r\n\r\n");
                appendText(out, sizeof out, &length, reason.beforeName);
                appendText(out, sizeof out, &length, productName);
                appendText(out, sizeof out, &length, reason.afterName);
            }
        }
    }
    if (keptFolders.count > 0) {
        appendText(out, sizeof out, &length,
                   keptFolders.count == 1 ? "\r\n\r\nYour own files were kept in this folder:\r\n"
                                          : "\r\n\r\nYour own files were kept in these folders:\r\n");
        appendPathList(out, sizeof out, &length, keptFolders);
    }
    endText(out, sizeof out, length, true);
}
