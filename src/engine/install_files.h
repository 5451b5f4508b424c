// File installation: prepares the install folder and extracts the payload
// rows into it and into the Windows folder, each file with the fixed stamp,
// recording each file it writes and each folder it creates.
#pragma once
#include <windows.h>

#include "engine/engine_caller.h"
#include "engine/held_folder.h"
#include "engine/safe_paths.h"
#include "product/config.h"

enum InstallResult {
    INSTALL_DONE,          // every row has been handled
    INSTALL_STOPPED,       // a row's file was in use and the caller stopped; nothing changed
    INSTALL_RECORD_FAILED, // the install record could not be opened; nothing changed
    INSTALL_CREATE_FAILED, // a destination could not be created
    INSTALL_WRITE_FAILED,  // a destination could not be written in full
    INSTALL_DAMAGED,       // a row's installation data is damaged
};

// Installs the configured rows, reporting the work to the caller.
InstallResult installFiles(EngineCaller& caller);
// The same for a table of rows of one's own.
InstallResult installRows(EngineCaller& caller, const PayloadEntry* rows, int count);

// Holds the install folder, creating its missing levels, and clears by the
// install record when it is the folder an earlier installation recorded:
// each recorded file that is unchanged goes, and in a folder the setup
// created, the rest of the files too. False, with nothing held or changed,
// when the record cannot be opened, the folder or one of the folders above
// it is a link, or the folder is not left to administrators (someone made it
// after the location page judged it); a folder that cannot be made is not
// held, and the rows into it fail one by one.
bool prepareInstallFolder(HeldFolder& folder, const char* path);
// Deletes the files below the held folder except those with a preserved
// extension and those the install record holds. Folders are kept; folders
// whose name begins with a dot are not entered, and links are neither
// entered nor deleted through.
void clearOldInstall(const HeldFolder& folder);
bool shouldDeleteOnClear(const wchar_t* name);
// True unless the row keeps an existing file (FILE_OVERWRITE clear) and the
// file can be opened for reading.
bool shouldWriteFile(const HeldFolder& folder, const wchar_t* name, const PayloadEntry& row);
