#include "engine/install_record.h"

#include <cwchar>

#include "engine/registration.h"
#include "product/config.h"
#include "rules/paths.h"
#include "rules/registration_texts.h"

namespace {
// The record's key while this run has it open.
HKEY recordKey;
// A value name is a path: at most MAX_PATH characters and a NUL.
constexpr DWORD VALUE_NAME_SIZE = MAX_PATH + 1;

bool composeRecordKey(char (&out)[REGISTRY_TEXT_SIZE])
{
    return concatenateTexts(out, sizeof out,
                            {publisherKey, "\\", installRecordFolderKey, "\\", installConfig.productName});
}

} // namespace

bool installRecordExists()
{
    char path[REGISTRY_TEXT_SIZE];
    HKEY key;
    if (!composeRecordKey(path) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | MACHINE_VIEW, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

bool openInstallRecord(bool forWriting)
{
    if (recordKey != nullptr) {
        return true;
    }
    char path[REGISTRY_TEXT_SIZE];
    if (!composeRecordKey(path)) {
        return false;
    }
    const REGSAM access = KEY_READ | KEY_SET_VALUE | MACHINE_VIEW;
    const LONG result = forWriting ? RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                     access, nullptr, &recordKey, nullptr)
                                   : RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, &recordKey);
    if (result != ERROR_SUCCESS) {
        recordKey = nullptr;
    }
    return recordKey != nullptr;
}

void closeInstallRecord()
{
    if (recordKey != nullptr) {
        RegCloseKey(recordKey);
        recordKey = nullptr;
    }
}

void deleteInstallRecord()
{
    closeInstallRecord();
    char folderPath[REGISTRY_TEXT_SIZE];
    HKEY folder;
    if (concatenateTexts(folderPath, sizeof folderPath, {publisherKey, "\\", installRecordFolderKey}) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, folderPath, 0, KEY_ALL_ACCESS | MACHINE_VIEW, &folder) == ERROR_SUCCESS) {
        RegDeleteKeyA(folder, installConfig.productName);
        RegCloseKey(folder);
    }
}

void recordItem(const wchar_t* path, const RecordItem& item)
{
    uint8_t data[RECORD_ITEM_BYTES];
    encodeRecordItem(item, data);
    if (recordKey != nullptr) {
        RegSetValueExW(recordKey, path, 0, REG_BINARY, data, sizeof data);
    }
}

void recordCreatedFolder(const wchar_t* level) { recordItem(level, {RECORD_FOLDER, 0, 0}); }

bool readRecordedItem(const wchar_t* path, RecordItem* item)
{
    uint8_t data[RECORD_ITEM_BYTES + 1];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    return recordKey != nullptr && RegQueryValueExW(recordKey, path, nullptr, &type, data, &size) == ERROR_SUCCESS &&
           type == REG_BINARY && decodeRecordItem(data, size, item);
}

void forgetRecordedItem(const wchar_t* path)
{
    if (recordKey != nullptr) {
        RegDeleteValueW(recordKey, path);
    }
}

bool visitInstallRecord(VisitItem visit, void* context)
{
    DWORD count = 0;
    if (recordKey == nullptr || RegQueryInfoKeyA(recordKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                                 &count, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool whole = true;
    for (DWORD index = count; index-- > 0;) {
        wchar_t path[VALUE_NAME_SIZE];
        DWORD length = VALUE_NAME_SIZE;
        uint8_t data[RECORD_ITEM_BYTES + 1];
        DWORD size = sizeof data;
        DWORD type = REG_NONE;
        RecordItem item;
        if (RegEnumValueW(recordKey, index, path, &length, nullptr, &type, data, &size) == ERROR_SUCCESS &&
            type == REG_BINARY && decodeRecordItem(data, size, &item)) {
            visit(context, path, item);
        } else {
            whole = false;
        }
    }
    return whole;
}
