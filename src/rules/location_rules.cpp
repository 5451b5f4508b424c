#include "rules/location_rules.h"

#include <cstring>

#include "rules/paths.h"

const char* locationReasonFormat(LocationProblem problem)
{
    switch (problem) {
    case LOCATION_EMPTY:
        return "%sPath may not be empty!";
    case LOCATION_NO_DRIVE:
        return "%sMissing : or \\ in drive.";
    case LOCATION_ROOT_DRIVE:
        return "%sPath may not be a root drive...";
    case LOCATION_TOO_LONG:
        return "%sPath is too long!";
    case LOCATION_BAD_NAME:
        return "%sPath holds a name that Windows does not allow.";
    case LOCATION_THROUGH_LINK:
        return "%sPath may not lead through a folder link.";
    case LOCATION_OTHERS_FOLDER:
        return "%sPath leads through a folder that users other than administrators may change.";
    default:
        return nullptr;
    }
}

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Where the component that begins at start ends: at the next separator or at
// the end of the text. A separator byte inside a two-byte character is not one.
size_t componentEnd(const char* text, size_t start)
{
    while (text[start] != '\0' && !isSeparator(text[start])) {
        start = static_cast<size_t>(nextCharacter(text + start) - text);
    }
    return start;
}

// True when every component from start on is a folder name, so that a
// closing separator is allowed and an empty component is not.
bool holdsOnlyFolderNames(const char* text, size_t start)
{
    while (text[start] != '\0') {
        const size_t end = componentEnd(text, start);
        if (!isFolderName(text + start, end - start)) {
            return false;
        }
        start = text[end] == '\0' ? end : end + 1;
    }
    return true;
}

// Drops the last component of a resolved path of that length (closed with a
// NUL here, so that it can be walked from the start), keeping its root.
size_t parentLength(char* path, size_t length, size_t rootLength)
{
    path[length] = '\0';
    const char* lastSeparator = findLastCharacter(path + rootLength, '\\');
    return lastSeparator != nullptr ? static_cast<size_t>(lastSeparator - path) : rootLength;
}

// The first rootLength bytes of out are a folder below which the components
// of path from start on are resolved, as Windows resolves them: '/' is a
// separator like '\', empty and "." components vanish and ".." removes the
// component before it. A ".." at the root stays there unless climbing is
// refused, which refuses the path with LOCATION_ROOT_DRIVE. The text is
// closed with a NUL; out is empty on a refusal.
LocationProblem resolveBelow(const char* path, size_t start, char* out, size_t rootLength, size_t capacity,
                             bool refuseClimbing)
{
    // A root that ends with its backslash (a drive root) needs none before its first component.
    const bool rootEndsWithSeparator = rootLength > 0 && findLastCharacter(out, '\\') == out + rootLength - 1;
    size_t length = rootLength;
    while (path[start] != '\0') {
        const size_t end = componentEnd(path, start);
        const size_t size = end - start;
        if (size == 2 && path[start] == '.' && path[start + 1] == '.') {
            if (length == rootLength && refuseClimbing) {
                out[0] = '\0';
                return LOCATION_ROOT_DRIVE;
            }
            length = parentLength(out, length, rootLength);
        } else if (size > 0 && !(size == 1 && path[start] == '.')) {
            const size_t separator = length > rootLength || !rootEndsWithSeparator ? 1 : 0;
            if (length + separator + size >= capacity) {
                out[0] = '\0';
                return LOCATION_TOO_LONG;
            }
            if (separator) {
                out[length++] = '\\';
            }
            std::memcpy(out + length, path + start, size);
            length += size;
        }
        start = path[end] == '\0' ? end : end + 1;
    }
    out[length] = '\0';
    // Only the components that remain are names; those removed by ".." never reach the system.
    if (length > rootLength && !holdsOnlyFolderNames(out, rootEndsWithSeparator ? rootLength : rootLength + 1)) {
        out[0] = '\0';
        return LOCATION_BAD_NAME;
    }
    return LOCATION_ACCEPTED;
}
} // namespace

LocationProblem canonicalFolderPath(const char* path, char* out, size_t capacity)
{
    if (capacity < 4) {
        return LOCATION_TOO_LONG;
    }
    out[0] = path[0];
    out[1] = ':';
    out[2] = '\\';
    out[3] = '\0';
    return resolveBelow(path, 3, out, 3, capacity, false);
}

