// payload_data help|addons OUT: writes the help file or the add-on catalogue.
#include <cstdio>
#include <cstring>

#include "payload_data.h"

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "help") != 0 && std::strcmp(argv[1], "addons") != 0)) {
        std::fputs("usage: payload_data help|addons OUT\n", stderr);
        return 1;
    }
    const std::vector<uint8_t> bytes = std::strcmp(argv[1], "help") == 0 ? makeHelpFile() : makeAddOnCatalogue();
    FILE* file = std::fopen(argv[2], "wb");
    const bool written = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "payload_data: cannot write %s\n", argv[2]);
        std::remove(argv[2]);
        return 1;
    }
    return 0;
}
