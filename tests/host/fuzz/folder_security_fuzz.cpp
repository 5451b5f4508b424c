// libFuzzer target for the folder security rule, whose descriptor comes from
// the disk: any bytes are judged without reading past them (each part is
// copied into a heap block of exactly its size), trusting one account more
// never refuses a folder that was left to the administrators, and bytes after
// the descriptor never refuse it either.
#include <algorithm>
#include <cstring>
#include <memory>

#include "fuzz_input.h"
#include "rules/folder_security.h"

namespace {
// A copy of size bytes followed by padding zero bytes.
std::unique_ptr<uint8_t[]> copyOf(const uint8_t* data, size_t size, size_t padding = 0)
{
    auto copy = std::make_unique<uint8_t[]>(size + padding);
    std::copy(data, data + size, copy.get());
    return copy;
}
} // namespace

// The first byte tells how many of the next bytes are the account's SID; the rest is the descriptor.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) {
        return 0;
    }
    const size_t accountSize = std::min<size_t>(data[0] % 72, size - 1);
    const size_t descriptorSize = size - 1 - accountSize;
    const auto account = copyOf(data + 1, accountSize);
    const auto descriptor = copyOf(data + 1 + accountSize, descriptorSize);

    const bool left = isLeftToAdministrators(descriptor.get(), descriptorSize, nullptr, 0);
    require(!left || isLeftToAdministrators(descriptor.get(), descriptorSize, account.get(), accountSize),
            "one more trusted account refuses nothing that was left to the administrators");
    const auto padded = copyOf(descriptor.get(), descriptorSize, 8);
    require(!left || isLeftToAdministrators(padded.get(), descriptorSize + 8, nullptr, 0),
            "bytes after the descriptor refuse nothing");
    return 0;
}
