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

// What could not be removed, one path a line. A path that no longer fits is
// counted as unlisted instead.
constexpr size_t LEFT_LIST_SIZE = 1024;
struct LeftBehind {
    char text[LEFT_LIST_SIZE];
    size_t length;
    int count;
    int unlisted;
};
void addLeftBehind(LeftBehind& list, const char* path);

// The closing message: the product removed, or what is left and how to
// finish; then the folder where the user's own files were kept, unless
// keptFolder is empty.
constexpr size_t CLOSING_MESSAGE_SIZE = 1536;
void composeClosingMessage(char (&out)[CLOSING_MESSAGE_SIZE], const char* productName, const LeftBehind& left,
                           const char* keptFolder);
