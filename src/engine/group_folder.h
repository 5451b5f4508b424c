// The Start Menu group's folder, held while its shortcuts are written or
// removed.
#pragma once
#include "engine/held_folder.h"

// Holds the folder of the group, which must lie strictly inside the programs
// folder, held as the shell gives it. With onCreated set, the group's missing
// levels are created (never the programs folder's own) with the access the
// programs folder passes on, and reported.
bool holdGroupFolder(HeldFolder& group, const char* programsDir, const char* groupName, FolderCreated onCreated);

// The name of a shortcut row's file in the group folder: its caption and ".lnk".
bool shortcutFileName(const char* caption, wchar_t (&name)[MAX_PATH]);
