// The analyses of the statistics menu and the graphs tab, as the user runs
// them on an archive of the sample's size.
#include <benchmark/benchmark.h>

#include "model/draw_archive.h"
#include "views/repeats.h"
#include "views/sum_distribution.h"

namespace {

using namespace tessara;

TDrawsArray SampleArchive() {
    TDrawsArray draws;
    ReadDrawsFile(TESSARA_SAMPLE_ARCHIVE, draws);
    return draws;
}

// The theoretical histogram alone: every combination of the full set.
void BM_CountCombinationSums(benchmark::State& state) {
    for (auto _ : state) {
        TSumCounts counts = CountCombinationSums();
        benchmark::DoNotOptimize(counts.data());
    }
}
BENCHMARK(BM_CountCombinationSums)->Unit(benchmark::kMillisecond);

// The whole command: both histograms, the levels and the five series.
void BM_SumDistribution(benchmark::State& state) {
    const TDrawsArray draws = SampleArchive();
    for (auto _ : state) {
        const TSumDistribution d = ComputeSumDistribution(draws);
        auto series = SumDistributionSeries(d);
        benchmark::DoNotOptimize(series.data());
    }
}
BENCHMARK(BM_SumDistribution)->Unit(benchmark::kMillisecond);

// The repeats window with its defaults, and with the whole sample both ways.
void BM_AnalyzeRepeats(benchmark::State& state) {
    const TDrawsArray draws = SampleArchive();
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const TRepeatsAnalysis a = AnalyzeRepeats(draws, n, n);
        benchmark::DoNotOptimize(a.Rows.data());
    }
}
BENCHMARK(BM_AnalyzeRepeats)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
