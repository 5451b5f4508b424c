// A product description checked against every rule the setup program relies
// on, and the facts it yields. A description that breaks a rule yields
// problems that name the file, the line and the rule.
#pragma once

#include "description.h"

#include <string>
#include <vector>

enum class RowSource { File, Program, Data, Uninstaller };

struct ProductRow {
    std::string resource; // the RCDATA name of the packed row
    std::string fileName;
    std::string shortcutCaption; // "-" for none
    bool inWindowsFolder = false;
    bool overwrite = true;
    RowSource source = RowSource::File;
    std::string sourceFile;   // File: the path of the file to pack
    std::string dataKind;     // Data: what the payload_data tool writes
    std::string programTitle; // Program: the stand-in program's texts
    std::string programNote;
};

struct ProductPicture {
    std::string builtInName; // the drawn picture it replaces
    std::string file;
};

struct CheckedProduct {
    std::string name, version, tagline, publisher, webAddress, copyright;
    int versionNumbers[4] = {};
    int stamp[8] = {}; // year, month, day of week, day, hour, minute, second, milliseconds
    std::string licenceFile;
    std::string defaultFolder, publisherKey, versionKey, autostartValue;
    std::vector<std::string> preservedExtensions;
    std::string welcomePublisher, supportSentence;
    std::vector<std::string> webNote, closingNote; // one entry per line
    std::vector<ProductRow> rows;
    int uninstallRow = -1;
    int readMeRow = -1;
    std::vector<ProductPicture> pictures;
    std::vector<std::string> inputFiles; // every file the description names
};

// Lines of a text joined as the message boxes take them, with CR LF.
std::string joinedLines(const std::vector<std::string>& lines);

// Checks the description and fills in the product; returns the problems
// found, each "path:line: rule", none when the product can be built.
std::vector<std::string> checkProduct(const Description& description, CheckedProduct& product);
