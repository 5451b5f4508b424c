// Where a shortcut file of the program group goes.
#pragma once
#include <cstddef>

// Composes programsDir, groupName and caption followed by ".lnk", with one
// backslash after the folder and after the group unless they already end
// with one, and two closing NULs. Returns false, leaving out as an empty
// text, when the path does not fit capacity.
bool buildLinkPath(char* out, size_t capacity, const char* programsDir, const char* groupName, const char* caption);
