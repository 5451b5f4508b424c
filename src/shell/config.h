// The compiled-in description of the product this setup program installs,
// the path buffers the pages fill in, and the step-list markers.
#pragma once
#include "product.h"

#include <cstdint>

// The fixed file stamp, laid out exactly like the Win32 SYSTEMTIME.
struct StampTime {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

// Flags of a payload row. winnt.h gives FILE_OVERWRITE another meaning (a
// create disposition): include windows.h before this header, or the compiler
// reports the redefinition.
#undef FILE_OVERWRITE
#define FILE_IN_INSTALL_DIR 0x01u // shortcut target and working folder: install folder
#define FILE_IN_WINDOWS_DIR 0x02u // extracted into the Windows folder
#define FILE_OVERWRITE 0x10u      // an existing file is replaced

struct PayloadEntry {
    char fileName[24];
    uint32_t flags;
    char resourceName[16];
    char shortcutCaption[20];
    uint32_t unpackedSize;
    uint32_t packedSize;
    uint32_t unpackedCrc; // CRC-32 of the installed file's bytes
    uint32_t packedCrc;   // CRC-32 of the resource's bytes
};

constexpr int PAYLOAD_ROWS = 8;

struct InstallConfig {
    char productName[20];
    char productVersion[10];
    char productTagline[60];
    char publisherName[20];
    char productUrl[60];
    StampTime fileStamp;
    PayloadEntry files[PAYLOAD_ROWS];
    int16_t fileCount;
    int16_t shortcutCount;
};

struct InstallPaths {
    char installDir[256];
    char windowsDir[256];
    char programsDir[256];
    char groupName[41];
    char titleText[30];
    char subtitleText[61];
};

enum StepMarker : int32_t {
    STEP_NONE = 0,
    STEP_LICENSE = 1,
    STEP_LOCATION = 2,
    STEP_INSTALLING = 4,
    STEP_GROUP = 8,
    STEP_SHORTCUTS = 16,
    STEP_READ_ME = 32,
    STEP_FINISHED = 64,
};
constexpr int STEP_COUNT = 7;

extern const InstallConfig installConfig;
extern InstallPaths installPaths;

// Texts of the step list, in marker order (bit i of the marker is line i).
extern const char* const stepTexts[STEP_COUNT];

// Preserved extensions of an earlier installation's data files.
constexpr int PRESERVED_EXTENSION_COUNT = 4;
extern const char* const preservedExtensions[PRESERVED_EXTENSION_COUNT];

constexpr char setupTitle[] = "Setup Mate";
constexpr char backdropClassName[] = "InstallApp";
constexpr char welcomeClassName[] = "InstallDlg";
constexpr char readMeViewer[] = "Notepad.exe"; // in the Windows folder
