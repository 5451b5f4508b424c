#include "engine/payload_check.h"

#include "rules/crc32.h"

// The payload is a resource of the program's own file, the process's first module.
const uint8_t* checkedPackedStream(const PayloadEntry& row)
{
    HRSRC resource = FindResourceA(nullptr, row.resourceName, MAKEINTRESOURCEA(10));
    if (resource == nullptr || SizeofResource(nullptr, resource) != row.packedSize) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const auto* packed = static_cast<const uint8_t*>(loaded == nullptr ? nullptr : LockResource(loaded));
    if (packed == nullptr || crc32(packed, row.packedSize) != row.packedCrc) {
        return nullptr;
    }
    return packed;
}

bool payloadIsIntact(const PayloadEntry* rows, int count)
{
    for (int i = 0; i < count; ++i) {
        if (checkedPackedStream(rows[i]) == nullptr) {
            return false;
        }
    }
    return true;
}
