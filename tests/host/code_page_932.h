// Code page 932 (Japanese) for the time of one test: its lead bytes, as
// Windows lists them, then the single-byte table again, whatever the test did.
// Its katakana "so" is the two bytes 0x83 0x5C: a backslash as second byte.
#pragma once
#include "rules/paths.h"

#define KATAKANA_SO "\x83\x5C"

struct CodePage932 {
    CodePage932()
    {
        const unsigned char ranges[] = {0x81, 0x9F, 0xE0, 0xFC, 0, 0};
        setLeadByteRanges(ranges);
    }
    ~CodePage932()
    {
        const unsigned char singleByte[] = {0, 0};
        setLeadByteRanges(singleByte);
    }
    CodePage932(const CodePage932&) = delete;
    CodePage932& operator=(const CodePage932&) = delete;
};
