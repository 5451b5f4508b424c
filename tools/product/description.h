// A product description: an INI file, read with libinih. Every value keeps the
// line it stands on, so that every complaint about it can name that line.
#pragma once

#include <string>
#include <vector>

struct DescribedValue {
    std::string key;
    std::string value;
    int line = 0;
};

struct DescribedSection {
    std::string name;
    int line = 0;
    std::vector<DescribedValue> values; // in file order, repeated keys included
};

struct Description {
    std::string path;   // as given, for messages
    std::string folder; // the folder of the file, to which its file names are relative
    std::vector<DescribedSection> sections;
};

// The whole file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& contents);

// "path:line: text", the form compilers use, so that editors can jump to it.
std::string problemAt(const Description& description, int line, const std::string& text);

// Reads the text of a description. Lines that are neither "[section]" nor
// "key = value", lines too long for the parser, values before the first
// section and repeated sections are reported in problems.
Description parseDescription(const std::string& path, const std::string& text, std::vector<std::string>& problems);

// Reads the description file; an unreadable file is one problem.
Description readDescription(const std::string& path, std::vector<std::string>& problems);
