// The removal of an installation: reads what the setup recorded and removes,
// one step at a time, what its install record says the setup made and is
// unchanged, leaving links, the user's data and anything it cannot judge.
#pragma once
#include <windows.h>

#include "rules/location_rules.h"
#include "rules/uninstall_rules.h"

// What could not be removed, and the folders that still hold the user's own
// files; complete once the last step has run.
extern PathList leftBehind;
extern PathList keptFolders;

// True when the product's uninstall entry exists; fills installPaths from it,
// from the publisher value and from the system, and holds the folders the
// steps work in. A recorded value that is odd (not an exact REG_SZ text, not
// canonical, a root drive, not agreeing with the publisher value, outside
// the programs folder) leaves its part out.
// Without an entry, the files that an unfinished setup's record names are
// listed in leftBehind.
bool readInstallation();

// The path of the first product file that another program has open (a
// running Tidy Kit.exe), which the removal would then leave half-way; null
// when there is none.
const char* findFileInUse();

// Lets go of the folders that readInstallation holds when the steps are not
// run (a file stays in use, or the user says no), so that nothing is held
// after a removal that did not start.
void abandonRemoval();

// The steps, run once each in order: one per shortcut, one per payload row,
// then the folders and the registry records.
int removalStepCount();
// Runs one step and returns the path it worked on, for the window to show.
const char* runRemovalStep(int step);
