// The bulk operations of the combination list over the full list of
// 5,245,786 combinations: copy, paste, save and open.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

#include "app/workspace.h"
#include "bench_support.h"
#include "combs/comb_list.h"

namespace {

using namespace tessara;

struct Fixture {
    Fixture()
        : dir((std::filesystem::temp_directory_path() / ("tessara-lbench-" + std::to_string(::getpid()))).string()) {
        std::filesystem::create_directories(dir);
        ws = std::make_unique<Workspace>(host, dir);
        ws->InitGameTables();
        ws->LoadStakesFile();
        GenerateCombinations(ws->Combs(), gmFull, TNumberSet{});
        full = ws->Combs();
    }
    ~Fixture() {
        ws.reset();
        std::filesystem::remove_all(dir);
    }
    std::string dir;
    bench::QuietHost host;
    std::unique_ptr<Workspace> ws;
    TCombList full;
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_CopyFullList(benchmark::State& state) {
    Fixture& f = F();
    for (auto _ : state) benchmark::DoNotOptimize(f.ws->CombsClipboardText({{0, f.full.Count() - 1}}).size());
}
BENCHMARK(BM_CopyFullList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PasteFullList(benchmark::State& state) {
    Fixture& f = F();
    f.ws->Combs() = f.full;
    const std::string text = f.ws->CombsClipboardText({{0, f.full.Count() - 1}});
    for (auto _ : state) f.ws->PasteCombs(text);
    state.counters["combs"] = static_cast<double>(f.ws->CombsCount());
    f.ws->Combs() = f.full;
}
BENCHMARK(BM_PasteFullList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveFullList(benchmark::State& state) {
    Fixture& f = F();
    f.ws->Combs() = f.full;
    for (auto _ : state) f.ws->SaveCombsListAs(f.dir + "/full.txt");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(f.dir + "/full.txt"));
}
BENCHMARK(BM_SaveFullList)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenFullList(benchmark::State& state) {
    Fixture& f = F();
    f.ws->Combs() = f.full;
    f.ws->SaveCombsListAs(f.dir + "/full.txt");
    for (auto _ : state) f.ws->OpenCombsList(f.dir + "/full.txt");
    state.counters["combs"] = static_cast<double>(f.ws->CombsCount());
}
BENCHMARK(BM_OpenFullList)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
