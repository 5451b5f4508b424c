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
// The location field's text: at most 259 characters and the NUL.
constexpr size_t TYPED_PATH_CAPACITY = 260;
// Rows of the folder list, the computer row included.
constexpr int FOLDER_LIST_ROWS = 500;

enum LocationProblem {
    LOCATION_ACCEPTED,
    LOCATION_EMPTY,
    LOCATION_NO_DRIVE,
    LOCATION_ROOT_DRIVE,
    LOCATION_TOO_LONG,
    LOCATION_BAD_NAME,
    LOCATION_THROUGH_LINK,
    LOCATION_OTHERS_FOLDER,
};

// The warning of a refused path: a format whose one "%s" takes the heading
// "Path Invalid!" and an empty line. Null for an accepted path.
const char* locationReasonFormat(LocationProblem problem);

// Checks the typed text (empty, drive colon and backslash), reads it as
// Windows does (canonicalFolderPath), refuses a bare root drive, and composes
// the install folder into out (PATH_BUFFER_SIZE bytes): the canonical path
// itself when it names the product, otherwise the path with the product name
// appended as a last folder. A result longer than a path buffer allows is
// refused; out is then left empty.
LocationProblem resolveInstallLocation(const char* typed, const char* productName, char* out);

// Writes the drive-rooted path ("X:\...") as Windows resolves it: '/' is a
// separator like '\', a run of separators counts as one, "." components
// vanish and ".." removes the component before it, never the drive root.
// The result ends without a backslash unless it is the bare root. Refused
// with LOCATION_BAD_NAME when a remaining component cannot be a folder name
// (it holds one of < > : " | ? * or a control character, or ends with a dot
// or a space), with LOCATION_TOO_LONG when the result does not fit capacity.
LocationProblem canonicalFolderPath(const char* path, char* out, size_t capacity);

// Resolves the relative path below the folder as canonicalFolderPath does,
// whatever the folder's form (a drive path, a share), into out: the folder
// as it stands and the remaining components. False, with out empty, when a
// ".." would climb above the folder, nothing remains below it, a component
// cannot be a folder name, or the result does not fit capacity.
bool resolveSubfolder(const char* folder, const char* relative, char* out, size_t capacity);

// True when the name (of length characters) can be a folder's as it stands:
// not empty, none of < > : " | ? * or control characters, no closing dot or
// space (Windows would drop them). "." and ".." are refused by that rule too.
bool isFolderName(const char* name, size_t length);

// True for a Start Menu group: one or more folder names joined by '\' or '/',
// with at most a closing separator, so that it names a folder inside the
// programs folder and never one above it.
bool isGroupPath(const char* group);

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
