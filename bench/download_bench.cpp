// The parse of one archive page of ten draws, as the download does it for
// every page it reads.
#include <benchmark/benchmark.h>

#include "archive_pages.h"
#include "online/draws_download.h"

namespace {

void BM_ParseArchivePage10(benchmark::State& state) {
    const std::string page = tessara::test::ArchivePage(tessara::test::Descending(1820, 1811));
    for (auto _ : state) {
        tessara::TDrawsArray collected;
        benchmark::DoNotOptimize(tessara::ParseArchivePage(page, 1, collected));
        benchmark::DoNotOptimize(collected.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseArchivePage10)->Unit(benchmark::kMicrosecond);

// The same draws inside a page of a real site's size: some 60 KB of head,
// menus and scripts around the content.
void BM_ParseArchivePage10InFullPage(benchmark::State& state) {
    std::string filler;
    while (filler.size() < 60000)
        filler +=
            "<li class=\"menu-item\"><a href=\"/ru/page\">Раздел сайта</a></li>\n"
            "<script>var x = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'.split('');</script>\n";
    std::string page = tessara::test::ArchivePage(tessara::test::Descending(1820, 1811));
    page.insert(page.find("<div class=\"ml-content\">"), filler);
    page += filler;
    for (auto _ : state) {
        tessara::TDrawsArray collected;
        benchmark::DoNotOptimize(tessara::ParseArchivePage(page, 1, collected));
        benchmark::DoNotOptimize(collected.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ParseArchivePage10InFullPage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
