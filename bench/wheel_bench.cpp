// The wheel check: a 100-line system over 42 positions and a 6-of-20
// system, every subset of one to six positions scored.
#include <benchmark/benchmark.h>

#include <random>

#include "online/wheel_check.h"

namespace {

using namespace tessara;

std::vector<std::array<int, 6>> RandomSystem(int n, int count) {
    std::mt19937 rng(42);
    std::vector<std::array<int, 6>> lines;
    for (int i = 0; i < count; ++i) {
        std::array<int, 6> line{};
        for (size_t k = 0; k < line.size(); ++k) {
            int p = 0;
            do p = static_cast<int>(rng() % static_cast<unsigned>(n)) + 1;
            while (std::find(line.begin(), line.begin() + static_cast<long>(k), p) != line.begin() + static_cast<long>(k));
            line[k] = p;
        }
        lines.push_back(line);
    }
    return lines;
}

void BM_Wheel(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto lines = RandomSystem(n, static_cast<int>(state.range(1)));
    const auto threads = static_cast<unsigned>(state.range(2));
    for (auto _ : state) benchmark::DoNotOptimize(CheckWheel(lines, n, threads));
}
// n, lines, threads (0: every core).
BENCHMARK(BM_Wheel)->Args({42, 100, 0})->Args({42, 100, 1})->Args({42, 500, 0})->Args({20, 100, 0})
    ->Args({20, 100, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
