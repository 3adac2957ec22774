// The test of regular stakes: ten rules over the last thousand draws of the
// demo archive, stakes made, checked and counted in the ratings.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

#include "app/workspace.h"
#include "bench_support.h"
#include "stakes/regulars.h"

namespace {

using namespace tessara;

struct Fixture {
    Fixture()
        : dir((std::filesystem::temp_directory_path() /
               ("tessara-rbench-" + std::to_string(::getpid())))
                  .string()) {
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(TESSARA_SAMPLE_DIR "/Tessara_6x42.ldr", dir + "/" + DrawsFileName,
                                   std::filesystem::copy_options::overwrite_existing);
        ws = std::make_unique<Workspace>(host, dir);
        ws->InitGameTables();
        ws->LoadStakesFile();
        ws->LoadDrawsFile();
        TCombList one;
        one.Reserve(1, 1);
        for (int i = 0; i < 10; ++i) {
            TCombination start{};
            for (int k = 0; k < BallsInDraw; ++k) start[k] = static_cast<uint8_t>(1 + k * 7 + i % 7);
            one[0] = start;
            ws->Regulars().Add(MakeRegular("Правило " + std::to_string(i + 1), i % 3 == 0, start,
                                           i - 5),
                               one, {{0, 0}});
        }
    }
    ~Fixture() {
        ws.reset();
        std::filesystem::remove_all(dir);
    }
    std::string dir;
    bench::QuietHost host;
    std::unique_ptr<Workspace> ws;
};

void BM_RegularsTest10Rules1000Draws(benchmark::State& state) {
    static Fixture f;
    const std::vector<int> rules = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (auto _ : state) {
        state.PauseTiming();
        f.ws->StakesFile().Truncate();
        f.ws->ClearRatings();
        state.ResumeTiming();
        if (!f.ws->Regulars().Test(*f.ws, 1000, rules)) state.SkipWithError("the test failed");
    }
    state.counters["stakes"] = static_cast<double>(f.ws->StakesCount());
}
BENCHMARK(BM_RegularsTest10Rules1000Draws)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
