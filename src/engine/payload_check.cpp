#include "engine/payload_check.h"

#include "engine/portable/crc32.h"
#include "shell/wizard.h"

const uint8_t* checkedPackedStream(const PayloadEntry& row)
{
    HRSRC resource = FindResourceA(programInstance, row.resourceName, MAKEINTRESOURCEA(10));
    if (resource == nullptr || SizeofResource(programInstance, resource) != row.packedSize) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(programInstance, resource);
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
