// product DESCRIPTION OUTDIR: checks a product description and writes the
// files the build takes from it into OUTDIR. Every broken rule is printed as
// "file:line: rule" and nothing is written.
#include "checked_product.h"
#include "generated_files.h"
#include "picture_files.h"

#include <cstdio>

namespace {
// A file whose contents are unchanged keeps its time, so that the build
// redoes nothing after a description was merely read again.
std::string writeIfChanged(const std::string& path, const std::string& contents)
{
    std::string present;
    if (readWholeFile(path, present) && present == contents) {
        return "";
    }
    return writeFileReplacing(path, Bytes(contents.begin(), contents.end()));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: product DESCRIPTION OUTDIR\n");
        return 2;
    }
    const std::string outputFolder = argv[2];
    std::vector<std::string> problems;
    const Description description = readDescription(argv[1], problems);
    CheckedProduct product;
    if (problems.empty()) {
        problems = checkProduct(description, product);
    }
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "%s\n", problem.c_str());
    }
    if (!problems.empty()) {
        return 1;
    }
    std::string licence;
    std::vector<GeneratedFile> files = generatedFiles(product, argv[1], outputFolder);
    if (!readWholeFile(product.licenceFile, licence)) {
        std::fprintf(stderr, "product: cannot read %s\n", product.licenceFile.c_str());
        return 1;
    }
    files.push_back({"license.txt", withCrLf(licence)});
    for (const GeneratedFile& file : files) {
        const std::string error = writeIfChanged(outputFolder + "/" + file.name, file.contents);
        if (!error.empty()) {
            std::fprintf(stderr, "product: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
