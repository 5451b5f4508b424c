// The Start Menu group's folder, held while its shortcuts are written or
// removed.
#pragma once
#include "engine/held_folder.h"

// Holds the canonical folder of the group, which must lie strictly inside
// the programs folder. With onCreated set, its missing levels are created
// (never the programs folder's own) and reported.
bool holdGroupFolder(HeldFolder& group, const char* programsDir, const char* groupName, FolderCreated onCreated);

// The name of a shortcut row's file in the group folder: its caption and ".lnk".
bool shortcutFileName(const char* caption, wchar_t (&name)[MAX_PATH]);
