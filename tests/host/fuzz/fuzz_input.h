// Splits a fuzzer's bytes into the arguments of one call: numbers from the
// front, then texts separated by a chosen byte. Every text is copied into a
// heap block of exactly its length and NUL, so that AddressSanitizer catches
// any read past its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

    unsigned takeByte() { return next_ < end_ ? *next_++ : 0; }

    // The bytes up to the next separator (or the end) as a NUL-terminated
    // text; a NUL inside simply ends the text early, as it would for a caller.
    std::unique_ptr<char[]> takeText(uint8_t separator = 0xFF)
    {
        const uint8_t* stop = next_;
        while (stop < end_ && *stop != separator) {
            ++stop;
        }
        auto text = std::make_unique<char[]>(static_cast<size_t>(stop - next_) + 1);
        std::memcpy(text.get(), next_, static_cast<size_t>(stop - next_));
        text[static_cast<size_t>(stop - next_)] = '\0';
        next_ = stop < end_ ? stop + 1 : stop;
        return text;
    }

private:
    const uint8_t* next_;
    const uint8_t* end_;
};

// Stops the fuzzer with a message when a property does not hold.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}
