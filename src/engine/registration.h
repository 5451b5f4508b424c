// Recording the installation in the registry, and reading what an earlier one recorded.
#pragma once
#include <windows.h>

#include "rules/location_rules.h"

// The shipped program is 32-bit: on 64-bit Windows its machine keys are those
// of the 32-bit view. Every build names that view, so that the 64-bit one
// reads and writes exactly the keys the shipped one does.
constexpr REGSAM MACHINE_VIEW = KEY_WOW64_32KEY;

// The system's list of installed programs, which holds the product's entry
// under its name, and the values of the installation that the uninstaller reads.
constexpr char uninstallListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char programPathValue[] = "Program Path";
constexpr char programGroupValue[] = "Program Group";
constexpr char programVersionValue[] = "Program Version";

// Writes the publisher value, the version value and the uninstall entry, and
// removes the previous version's autostart values. Each step runs whatever
// happened to the others; nothing is reported.
void registerInstallation();

// True when an earlier installation recorded its folder as a text that fits
// the PATH_BUFFER_SIZE-byte buffer; the buffer then holds it.
bool readPreviousFolder(char* buffer);
