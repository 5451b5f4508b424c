// libFuzzer target for joinPath with a capacity: for any base, name, quoting
// and capacity the result is exactly base, one separator and name (quoted
// when asked) closed by two NULs, or an empty text when that does not fit;
// nothing is written past the capacity.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_input.h"
#include "rules/paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const size_t capacity = input.takeByte() | (input.takeByte() & 1) << 8;
    const int quoted = static_cast<int>(input.takeByte() % 3);
    const std::unique_ptr<char[]> base = input.takeText();
    const std::unique_ptr<char[]> name = input.takeText();

    std::string expected = base.get();
    if (expected.empty() || expected.back() != '\\') {
        expected += '\\';
    }
    expected += name.get();
    if (quoted == 1) {
        expected = '"' + expected + '"';
    }

    auto out = std::make_unique<char[]>(capacity);
    const bool fits = joinPath(out.get(), capacity, base.get(), name.get(), quoted);
    require(fits == (expected.size() + 2 <= capacity), "joinPath fits exactly when the text and two NULs do");
    if (fits) {
        require(std::memcmp(out.get(), expected.data(), expected.size()) == 0, "joined text");
        require(out[expected.size()] == '\0' && out[expected.size() + 1] == '\0', "two closing NULs");
    } else if (capacity > 0) {
        require(out[0] == '\0', "a text that does not fit leaves an empty one");
    }
    return 0;
}
