// The spreadsheet export of the full combination list (5,245,786 rows over
// six sheets, written in constant memory), with and without the channel
// colours, and of the draw card of the demo archive.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "bench_support.h"
#include "combs/comb_list.h"
#include "export/grid_sheets.h"
#include "export/xlsx_writer.h"
#include "model/draw_archive.h"

namespace {

using namespace tessara;

struct Fixture {
    Fixture()
        : dir((std::filesystem::temp_directory_path() /
               ("tessara-xbench-" + std::to_string(::getpid())))
                  .string()) {
        std::filesystem::create_directories(dir);
        GenerateCombinations(list, gmFull, TNumberSet{});
        ReadDrawsFile(TESSARA_SAMPLE_ARCHIVE, archive.Draws());
    }
    ~Fixture() { std::filesystem::remove_all(dir); }
    std::string dir;
    TCombList list;
    TDrawArchive archive;
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_ExportFullCombList(benchmark::State& state) {
    Fixture& f = F();
    const std::string path = f.dir + "/combs.xlsx";
    for (auto _ : state) WriteXlsx(path, {CombsSheet(f.list, state.range(0) != 0, 7)});
    state.counters["rows"] = static_cast<double>(f.list.Count());
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ExportFullCombList)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1);

void BM_ExportCard(benchmark::State& state) {
    Fixture& f = F();
    const std::string path = f.dir + "/card.xlsx";
    for (auto _ : state) WriteXlsx(path, {CardSheet(f.archive.Draws(), TCardOptions{})});
    state.counters["rows"] = static_cast<double>(f.archive.Count());
}
BENCHMARK(BM_ExportCard)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
