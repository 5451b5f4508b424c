// The arithmetic of the progress display.
#pragma once
#include <cstdint>

// The bar position, 0 to 200 in half-percent steps, for done of total bytes.
// Exact for every pair up to the largest uint32; a total of 0 gives 0.
uint16_t barPosition(uint32_t done, uint32_t total);

// Longest text of a uint32 with separators, "4,294,967,295", and its NUL.
constexpr int GROUPED_NUMBER_SIZE = 14;

// Writes value as decimal digits grouped by three with ',' separators.
void formatGroupedNumber(uint32_t value, char (&text)[GROUPED_NUMBER_SIZE]);
