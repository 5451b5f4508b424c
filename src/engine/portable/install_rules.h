// Rules of file installation that need no system calls.
#pragma once

// True when the name's extension, from its last dot on, equals one of the
// extensions under ASCII case folding. The list is tried from its end.
bool hasPreservedExtension(const char* name, const char* const* extensions, int count);

// Prepares an absolute folder path "X:\A\B\C" for creation level by level:
// drops one trailing backslash and ends every level with a NUL instead of
// its backslash, so the text reads "X:\A"; restoring each NUL in turn gives
// the next level. Returns the number of levels below the drive root, or 0
// when the path is not of that form.
int cutFolderLevels(char* path);
