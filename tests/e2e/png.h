// Writes 24-bit RGB pictures as PNG files: no library, deflate with fixed
// Huffman codes, enough for screenshots of flat user-interface colours.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// rgb holds height rows of width pixels, three bytes (red, green, blue) each.
// Returns false when the file cannot be written.
bool writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
