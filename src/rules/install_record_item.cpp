#include "rules/install_record_item.h"

namespace {
void putWord(uint8_t* out, uint32_t word)
{
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

uint32_t getWord(const uint8_t* data)
{
    uint32_t word = 0;
    for (int i = 3; i >= 0; --i) {
        word = (word << 8) | data[i];
    }
    return word;
}
} // namespace

void encodeRecordItem(const RecordItem& item, uint8_t (&out)[RECORD_ITEM_BYTES])
{
    putWord(out, item.kind);
    putWord(out + 4, item.size);
    putWord(out + 8, item.crc);
}

bool decodeRecordItem(const uint8_t* data, size_t size, RecordItem* item)
{
    if (size != RECORD_ITEM_BYTES) {
        return false;
    }
    const uint32_t kind = getWord(data);
    if (kind != RECORD_FILE && kind != RECORD_FOLDER && kind != RECORD_SHORTCUT) {
        return false;
    }
    *item = {static_cast<RecordKind>(kind), getWord(data + 4), getWord(data + 8)};
    return true;
}

bool isUnchangedFile(const RecordItem& item, uint32_t size, uint32_t crc)
{
    return item.kind != RECORD_FOLDER && item.size == size && item.crc == crc;
}
