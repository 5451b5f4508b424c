// File installation: prepares the install folder and extracts the payload
// rows into it and into the Windows folder, each file with the fixed stamp.
#pragma once
#include <windows.h>

#include "engine/safe_paths.h"
#include "shell/config.h"

// Installs the configured rows. 1 when every row has been handled; -1 after
// an error box (owned by the page) when a destination could not be created
// or written, or the installation data is damaged.
int installFiles(HWND page);
// The same for a table of rows of one's own.
int installRows(HWND page, const PayloadEntry* rows, int count);

// Makes the install folder ready for the files: creates a missing one, and
// clears an existing one only when it is the folder that an earlier
// installation recorded. False, with nothing changed, when the folder or one
// of the folders above it is a link (a junction or symbolic link).
bool prepareInstallFolder(const char* folder);
// The access list of the folders the setup creates: full control for
// Administrators and SYSTEM, read and execute for Users, inherited by
// everything inside and not from the folder above.
constexpr char protectedFolderAccess[] = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;BU)";
// Creates every missing level of an absolute folder path "X:\A\B", each with
// the protected access list.
void createFolderPath(const char* path);
// Deletes the files below the folder except those with a preserved extension.
// Folders are kept; folders whose name begins with a dot are not entered, and
// junctions and symbolic links are neither entered nor deleted through.
void clearOldInstall(const char* folder);
bool shouldDeleteOnClear(const char* name);
// True unless the row keeps an existing file (FILE_OVERWRITE clear) and the
// target can be opened for reading.
bool shouldWriteFile(const char* target, const PayloadEntry& row);