bool resolveSubfolder(const char* folder, const char* relative, char* out, size_t capacity)
{
    const size_t rootLength = std::strlen(folder);
    if (rootLength == 0 || rootLength >= capacity) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out, folder, rootLength + 1);
    if (resolveBelow(relative, 0, out, rootLength, capacity, true) != LOCATION_ACCEPTED || out[rootLength] == '\0') {
        out[0] = '\0';
        return false;
    }
    return true;
}

LocationProblem resolveInstallLocation(const char* typed, const char* productName, char* out)
{
    out[0] = '\0';
    if (typed[0] == '\0') {
        return LOCATION_EMPTY;
    }
    if (typed[1] != ':' || typed[2] != '\\') {
        return LOCATION_NO_DRIVE;
    }
    char canonical[TYPED_PATH_CAPACITY];
    const LocationProblem problem = canonicalFolderPath(typed, canonical, sizeof canonical);
    if (problem != LOCATION_ACCEPTED) {
        return problem;
    }
    if (canonical[3] == '\0') {
        return LOCATION_ROOT_DRIVE;
    }
    if (containsProductName(canonical, productName)) {
        if (std::strlen(canonical) >= PATH_BUFFER_SIZE) {
            return LOCATION_TOO_LONG;
        }
        std::strcpy(out, canonical);
        return LOCATION_ACCEPTED;
    }
    char joined[JOINED_PATH_CAPACITY];
    if (!joinPath(joined, sizeof joined, canonical, productName, 0)) {
        return LOCATION_TOO_LONG;
    }
    std::strcpy(out, joined);
    return LOCATION_ACCEPTED;
}

bool isFolderName(const char* name, size_t length)
{
    if (length == 0) {
        return false;
    }
    // The second byte of a two-byte character is never one of these.
    char last = '\0';
    for (const char* c = name; c < name + length; c = nextCharacter(c)) {
        if (static_cast<unsigned char>(*c) < 0x20 || std::strchr("<>:\"|?*", *c) != nullptr) {
            return false;
        }
        last = nextCharacter(c) == c + 1 ? *c : '\0';
    }
    return last != '.' && last != ' ';
}

bool isGroupPath(const char* group) { return group[0] != '\0' && holdsOnlyFolderNames(group, 0); }

bool containsProductName(const char* text, const char* productName)
{
    const size_t nameLength = std::strlen(productName);
    for (const char* start = text; *start != '\0'; start = nextCharacter(start)) {
        if (compareNoCaseN(start, productName, nameLength) == 0) {
            return true;
        }
    }
    return false;
}

bool startsWithDriveRoot(const char* path) { return path[0] != '\0' && path[1] == ':' && path[2] == '\\'; }

int ancestorRows(const char* path, AncestorRow* rows, int capacity)
{
    if (!startsWithDriveRoot(path) || capacity < 1) {
        return 0;
    }
    int count = 0;
    rows[count++] = {3, 1};
    // Every component after the root ends at the next backslash or at the
    // end; empty components (doubled or trailing backslashes) give no row.
    size_t componentStart = 3;
    for (size_t i = 3;; i = static_cast<size_t>(nextCharacter(path + i) - path)) {
        if (path[i] != '\\' && path[i] != '\0') {
            continue;
        }
        if (i > componentStart) {
            if (count == capacity) {
                return count;
            }
            rows[count] = {i, static_cast<int16_t>(count + 1)};
            ++count;
        }
        if (path[i] == '\0') {
            return count;
        }
        componentStart = i + 1;
    }
}

int16_t subfolderIndent(int ancestorCount) { return static_cast<int16_t>(ancestorCount + 1); }

int subfolderRoom(int ancestorCount)
{
    const int room = FOLDER_LIST_ROWS - 1 - ancestorCount;
    return room > 0 ? room : 0;
}

bool terminateRegistryText(char* buffer, size_t capacity, size_t dataSize)
{
    if (capacity == 0 || dataSize > capacity) {
        return false;
    }
    if (dataSize > 0 && buffer[dataSize - 1] == '\0') {
        return true;
    }
    if (dataSize == capacity) {
        return false;
    }
    buffer[dataSize] = '\0';
    return true;
}
