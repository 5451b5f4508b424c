// The rules of the program location page that need no windows: which typed
// paths are accepted and what they become, the rows of the folder browser,
// and the reading of a stored folder text.
#pragma once
#include <cstddef>
#include <cstdint>

// Every path: at most 255 characters and the NUL.
constexpr size_t PATH_BUFFER_SIZE = 256;
// joinPath closes its text with two NULs, so a 255-character result needs one
// byte more than a path buffer.
constexpr size_t JOINED_PATH_CAPACITY = PATH_BUFFER_SIZE + 1;
// Rows of the folder list, the computer row included.
constexpr int FOLDER_LIST_ROWS = 500;

enum LocationProblem {
    LOCATION_ACCEPTED,
    LOCATION_EMPTY,
    LOCATION_NO_DRIVE,
    LOCATION_ROOT_DRIVE,
    LOCATION_TOO_LONG,
};

// The warning of a refused path: a format whose one "%s" takes the heading
// "Path Invalid!" and an empty line. Null for an accepted path.
const char* locationReasonFormat(LocationProblem problem);

// Checks the typed text in order (empty, drive colon and backslash, bare root
// drive) and composes the install folder into out (PATH_BUFFER_SIZE bytes):
// the text itself when it names the product, otherwise the text with the
// product name appended as a last folder. A result longer than a path buffer
// allows is refused; out is then left empty.
LocationProblem resolveInstallLocation(const char* typed, const char* productName, char* out);

// True when the product name stands anywhere in the text, in any ASCII letter case.
bool containsProductName(const char* text, const char* productName);

// True for a path of the form drive, colon, backslash; the drive character itself is not examined.
bool startsWithDriveRoot(const char* path);

// One ancestor of a folder: the path's first length characters, shown with
// the given indent level.
struct AncestorRow {
    size_t length;
    int16_t indent;
};

// The ancestors of a drive-rooted path from its root (with the backslash, as
// C:\) down to the path itself, one per non-empty component, at most capacity
// of them. A path of any other form has none.
int ancestorRows(const char* path, AncestorRow* rows, int capacity);

// Subfolder rows stand one level below the folder's own row, and the list
// keeps room for them after the computer row and the ancestors.
int16_t subfolderIndent(int ancestorCount);
int subfolderRoom(int ancestorCount);

// A registry string of dataSize bytes in a buffer of capacity bytes: true
// when it is, or can be made, a NUL-terminated text within the buffer.
bool terminateRegistryText(char* buffer, size_t capacity, size_t dataSize);
