// The layout of the product's record and of the path buffers the pages fill
// in: the widths every text of a product description must fit.
#pragma once
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

// The closing note is copied into a message buffer of this size, and the
// welcome title's text (with its "%i" for the year) is read into one of this.
constexpr int CLOSING_NOTE_SIZE = 512;
constexpr int WELCOME_TITLE_SIZE = 100;
