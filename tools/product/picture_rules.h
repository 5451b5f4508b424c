// The pictures a product may bring instead of the drawn ones: their files
// must be of the size and colour depth the setup's windows are laid out for.
#pragma once

#include <span>
#include <string>
#include <vector>

struct PictureRule {
    const char* key;         // in the description's [pictures]
    const char* builtInName; // the drawn file it replaces
    bool isIcon;
    int width, height; // bitmaps: exact; icons: the large image (plus a half-size one)
    int bitsPerPixel;  // bitmaps: exact; icons: at most
};

// Every picture a product may bring, in the order of the resource script.
std::span<const PictureRule> pictureRules();

// The rule of a [pictures] key, or null for a key that names no picture.
const PictureRule* pictureRule(const std::string& key);

// The keys there are, for a message.
std::string pictureKeys();

// An empty text when the file's bytes fit the rule, else what is wrong.
std::string pictureProblem(const PictureRule& rule, const std::vector<unsigned char>& bytes);
