// The product's facts as the tests need them, all taken from the compiled-in
// description, so that the tests hold for any product built from one.
#pragma once
#include <windows.h>

#include "product/config.h"
#include "rules/install_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <string>

// A text with the product name in place of its one %s, as the pages put it.
inline std::string withProductName(const char* pattern)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, installConfig.productName);
    return text;
}

// The folder the location page proposes first.
inline std::string defaultInstallFolder() { return std::string(defaultInstallRoot) + "\\" + installConfig.productName; }

inline bool isPreservedFile(const PayloadEntry& row)
{
    return hasPreservedExtension(row.fileName, preservedExtensions, PRESERVED_EXTENSION_COUNT);
}

inline bool isInInstallFolder(const PayloadEntry& row) { return (row.flags & FILE_IN_INSTALL_DIR) != 0; }

inline bool hasShortcutCaption(const PayloadEntry& row) { return std::string(row.shortcutCaption) != "-"; }

// Text in ASCII lower case, as a user may type it or name a folder.
inline std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

inline std::string lowerCaseProductName() { return lowerCase(installConfig.productName); }

// The folder a row is installed to, with the folders of installPaths.
inline std::string rowFolder(const PayloadEntry& row)
{
    return (row.flags & FILE_IN_WINDOWS_DIR) ? installPaths.windowsDir : installPaths.installDir;
}

inline std::string installedPath(const PayloadEntry& row) { return rowFolder(row) + "\\" + row.fileName; }

// The index of the first payload row that satisfies the predicate, or -1.
inline int findRow(const std::function<bool(const PayloadEntry&)>& predicate)
{
    for (int i = 0; i < installConfig.fileCount; ++i) {
        if (predicate(installConfig.files[i])) {
            return i;
        }
    }
    return -1;
}
