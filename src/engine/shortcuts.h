// The shortcut files in the chosen program group.
#pragma once
#include <windows.h>

#include "engine/engine_caller.h"
#include "engine/held_folder.h"

// Creates the group folder, every missing level of it, and one shortcut per
// shortcut row, recording each. False when the group folder cannot be
// made or COM cannot be initialised; a shortcut that cannot be made, or an
// entry of its name that is a link or cannot be opened, is passed over.
bool createShortcuts(EngineCaller& caller);

// Creates one shortcut file of that name in the held group, replacing a file
// of one name there, and gives its size and checksum for the record. False
// when the shortcut cannot be made or the name is a link or has other names.
bool createShellLink(const char* target, const char* workingFolder, const char* description, const HeldFolder& group,
                     const wchar_t* name, RecordItem* written);
