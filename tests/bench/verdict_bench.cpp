// Timings of the verdict: the worst case is two 259-byte texts that pass every
// test down to the last one; the plain table is measured beside the
// bit-parallel distance for comparison.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "page/verdict.h"

namespace {

std::string randomLetters(std::mt19937* random, int length) {
    std::string s(static_cast<size_t>(length), ' ');
    for (char& c : s) c = static_cast<char>('A' + (*random)() % 26);
    return s;
}

// 259 bytes and the same text with ten substitutions, at both ends too, so no
// common prefix or suffix helps: distance 10, "y a de l'idée".
struct LongPair {
    std::string expected;
    std::string typed;
    LongPair() {
        std::mt19937 random(1);
        expected = randomLetters(&random, 259);
        typed = expected;
        for (int k = 0; k < 10; ++k) {
            char& c = typed[static_cast<size_t>(k * 258 / 9)];
            c = c == 'Z' ? 'A' : static_cast<char>(c + 1);
        }
    }
};

void BM_VerdictWorstCaseFewEdits(benchmark::State& state) {
    const LongPair pair;
    for (auto _ : state) benchmark::DoNotOptimize(computeVerdict(pair.expected.c_str(), pair.typed.c_str()));
    state.SetLabel(computeVerdict(pair.expected.c_str(), pair.typed.c_str()) == kVerdictIdee ? "idee" : "?!");
}
BENCHMARK(BM_VerdictWorstCaseFewEdits);

void BM_VerdictWorstCaseUnrelated(benchmark::State& state) {
    std::mt19937 random(2);
    const std::string expected = randomLetters(&random, 259);
    const std::string typed = randomLetters(&random, 259);
    for (auto _ : state) benchmark::DoNotOptimize(computeVerdict(expected.c_str(), typed.c_str()));
    state.SetLabel(computeVerdict(expected.c_str(), typed.c_str()));
}
BENCHMARK(BM_VerdictWorstCaseUnrelated);

void BM_VerdictTypicalShort(benchmark::State& state) {
    const char* const pairs[][2] = {
        {"Paris", "paris"},
        {"Paris", "Parsi"},
        {"Napoleon Bonaparte", "Napoleon Bonap"},
        {"Christophe Colomb", "Cristophe Kolomp"},
        {"Lyon", "Nantes"},
    };
    for (auto _ : state) {
        for (const auto& p : pairs) benchmark::DoNotOptimize(computeVerdict(p[0], p[1]));
    }
    state.SetItemsProcessed(state.iterations() * 5);
}
BENCHMARK(BM_VerdictTypicalShort);

void BM_EditDistance259BitParallel(benchmark::State& state) {
    const LongPair pair;
    for (auto _ : state) benchmark::DoNotOptimize(editDistance(pair.expected.data(), 259, pair.typed.data(), 259));
}
BENCHMARK(BM_EditDistance259BitParallel);

void BM_EditDistance259FullTable(benchmark::State& state) {
    const LongPair pair;
    for (auto _ : state) {
        benchmark::DoNotOptimize(editDistanceFullTable(pair.expected.data(), 259, pair.typed.data(), 259));
    }
}
BENCHMARK(BM_EditDistance259FullTable);

}  // namespace
