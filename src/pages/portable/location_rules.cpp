#include "pages/portable/location_rules.h"

#include <cstring>

#include "engine/portable/paths.h"

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
    default:
        return nullptr;
    }
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
    if (typed[3] == '\0') {
        return LOCATION_ROOT_DRIVE;
    }
    if (containsProductName(typed, productName)) {
        if (std::strlen(typed) >= PATH_BUFFER_SIZE) {
            return LOCATION_TOO_LONG;
        }
        std::strcpy(out, typed);
        return LOCATION_ACCEPTED;
    }
    char joined[JOINED_PATH_CAPACITY];
    if (!joinPath(joined, sizeof joined, typed, productName, 0)) {
        return LOCATION_TOO_LONG;
    }
    std::strcpy(out, joined);
    return LOCATION_ACCEPTED;
}

bool containsProductName(const char* text, const char* productName)
{
    const size_t nameLength = std::strlen(productName);
    for (const char* start = text; *start != '\0'; ++start) {
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
    for (size_t i = 3;; ++i) {
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
