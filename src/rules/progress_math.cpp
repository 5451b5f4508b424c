#include "rules/progress_math.h"

uint16_t barPosition(uint32_t done, uint32_t total)
{
    if (total == 0) {
        return 0;
    }
    return static_cast<uint16_t>(static_cast<uint64_t>(done) * 200u / total);
}

void formatGroupedNumber(uint32_t value, char (&text)[GROUPED_NUMBER_SIZE])
{
    char reversed[GROUPED_NUMBER_SIZE];
    int length = 0;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) {
            reversed[length++] = ',';
        }
        reversed[length++] = static_cast<char>('0' + value % 10);
        ++digits;
        value /= 10;
    } while (value != 0);
    for (int i = 0; i < length; ++i) {
        text[i] = reversed[length - 1 - i];
    }
    text[length] = '\0';
}
