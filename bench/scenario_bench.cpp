// The scenario engine: the demo scenario forecast and tested over the demo
// archive, with where the time of a cycle goes.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

#include "app/workspace.h"
#include "bench_support.h"
#include "model/files.h"
#include "scenario/scenario_run.h"
#include "scenario/script_line.h"

namespace {

using namespace tessara;

using bench::QuietHost;

struct Fixture {
    Fixture()
        : dir((std::filesystem::temp_directory_path() / ("tessara-sbench-" + std::to_string(::getpid()))).string()) {
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(TESSARA_SAMPLE_DIR "/Tessara_6x42.ldr", dir + "/" + DrawsFileName,
                                   std::filesystem::copy_options::overwrite_existing);
        ws = std::make_unique<Workspace>(host, dir);
        ws->InitGameTables();
        ws->LoadStakesFile();
        ws->RegisterStats();
        ws->LoadDrawsFile();
        lines = ParseScenarioText(ReadFileBytes(TESSARA_SAMPLE_DIR "/Tessara_demo.lsc"));
    }
    ~Fixture() {
        ws.reset();
        std::filesystem::remove_all(dir);
    }
    std::string dir;
    QuietHost host;
    std::unique_ptr<Workspace> ws;
    std::vector<std::string> lines;
};

Fixture& F() {
    static Fixture f;
    return f;
}

void Report(benchmark::State& state, const TScenarioRunner& runner, double cycles) {
    const auto& t = runner.Timings();
    state.counters["start_lists_s"] = t.StartLists / cycles;
    state.counters["tables_s"] = t.Tables / cycles;
    state.counters["filtering_s"] = t.Filtering / cycles;
    state.counters["stakes_s"] = t.Stakes / cycles;
    state.counters["stakes"] = runner.State().StakesMade;
    for (const auto& [filter, seconds] : t.ByFilter) state.counters[filter] = seconds / cycles;
}

// One pass at the newest draw.
void BM_DemoForecast(benchmark::State& state) {
    Fixture& f = F();
    TScenarioRunner runner(*f.ws);
    runner.SetRandomSeed(1);
    for (auto _ : state) runner.Forecast(f.lines);
    Report(state, runner, 1);
}
BENCHMARK(BM_DemoForecast)->Unit(benchmark::kSecond)->Iterations(1);

// The test over the latest draws: seconds per cycle.
void BM_DemoTest(benchmark::State& state) {
    Fixture& f = F();
    const int cycles = static_cast<int>(state.range(0));
    TScenarioRunner runner(*f.ws);
    runner.SetRandomSeed(1);
    for (auto _ : state) runner.Test(f.lines, cycles);
    state.counters["s_per_cycle"] =
        benchmark::Counter(static_cast<double>(cycles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    Report(state, runner, cycles);
}
BENCHMARK(BM_DemoTest)->Arg(10)->Arg(50)->Unit(benchmark::kSecond)->Iterations(1);

// A single-select loop over SUMS that tries 20 rows before it stops: the
// list is counted once and the rows kept are applied once, whatever the
// number of rows.
void BM_SumsLoop20Rows(benchmark::State& state) {
    Fixture& f = F();
    TScenarioRunner runner(*f.ws);
    runner.SetRandomSeed(1);
    const std::vector<std::string> line = {"FULL:0#FIRST|TSD0#SUMS:200#LNO:#ST:20| | | | | | |"};
    for (auto _ : state) runner.Forecast(line);
    Report(state, runner, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_SumsLoop20Rows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
