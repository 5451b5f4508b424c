// Rules of file installation that need no system calls.
#pragma once
#include <cstddef>
#include <cstdint>

// True when the name's extension, from its last dot on, equals one of the
// extensions under ASCII case folding. The list is tried from its end.
bool hasPreservedExtension(const char* name, const char* const* extensions, int count);
// The same for a UTF-16 name as a folder listing gives it.
bool hasPreservedExtension(const wchar_t* name, const char* const* extensions, int count);

// Prepares an absolute folder path "X:\A\B\C" for creation level by level:
// drops one trailing backslash and ends every level with a NUL instead of
// its backslash, so the text reads "X:\A"; restoring each NUL in turn gives
// the next level. Returns the number of levels below the drive root, or 0
// when the path is not of that form.
int cutFolderLevels(char* path);

// True when an entry with these attributes and reparse tag is a link: a
// reparse point whose tag is a name surrogate (a symbolic link, a junction).
// Other reparse points (cloud files, deduplicated files) are ordinary files
// and folders. A reparse point whose tag the system did not report counts as
// a link, since it may lead anywhere.
bool isLinkEntry(uint32_t attributes, uint32_t reparseTag);

// The question asked while a file that the work would replace or delete is
// open in another program: the file, what to close, and what Cancel means.
// Room for a path, a product name and the sentences.
constexpr size_t IN_USE_MESSAGE_SIZE = 600;
void composeInUseMessage(char (&out)[IN_USE_MESSAGE_SIZE], const char* path, const char* productName,
                         const char* cancelMeaning);
