// The work over millions of combinations: generation, filtering, the value
// table and the prefetch files.
#include <benchmark/benchmark.h>
#include <cstring>
#include <filesystem>
#include <set>
#include <unistd.h>

#include "app/workspace.h"
#include "bench_support.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/value_table.h"
#include "views/number_filter.h"

namespace {

using namespace tessara;

using bench::QuietHost;

struct Fixture {
    Fixture()
        : dir((std::filesystem::temp_directory_path() / ("tessara-bench-" + std::to_string(::getpid()))).string()),
          ws(host, dir) {
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(TESSARA_SAMPLE_ARCHIVE, dir + "/" + DrawsFileName,
                                   std::filesystem::copy_options::overwrite_existing);
        ws.InitGameTables();
        ws.ReserveCombs(ws.TotalCombs(), 0);
        ws.ReserveUndo(ws.TotalCombs(), 0);
        ws.RegisterStats();
        ws.LoadDrawsFile();
        ws.GenerateCombs(false, {});
        ws.MakeUndoCopy(false);
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
    std::string dir;
    QuietHost host;
    Workspace ws;
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_GenerateFullList(benchmark::State& state) {
    TCombList list;
    list.Reserve(5245786, 0);
    for (auto _ : state) {
        list.SetCount(0);
        GenerateCombinations(list, 0, TNumberSet{});
        benchmark::DoNotOptimize(list.Data());
    }
}
BENCHMARK(BM_GenerateFullList)->Unit(benchmark::kMillisecond);

void BM_MemcpyFullList(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) {
        std::memcpy(f.ws.Combs().Data(), f.ws.Undo().Data(), static_cast<size_t>(f.ws.UndoCount()) * 6);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFullList)->Unit(benchmark::kMillisecond);

// Filters the full list (held in the undo copy) by the first rows of a
// method's table, or by the given values for NUMS.
void RunFilter(benchmark::State& state, const char* code, bool exclude, std::vector<uint16_t> words) {
    Fixture& f = F();
    const int m = f.ws.Stats().FindMethod(code);
    TStatDrawArray sel;
    if (words.empty()) {
        TValueTableOptions o;
        const TValueTable t = ComputeValueTable(f.ws.StatSource(), m, o);
        for (size_t i = 0; i < t.Rows.size() && sel.size() < 3; i += 2) sel.push_back(t.Rows[i].Row);
    }
    for (uint16_t w : words) {
        TStatDraw r{};
        r.Key = MakeKey(w);
        sel.push_back(r);
    }
    auto stat = f.ws.Stats().CreateStat(m);
    for (auto _ : state) {
        FilterCombsStep(f.ws, *stat, sel, exclude, code, "");
        benchmark::DoNotOptimize(f.ws.CombsCount());
    }
    state.counters["kept"] = static_cast<double>(f.ws.CombsCount());
}
BENCHMARK_CAPTURE(RunFilter, NUMS_keep_7_13, "NUMS", false, std::vector<uint16_t>{7, 13})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, NUMS_remove_7_13, "NUMS", true, std::vector<uint16_t>{7, 13})->Unit(benchmark::kMillisecond);

// The number filter of the card, layout and week views over the same list,
// to set beside NUMS.
void RunNumberFilter(benchmark::State& state, bool removes, std::vector<int> numbers) {
    Fixture& f = F();
    for (auto _ : state) {
        FilterCombsByNumbers(f.ws, numbers, removes, CardCaption);
        benchmark::DoNotOptimize(f.ws.CombsCount());
    }
    state.counters["kept"] = static_cast<double>(f.ws.CombsCount());
}
BENCHMARK_CAPTURE(RunNumberFilter, keep_7_13, false, std::vector<int>{7, 13})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunNumberFilter, remove_7_13, true, std::vector<int>{7, 13})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunNumberFilter, keep_12_numbers, false,
                  std::vector<int>{1, 4, 7, 9, 13, 17, 21, 26, 30, 33, 38, 42})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, NUMS_keep_12_numbers, "NUMS", false,
                  std::vector<uint16_t>{1, 4, 7, 9, 13, 17, 21, 26, 30, 33, 38, 42})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, DIFA_keep, "DIFA", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, CHNV_keep, "CHNV", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, COLM_keep, "COLM", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, KGM3_keep, "KGM3", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SUMS_keep, "SUMS", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, EVEN_keep, "EVEN", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, POS3_keep, "POS3", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SUMT_keep_generic_path, "SUMT", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, CHNC_keep, "CHNC", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SUMV_keep, "SUMV", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, GRPV_keep, "GRPV", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, PRDV_keep, "PRDV", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SDV2_keep, "SDV2", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SC2C1_keep, "SC2C1", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SDZ2_keep, "SDZ2", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunFilter, SHR1_keep, "SHR1", false, std::vector<uint16_t>{})->Unit(benchmark::kMillisecond);

void BM_ValueTable(benchmark::State& state, const char* code) {
    Fixture& f = F();
    const int m = f.ws.Stats().FindMethod(code);
    TValueTableOptions o;
    o.SampleLength = 1000;
    o.Offset = 50;
    for (auto _ : state) benchmark::DoNotOptimize(ComputeValueTable(f.ws.StatSource(), m, o).Rows.size());
}
BENCHMARK_CAPTURE(BM_ValueTable, NUMS_1000_offset_50, "NUMS")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ValueTable, SUMS_1000_offset_50, "SUMS")->Unit(benchmark::kMillisecond);

void BM_BuildPrefetch(benchmark::State& state, const char* code) {
    Fixture& f = F();
    const int m = f.ws.Stats().FindMethod(code);
    for (auto _ : state) BuildPrefetch(f.ws, m);
}
BENCHMARK_CAPTURE(BM_BuildPrefetch, NUMS, "NUMS")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_BuildPrefetch, SUMS, "SUMS")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_BuildPrefetch, SHR1, "SHR1")->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FullRecreate(benchmark::State& state) {
    Fixture& f = F();
    std::set<int> all;
    for (int g = 0; g < StatGroupCount; ++g) all.insert(g);
    int methods = 0;
    for (int i = 0; i < f.ws.Stats().Count(); ++i) methods += f.ws.Stats().HasNorm(i);
    for (auto _ : state) BuildPrefetchFiles(f.ws, true, all, true);
    state.counters["methods"] = methods;
}
BENCHMARK(BM_FullRecreate)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
