// libFuzzer target for normaliseFolderCase: any text keeps its length and
// every byte but the case of ASCII letters, its first letter ends upper-case,
// a letter inside a word (not after a space or backslash) ends lower-case,
// and a second pass changes nothing.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_input.h"
#include "rules/paths.h"

namespace {
bool sameLetterOrByte(unsigned char a, unsigned char b)
{
    return a == b || ((a | 0x20) == (b | 0x20) && (a | 0x20) >= 'a' && (a | 0x20) <= 'z');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const std::unique_ptr<char[]> text = input.takeText();
    const std::string original = text.get();

    normaliseFolderCase(text.get());
    require(std::strlen(text.get()) == original.size(), "the length is kept");
    for (size_t i = 0; i < original.size(); ++i) {
        const auto before = static_cast<unsigned char>(original[i]);
        const auto after = static_cast<unsigned char>(text[i]);
        require(sameLetterOrByte(before, after), "only the case of ASCII letters changes");
        const bool upper = after >= 'A' && after <= 'Z';
        const bool lower = after >= 'a' && after <= 'z';
        const bool afterSeparator = i > 0 && (original[i - 1] == ' ' || original[i - 1] == '\\');
        require(!(i == 0 && lower), "the first letter is upper-cased");
        require(!(i > 0 && !afterSeparator && upper), "a letter inside a word is lower-cased");
    }
    const std::string once = text.get();
    normaliseFolderCase(text.get());
    require(once == text.get(), "a second pass changes nothing");
    return 0;
}
