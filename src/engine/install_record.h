// The install record: what the setup wrote and created, item by item, kept
// in the machine's registry below the publisher key, where only
// administrators can write. The setup writes it as the work goes, so that a
// failed installation is recorded as far as it got; a reinstall clears by it
// and the uninstaller removes by it. Nothing else on the disk is the setup's.
#pragma once
#include <windows.h>

#include "rules/install_record_item.h"

// The record's key below HKEY_LOCAL_MACHINE, in the 32-bit view: one value
// per item, named by the item's full path, holding its encoded RecordItem.
constexpr char installRecordFolderKey[] = "Install Record";

// True when an earlier run left a record of this product.
bool installRecordExists();
// Opens the record for this run, creating it unless only reading. False
// when it cannot be opened; every other call then does nothing.
bool openInstallRecord(bool forWriting);
void closeInstallRecord();
// Deletes the whole record, its items with it.
void deleteInstallRecord();

void recordItem(const wchar_t* path, const RecordItem& item);
// Records a folder level that was created (a FolderCreated callback).
void recordCreatedFolder(const wchar_t* level);
// False when the path has no well-formed item.
bool readRecordedItem(const wchar_t* path, RecordItem* item);
void forgetRecordedItem(const wchar_t* path);
// Calls visit with each well-formed item, from the last value to the first,
// so that visit may forget the item it is given. True when the record is open
// and every value in it was an item: a record damaged in part is not whole.
using VisitItem = void (*)(void* context, const wchar_t* path, const RecordItem& item);
bool visitInstallRecord(VisitItem visit, void* context);
