// Deterministic sample data of the kinds a payload holds, for the packer's
// tests, its benchmark and the fuzzer's seeds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum class SampleKind {
    Text,   // English-like prose with CR LF line ends
    Tables, // fixed-size binary records with counters, codes and names
    Runs,   // runs of one byte of varied length between short patterns
    Random, // incompressible bytes
};

std::vector<uint8_t> sampleData(SampleKind kind, size_t size, uint32_t seed);
