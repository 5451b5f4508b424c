// lzhuf pack [--greedy] IN OUT    writes the headerless LZHUF stream of IN to OUT
// lzhuf unpack IN OUT SIZE        decodes the stream IN into SIZE bytes in OUT
// lzhuf crc32 IN                   prints the CRC-32 of IN as 0x followed by eight hex digits
// On any error: a message on stderr, exit status 1, and no OUT left behind.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lzhuf_encoder.h"
#include "rules/crc32.h"

namespace {
constexpr char usage[] = "usage: lzhuf pack [--greedy] IN OUT\n"
                         "       lzhuf unpack IN OUT SIZE\n"
                         "       lzhuf crc32 IN\n";

bool fail(const std::string& message)
{
    std::fprintf(stderr, "lzhuf: %s\n", message.c_str());
    return false;
}

bool readFile(const char* path, std::vector<uint8_t>& contents)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return fail(std::string("cannot open ") + path + ": " + std::strerror(errno));
    }
    contents.clear();
    uint8_t buffer[65536];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        contents.insert(contents.end(), buffer, buffer + count);
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        return fail(std::string("cannot read ") + path);
    }
    if (contents.size() > UINT32_MAX) {
        return fail(std::string(path) + " is larger than 4 GB");
    }
    return true;
}

// Writes beside the target first and renames it into place, so that OUT is
// either complete or absent.
bool writeFile(const char* path, const std::vector<uint8_t>& contents)
{
    const std::string temporary = std::string(path) + ".partial";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        return fail("cannot create " + temporary + ": " + std::strerror(errno));
    }
    const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        return fail(std::string("cannot write ") + path + ": " + std::strerror(error));
    }
    return true;
}

bool parseSize(const char* text, uint32_t& size)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (text[0] < '0' || text[0] > '9' || *end != '\0' || errno != 0 || value > UINT32_MAX) {
        return fail(std::string("SIZE must be a byte count from 0 to 4294967295, not \"") + text + "\"");
    }
    size = static_cast<uint32_t>(value);
    return true;
}

bool pack(const char* in, const char* out, ParseMode mode)
{
    std::vector<uint8_t> data;
    if (!readFile(in, data)) {
        return false;
    }
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), mode);
    if (!writeFile(out, packed)) {
        return false;
    }
    std::printf("%s: %zu bytes, packed %zu bytes\n", in, data.size(), packed.size());
    return true;
}

bool unpack(const char* in, const char* out, const char* sizeText)
{
    uint32_t size;
    std::vector<uint8_t> packed;
    return parseSize(sizeText, size) && readFile(in, packed) &&
           writeFile(out, unpackStream(packed.data(), packed.size(), size));
}

bool printCrc(const char* in)
{
    std::vector<uint8_t> data;
    if (!readFile(in, data)) {
        return false;
    }
    std::printf("0x%08X\n", static_cast<unsigned>(crc32(data.data(), data.size())));
    return true;
}

bool run(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "pack" && argc == 4) {
        return pack(argv[2], argv[3], ParseMode::Optimal);
    }
    if (command == "pack" && argc == 5 && std::strcmp(argv[2], "--greedy") == 0) {
        return pack(argv[3], argv[4], ParseMode::Greedy);
    }
    if (command == "unpack" && argc == 5) {
        return unpack(argv[2], argv[3], argv[4]);
    }
    if (command == "crc32" && argc == 3) {
        return printCrc(argv[2]);
    }
    std::fputs(usage, stderr);
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    try {
        return run(argc, argv) ? EXIT_SUCCESS : EXIT_FAILURE;
    } catch (const std::bad_alloc&) {
        fail("out of memory");
        return EXIT_FAILURE;
    }
}
