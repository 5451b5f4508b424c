#include <gtest/gtest.h>

#include <cstring>

#include "rules/install_record_item.h"

// The stored form is fixed little-endian, so that the 32-bit setup and a
// 64-bit build read each other's records.
TEST(InstallRecordItem, EncodesLittleEndianAndDecodesBack)
{
    uint8_t data[RECORD_ITEM_BYTES];
    encodeRecordItem({RECORD_SHORTCUT, 0x01020304u, 0xA1B2C3D4u}, data);
    const uint8_t expected[RECORD_ITEM_BYTES] = {3, 0, 0, 0, 4, 3, 2, 1, 0xD4, 0xC3, 0xB2, 0xA1};
    EXPECT_EQ(0, std::memcmp(data, expected, sizeof data));
    RecordItem item;
    ASSERT_TRUE(decodeRecordItem(data, sizeof data, &item));
    EXPECT_EQ(item.kind, RECORD_SHORTCUT);
    EXPECT_EQ(item.size, 0x01020304u);
    EXPECT_EQ(item.crc, 0xA1B2C3D4u);
}

TEST(InstallRecordItem, DamagedDataIsNotAnItem)
{
    uint8_t data[RECORD_ITEM_BYTES + 1] = {};
    RecordItem item;
    encodeRecordItem({RECORD_FILE, 1, 2}, reinterpret_cast<uint8_t(&)[RECORD_ITEM_BYTES]>(data));
    EXPECT_FALSE(decodeRecordItem(data, RECORD_ITEM_BYTES - 1, &item)) << "too short";
    EXPECT_FALSE(decodeRecordItem(data, RECORD_ITEM_BYTES + 1, &item)) << "too long";
    for (const uint8_t kind : {0, 4, 0xFF}) {
        data[0] = kind;
        EXPECT_FALSE(decodeRecordItem(data, RECORD_ITEM_BYTES, &item)) << int(kind);
    }
}

TEST(InstallRecordItem, OnlyAFileOfTheRecordedSizeAndChecksumIsUnchanged)
{
    const RecordItem file = {RECORD_FILE, 10, 0xCAFE};
    EXPECT_TRUE(isUnchangedFile(file, 10, 0xCAFE));
    EXPECT_FALSE(isUnchangedFile(file, 11, 0xCAFE));
    EXPECT_FALSE(isUnchangedFile(file, 10, 0xCAFF));
    EXPECT_FALSE(isUnchangedFile({RECORD_FOLDER, 0, 0}, 0, 0)) << "a folder is never a file";
}
