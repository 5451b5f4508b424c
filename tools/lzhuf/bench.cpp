// Decoder and packer throughput, and the packed size of the optimal parse
// against the greedy one, on generated data of each kind and on all of it.
// Run by hand: make bench
#include <benchmark/benchmark.h>

#include <map>

#include "corpus.h"
#include "lzhuf_encoder.h"
#include "rules/lzhuf_decoder.h"

namespace {
struct Sample {
    const char* name;
    SampleKind kind;
    size_t size;
};
constexpr Sample samples[] = {
    {"text", SampleKind::Text, 1536 * 1024},
    {"tables", SampleKind::Tables, 1024 * 1024},
    {"runs", SampleKind::Runs, 512 * 1024},
    {"random", SampleKind::Random, 256 * 1024},
};
constexpr int MIXED = 4; // every sample one after another

const std::vector<uint8_t>& corpus(int index)
{
    static std::map<int, std::vector<uint8_t>> cache;
    auto found = cache.find(index);
    if (found != cache.end()) {
        return found->second;
    }
    std::vector<uint8_t> data;
    for (int i = 0; i < MIXED; ++i) {
        if (index == i || index == MIXED) {
            const std::vector<uint8_t> part = sampleData(samples[i].kind, samples[i].size, 7);
            data.insert(data.end(), part.begin(), part.end());
        }
    }
    return cache[index] = data;
}

const char* corpusName(int index) { return index == MIXED ? "all" : samples[index].name; }

bool discard(void*, const uint8_t*, uint32_t) { return true; }

benchmark::Counter megabytesPerSecond(benchmark::State& state, size_t bytes)
{
    return benchmark::Counter(static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6,
                              benchmark::Counter::kIsRate);
}

void decode(benchmark::State& state)
{
    const std::vector<uint8_t>& data = corpus(static_cast<int>(state.range(0)));
    const std::vector<uint8_t> packed = packStream(data.data(), data.size(), ParseMode::Optimal);
    for (auto _ : state) {
        decodeStream(packed.data(), static_cast<uint32_t>(packed.size()), static_cast<uint32_t>(data.size()), discard,
                     nullptr);
    }
    state.SetLabel(corpusName(static_cast<int>(state.range(0))));
    state.counters["output_MB/s"] = megabytesPerSecond(state, data.size());
}

void pack(benchmark::State& state, ParseMode mode)
{
    const std::vector<uint8_t>& data = corpus(static_cast<int>(state.range(0)));
    size_t packedSize = 0;
    for (auto _ : state) {
        packedSize = packStream(data.data(), data.size(), mode).size();
    }
    const size_t greedySize = packStream(data.data(), data.size(), ParseMode::Greedy).size();
    state.SetLabel(corpusName(static_cast<int>(state.range(0))));
    state.counters["input_MB/s"] = megabytesPerSecond(state, data.size());
    state.counters["packed_bytes"] = static_cast<double>(packedSize);
    state.counters["to_greedy"] = static_cast<double>(packedSize) / static_cast<double>(greedySize);
    state.counters["to_input"] = static_cast<double>(packedSize) / static_cast<double>(data.size());
}

void packOptimal(benchmark::State& state) { pack(state, ParseMode::Optimal); }
void packGreedy(benchmark::State& state) { pack(state, ParseMode::Greedy); }
} // namespace

BENCHMARK(decode)->DenseRange(0, MIXED)->Unit(benchmark::kMillisecond);
BENCHMARK(packOptimal)->DenseRange(0, MIXED)->Unit(benchmark::kMillisecond);
BENCHMARK(packGreedy)->DenseRange(0, MIXED)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
