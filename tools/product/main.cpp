// product DESCRIPTION OUTDIR: checks a product description and writes the
// files the build takes from it into OUTDIR. Every broken rule is printed as
// "file:line: rule" and nothing is written.
#include "checked_product.h"
#include "generated_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
std::string fileText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A file whose contents are unchanged keeps its time, so that the build
// redoes nothing after a description was merely read again.
bool writeIfChanged(const std::string& path, const std::string& contents)
{
    std::ifstream present(path, std::ios::binary);
    if (present && fileText(path) == contents) {
        return true;
    }
    const std::string temporary = path + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << contents;
    file.close();
    return file && std::rename(temporary.c_str(), path.c_str()) == 0;
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
    std::vector<GeneratedFile> files = generatedFiles(product, argv[1], outputFolder);
    files.push_back({"license.txt", withCrLf(fileText(product.licenceFile))});
    for (const GeneratedFile& file : files) {
        if (!writeIfChanged(outputFolder + "/" + file.name, file.contents)) {
            std::fprintf(stderr, "product: cannot write %s/%s\n", outputFolder.c_str(), file.name.c_str());
            return 1;
        }
    }
    return 0;
}
