// The LZW decoder on maximal streams: 120000 output bytes, from the longest
// input the encoder makes for them (three random letters: about 28 KB of
// codes, many resets) and from the shortest (one run of a single letter).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "package/lzw_decoder.h"
#include "package/lzw_encoder.h"

static std::vector<unsigned char> encoded(const std::vector<unsigned char>& plain) {
    std::vector<unsigned char> stream;
    lzwEncode(plain.data(), static_cast<uint32_t>(plain.size()), &stream);
    return stream;
}

static void decodeLoop(benchmark::State& state, const std::vector<unsigned char>& stream) {
    for (auto _ : state) {
        unsigned char* output = nullptr;
        uint32_t length = 0;
        int result = lzwDecode(stream.data(), static_cast<uint32_t>(stream.size()), &output, &length);
        benchmark::DoNotOptimize(result);
        benchmark::DoNotOptimize(output);
        if (result != LzwOk || length != kLzwMaxOutput) state.SkipWithError("the stream did not decode");
        lzwFree(output);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLzwMaxOutput);
    state.counters["input_bytes"] = static_cast<double>(stream.size());
}

static void BM_DecodeThreeLetters(benchmark::State& state) {
    std::mt19937 random(1);
    std::vector<unsigned char> plain(kLzwMaxOutput);
    for (unsigned char& b : plain) b = static_cast<unsigned char>('a' + random() % 3);
    decodeLoop(state, encoded(plain));
}
BENCHMARK(BM_DecodeThreeLetters)->Unit(benchmark::kMicrosecond);

static void BM_DecodeLongRun(benchmark::State& state) {
    decodeLoop(state, encoded(std::vector<unsigned char>(kLzwMaxOutput, 'A')));
}
BENCHMARK(BM_DecodeLongRun)->Unit(benchmark::kMicrosecond);
