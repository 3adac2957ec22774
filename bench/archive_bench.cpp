// The archive work that runs at start-up and after every edit.
#include <benchmark/benchmark.h>
#include <filesystem>
#include <unistd.h>

#include "model/draw_archive.h"
#include "model/draws_csv.h"
#include "model/game.h"

namespace {

using namespace tessara;

TDrawsArray MakeArchive(int count) {
    TDrawsArray draws;
    for (int no = 1; no <= count; ++no) {
        TDrawRecord d{};
        d.DrawNo = no;
        for (int k = 0; k < BallsInDraw; ++k)
            d.Numbers[k] = static_cast<uint8_t>((no * 7 + k * 5) % MaxNumber + 1);
        SetDrawDateText(d, "05 марта 2021");
        draws.push_back(d);
    }
    return draws;
}

std::string TempFile(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid())))
        .string();
}

void BM_LoadDrawsFile(benchmark::State& state) {
    const std::string path = TempFile("bench-ldr-");
    WriteDrawsFile(path, MakeArchive(static_cast<int>(state.range(0))));
    TDrawsArray draws;
    for (auto _ : state) {
        ReadDrawsFile(path, draws);
        benchmark::DoNotOptimize(draws.data());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadDrawsFile)->Arg(2000)->Arg(20000);

void BM_SaveDrawsFile(benchmark::State& state) {
    const std::string path = TempFile("bench-save-");
    const TDrawsArray draws = MakeArchive(static_cast<int>(state.range(0)));
    for (auto _ : state) WriteDrawsFile(path, draws);
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveDrawsFile)->Arg(2000);

void BM_FindEveryDraw(benchmark::State& state) {
    TDrawArchive a;
    for (const auto& d : MakeArchive(2000)) a.Append(d);
    for (auto _ : state)
        for (int no = 1; no <= 2000; ++no) benchmark::DoNotOptimize(a.FindDrawIndex(no));
}
BENCHMARK(BM_FindEveryDraw);

void BM_ImportCsv(benchmark::State& state) {
    const std::string text = ExportDrawsCsvText(MakeArchive(2000));
    for (auto _ : state) {
        TDrawArchive a;
        benchmark::DoNotOptimize(ImportDrawsCsvText(a, text));
    }
}
BENCHMARK(BM_ImportCsv);

}  // namespace

BENCHMARK_MAIN();
