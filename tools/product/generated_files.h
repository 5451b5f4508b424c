// The files the build takes from a checked product: the header of its facts
// (read by the code and the resource scripts), its record, the CMake lists of
// its rows and inputs, the facts the test scripts need, and the licence.
#pragma once

#include "checked_product.h"

#include <string>
#include <vector>

struct GeneratedFile {
    std::string name;
    std::string contents;
};

// The text with every line ending as CR LF, as the licence page shows it.
std::string withCrLf(const std::string& text);

// outputFolder is where the files go (the drawn pictures lie there too);
// descriptionPath is named in each file's first line.
std::vector<GeneratedFile> generatedFiles(const CheckedProduct& product, const std::string& descriptionPath,
                                          const std::string& outputFolder);
