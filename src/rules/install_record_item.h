// One item of the install record: what the setup wrote or created at one
// path, kept as a registry value named by that path. The data is twelve bytes,
// little-endian, whatever the build: the kind, then the size and the CRC-32
// of the file as the setup left it (zero for a folder).
#pragma once
#include <cstddef>
#include <cstdint>

enum RecordKind : uint32_t {
    RECORD_FILE = 1,     // a payload file the setup wrote
    RECORD_FOLDER = 2,   // a folder level the setup created
    RECORD_SHORTCUT = 3, // a shortcut file the setup wrote
};

struct RecordItem {
    RecordKind kind;
    uint32_t size;
    uint32_t crc;
};

constexpr size_t RECORD_ITEM_BYTES = 12;

void encodeRecordItem(const RecordItem& item, uint8_t (&out)[RECORD_ITEM_BYTES]);
// False for data that is not exactly one item of a known kind (damaged, or
// written by something else): such an item is not the setup's.
bool decodeRecordItem(const uint8_t* data, size_t size, RecordItem* item);
// True when a file still has the size and checksum the record gives it; a
// changed file is the user's.
bool isUnchangedFile(const RecordItem& item, uint32_t size, uint32_t crc);
