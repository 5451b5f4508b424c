#include "engine/registration.h"

#include "product/config.h"
#include "rules/paths.h"
#include "rules/registration_texts.h"

namespace {
constexpr char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char runServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";

// Every key but the current user's is a machine key, or one below it.
REGSAM fullAccess(HKEY parent) { return KEY_ALL_ACCESS | (parent == HKEY_CURRENT_USER ? 0 : MACHINE_VIEW); }

HKEY createKey(HKEY parent, const char* path)
{
    char noClass[] = "";
    HKEY key;
    if (RegCreateKeyExA(parent, path, 0, noClass, REG_OPTION_NON_VOLATILE, fullAccess(parent), nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

HKEY openKey(HKEY parent, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, fullAccess(parent), &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// REG_SZ data counts the terminating NUL.
void setText(HKEY key, const char* name, const char* text)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
}

void setNumber(HKEY key, const char* name, DWORD number)
{
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// Today in the local time, as the user reads the date of the installation.
bool composeToday(char (&date)[INSTALL_DATE_SIZE])
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return composeInstallDate(date, now.wYear, now.wMonth, now.wDay);
}

void writePublisherValue()
{
    HKEY key = createKey(HKEY_LOCAL_MACHINE, publisherKey);
    if (key == nullptr) {
        return;
    }
    setText(key, installConfig.productName, installPaths.installDir);
    RegCloseKey(key);
}

void writeVersionValue()
{
    char path[REGISTRY_TEXT_SIZE];
    if (!concatenateTexts(path, sizeof path, {publisherKey, versionKeySuffix})) {
        return;
    }
    HKEY key = createKey(HKEY_LOCAL_MACHINE, path);
    if (key == nullptr) {
        return;
    }
    setText(key, programVersionValue, installConfig.productVersion);
    RegCloseKey(key);
}

// A composed value that does not fit its buffer is left out rather than
// written cut short.
void writeUninstallValues(HKEY entry)
{
    char text[REGISTRY_TEXT_SIZE];
    setText(entry, "DisplayName", installConfig.productName);
    if (fillOneText(text, sizeof text, "v%s", installConfig.productVersion)) {
        setText(entry, "DisplayVersion", text);
    }
    const char* uninstaller = installConfig.files[UNINSTALL_ROW].fileName;
    // A command line: the path in quotes, so that a folder with spaces stays one program name.
    if (joinPath(text, sizeof text, installPaths.windowsDir, uninstaller, 1)) {
        setText(entry, "UninstallString", text);
    }
    // The uninstaller carries the product's icon, and stays as long as the entry.
    if (joinPath(text, sizeof text, installPaths.windowsDir, uninstaller, 0)) {
        setText(entry, "DisplayIcon", text);
    }
    if (composeQuietUninstall(text, installPaths.windowsDir, uninstaller)) {
        setText(entry, "QuietUninstallString", text);
    }
    setText(entry, programPathValue, installPaths.installDir);
    setText(entry, programGroupValue, installPaths.groupName);
    setText(entry, "Publisher", installConfig.publisherName);
    setText(entry, "HelpLink", installConfig.productUrl);
    setNumber(entry, "EstimatedSize", installedSizeKiB(installConfig.files, installConfig.fileCount));
    char date[INSTALL_DATE_SIZE];
    if (composeToday(date)) {
        setText(entry, "InstallDate", date);
    }
    // The setup offers no change and no repair of an installation.
    setNumber(entry, "NoModify", 1);
    setNumber(entry, "NoRepair", 1);
}

// The system's list of installed programs is extended, never created.
void writeUninstallEntry()
{
    HKEY list = openKey(HKEY_LOCAL_MACHINE, uninstallListKey);
    if (list == nullptr) {
        return;
    }
    HKEY entry = createKey(list, installConfig.productName);
    if (entry != nullptr) {
        writeUninstallValues(entry);
        RegCloseKey(entry);
    }
    RegCloseKey(list);
}

void removeAutostartValue(HKEY root, const char* path)
{
    HKEY key = openKey(root, path);
    if (key == nullptr) {
        return;
    }
    RegDeleteValueA(key, previousAutostartValue);
    RegCloseKey(key);
}
} // namespace

void registerInstallation()
{
    writePublisherValue();
    writeVersionValue();
    writeUninstallEntry();
    removeAutostartValue(HKEY_LOCAL_MACHINE, runKey);
    removeAutostartValue(HKEY_LOCAL_MACHINE, runServicesKey);
    removeAutostartValue(HKEY_CURRENT_USER, runKey);
}

bool readPreviousFolder(char* buffer)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, publisherKey, 0, KEY_ALL_ACCESS | MACHINE_VIEW, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = PATH_BUFFER_SIZE;
    const LONG result =
        RegQueryValueExA(key, installConfig.productName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    // A string stored without its NUL is terminated here, so that nothing
    // past the buffer is ever read as part of the folder.
    return result == ERROR_SUCCESS && type == REG_SZ && terminateRegistryText(buffer, PATH_BUFFER_SIZE, size);
}
