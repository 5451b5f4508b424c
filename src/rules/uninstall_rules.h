// The uninstaller's rules that need no system calls: its command line, which
// recorded folders it may work in, and the closing message.
#pragma once
#include <cstddef>

enum UninstallMode { UNINSTALL_ASKING, UNINSTALL_QUIET, UNINSTALL_BAD_OPTION };

// No words: asking. Nothing but the quiet switch (in any ASCII letter case,
// once or more): quiet. Anything else is a bad option.
UninstallMode readUninstallMode(const char* commandLine);

// A registry string exactly as the setup writes it: dataSize bytes whose
// last one is the text's only NUL.
bool isExactRegistryText(const char* data, size_t dataSize);

// A recorded install folder may be worked in when it is a drive-rooted path
// below the drive root that canonicalFolderPath leaves exactly as it is.
bool isUsableRecordedFolder(const char* folder);

// Writes the programs folder joined with the resolved group name into out
// (PATH_BUFFER_SIZE bytes), whatever the programs folder's form (a drive
// path, a share). False, with out empty, unless the result lies strictly
// inside the programs folder.
bool composeGroupFolder(char* out, const char* programsDir, const char* groupName);

// True when the folder is a direct subfolder of parent (ASCII case folded).
bool isDirectSubfolder(const char* folder, const char* parent);

// Why something was left: each reason present adds its sentence to the
// closing message.
enum LeftReason {
    LEFT_IN_USE = 1,       // it could not be deleted (held open by a program)
    LEFT_LINK = 2,         // a link, a file of several names, or a folder that could not be held
    LEFT_UNRECORDED = 4,   // a product file that the install record does not vouch for
    LEFT_OUT_OF_REACH = 8, // another user's Start Menu, or a folder the records disagree on
    LEFT_UNFINISHED = 16,  // the setup stopped before it registered the installation
};

// Paths, one a line, and for what was left, why. A path that no longer fits
// is counted as unlisted instead.
constexpr size_t LEFT_LIST_SIZE = 1024;
struct PathList {
    char text[LEFT_LIST_SIZE];
    size_t length;
    int count;
    int unlisted;
    unsigned reasons;
};
void addPath(PathList& list, const char* path);
void addLeftBehind(PathList& list, const char* path, LeftReason reason);

// The closing message: the product removed, or what is left, why, and how to
// finish; then the folders where files that are not the product's were kept.
constexpr size_t CLOSING_MESSAGE_SIZE = 3328;
void composeClosingMessage(char (&out)[CLOSING_MESSAGE_SIZE], const char* productName, const PathList& left,
                           const PathList& keptFolders);
