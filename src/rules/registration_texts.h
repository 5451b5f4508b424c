// The texts that registration composes: registry key paths and values, and
// the command line that opens the read-me file.
#pragma once
#include <cstddef>
#include <cstdint>

struct PayloadEntry;

// Buffer sizes: a composed key path or value text, the quoted read-me path,
// and the read-me command line.
constexpr size_t REGISTRY_TEXT_SIZE = 256;
constexpr size_t QUOTED_README_SIZE = 256;
constexpr size_t README_COMMAND_SIZE = 260;
// The installation date as the list of installed programs reads it: YYYYMMDD.
constexpr size_t INSTALL_DATE_SIZE = 9;

// The uninstaller's one option: remove without a question or a message.
constexpr char quietSwitch[] = "/quiet";

// Each composition returns false, leaving out as an empty text, when the
// result does not fit capacity.

// Copies format with its first "%s" replaced by argument; any other
// character, '%' included, is copied as it is.
bool fillOneText(char* out, size_t capacity, const char* format, const char* argument);

// The viewer's full path, then the read-me's path in the install folder, each
// in quotes so that a folder with spaces stays one argument. False, with an
// empty command line, when the quoted path does not fit QUOTED_README_SIZE or
// the command line does not fit README_COMMAND_SIZE.
bool composeReadMeCommand(char (&commandLine)[README_COMMAND_SIZE], const char* viewerPath, const char* installDir,
                          const char* readMeName);

// The uninstaller's full path in quotes, then the quiet switch, as the list
// of installed programs runs it unattended. False, with an empty text, when
// it does not fit REGISTRY_TEXT_SIZE.
bool composeQuietUninstall(char (&command)[REGISTRY_TEXT_SIZE], const char* windowsDir, const char* uninstallerName);

// The date as YYYYMMDD. False, with an empty text, for a date that is not
// one (a year beyond four digits, month 0, day 32).
bool composeInstallDate(char (&date)[INSTALL_DATE_SIZE], unsigned year, unsigned month, unsigned day);

// What the rows' files take on disk for the list of installed programs: the
// sum of their unpacked sizes in KiB, rounded up.
uint32_t installedSizeKiB(const PayloadEntry* rows, int count);
