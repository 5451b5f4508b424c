// Folders held open while the setup or the uninstaller works in them, and the
// files below them, created, checked and deleted relative to the held handle.
// A folder that is renamed or replaced by a link after it was judged cannot
// redirect a write or a delete: nothing below it is looked up by path again.
// Names are UTF-16 throughout, so that no name read from a listing passes
// through the ANSI code page on its way into a path.
#pragma once
#include <windows.h>

#include <cstdint>

#include "rules/install_record_item.h"

// A folder's path and its handle, opened so that nobody else may delete or
// rename the folder while it is held. An empty path means not held.
struct HeldFolder {
    wchar_t path[MAX_PATH];
    HANDLE handle;
};

// Converts one of the program's ANSI paths into UTF-16. False, with out
// empty, when it does not convert or fit.
bool widenPath(const char* path, wchar_t (&out)[MAX_PATH]);

// The access list of the folders the setup creates: full control for
// Administrators and SYSTEM, read and execute for Users, inherited by
// everything inside and not from the folder above.
constexpr char protectedFolderAccess[] = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;BU)";

// Told of each folder level that holdFolder created, by its full path.
using FolderCreated = void (*)(const wchar_t* level);

// Opens the absolute folder "X:\A\B" level by level from its drive root, each
// level relative to the one above it, and refuses a level that is a link. With
// onCreated set, missing levels are created with the protected access list
// and reported; otherwise a missing level fails. False, with nothing held,
// when a level is a link, a file, missing, or cannot be opened.
bool holdFolder(HeldFolder& folder, const char* path, FolderCreated onCreated);
// Holds a folder that the shell reported (the Start Menu's programs folder),
// following whatever leads to it: a share, a link an administrator made.
bool holdShellFolder(HeldFolder& folder, const char* path);
// The same as holdFolder for the levels of path below a folder already held,
// which must start with base's path and a backslash; the levels it creates
// get the access that base passes on, as a folder the user made there would.
bool holdFolderBelow(HeldFolder& folder, const HeldFolder& base, const char* path, FolderCreated onCreated);
void releaseFolder(HeldFolder& folder);
bool isHeld(const HeldFolder& folder);
// Deletes the folder through a handle of its own when it is empty and no
// level of it is a link, opened from its drive root or, below a held base,
// from the base. The folder must not be held.
bool removeFolderIfEmpty(const wchar_t* path);
bool removeFolderBelowIfEmpty(const HeldFolder& base, const wchar_t* path);

// Case-insensitive comparisons of UTF-16 paths, as the file system makes them.
bool samePath(const wchar_t* a, const wchar_t* b);
// The name of a path that lies directly in folder, or null.
const wchar_t* nameInFolder(const wchar_t* path, const wchar_t* folder);
// True when path is folder itself or one of the folders above it, below a drive root.
bool isFolderOrAbove(const wchar_t* path, const wchar_t* folder);

// The full path of a name in a held folder. False when it does not fit.
bool pathInFolder(const HeldFolder& folder, const wchar_t* name, wchar_t (&out)[MAX_PATH]);

// An entry of a held folder: a name, its attributes and its reparse tag.
using VisitEntry = void (*)(void* context, const HeldFolder& folder, const wchar_t* name, uint32_t attributes,
                            uint32_t reparseTag);
// Calls visit with each entry of the folder but "." and "..".
void listHeldFolder(const HeldFolder& folder, VisitEntry visit, void* context);
// Holds the subfolder name of a held folder unless it is a link.
bool holdSubfolder(HeldFolder& subfolder, const HeldFolder& folder, const wchar_t* name);

enum FileState { FILE_ABSENT, FILE_PRESENT, FILE_IS_LINK, FILE_UNREADABLE };
// Whether the name in the folder is a file that can be opened for reading.
FileState readableFileState(const HeldFolder& folder, const wchar_t* name);
// The access list of the files the setup writes: the protected folder
// access, for the file alone.
constexpr char protectedFileAccess[] = "D:P(A;;FA;;;BA)(A;;FA;;;SY)(A;;FRFX;;;BU)";

// Opens the name in the folder for writing from its start, creating it with
// the access list given in SDDL (or what the folder passes on when it is
// null). Null for a link, a file with more than one name (which shares its
// bytes with a file elsewhere; a read-only one of one name loses the bit), or
// a file that cannot be opened so: nothing else is ever written into. Once
// the bytes are written, endWrittenFile cuts what an earlier file held beyond
// them and gives a file that was there the same access list.
HANDLE createFileIn(const HeldFolder& folder, const wchar_t* name, const char* fileAccess);
bool endWrittenFile(HANDLE file, const char* fileAccess);
// True when another program has the named file open so that it cannot be
// replaced or deleted now (a running program's own file).
bool isFileInUse(const HeldFolder& folder, const wchar_t* name);
// The size and CRC-32 of the named file, read through one handle.
bool measureFileIn(const HeldFolder& folder, const wchar_t* name, uint32_t* size, uint32_t* crc);

enum DeleteResult { DELETE_DONE, DELETE_ABSENT, DELETE_KEPT, DELETE_LINK, DELETE_FAILED };
// Deletes the named file through its own handle; a link, or a file with more
// than one name, is neither deleted nor changed (DELETE_LINK). With the item the install
// record holds for it (recorded not null), a file that no longer has the
// recorded size and checksum is kept (DELETE_KEPT); read and judged through
// the same handle that deletes it.
DeleteResult deleteFileIn(const HeldFolder& folder, const wchar_t* name, const RecordItem* recorded);
