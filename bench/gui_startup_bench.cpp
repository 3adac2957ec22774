// Start-up of the desktop program on a data folder of 2,000 draws: from the
// construction of the main window until the init tick has finished and the
// window is usable.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "main/main_window.h"
#include "model/dates.h"
#include "model/draw_archive.h"
#include "model/game.h"

namespace {

std::string g_dataDir;

void MakeDataFolder(int draws) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tessara-bench-XXXXXX").string();
    g_dataDir = ::mkdtemp(tmpl.data());
    tessara::TDrawsArray archive;
    tessara::TDateTime day = tessara::EncodeDate(2005, 1, 1);
    for (int no = 1; no <= draws; ++no) {
        tessara::TDrawRecord d{};
        d.DrawNo = no;
        for (int k = 0; k < tessara::BallsInDraw; ++k)
            d.Numbers[k] = static_cast<uint8_t>((no * 7 + k * 5) % tessara::MaxNumber + 1);
        d.ExtraBall = static_cast<uint8_t>(no % 10);
        tessara::SetDrawDateText(d, tessara::DrawDateToText(day));
        day += 3.5;
        archive.push_back(d);
    }
    tessara::WriteDrawsFile(g_dataDir + "/" + tessara::DrawsFileName, archive);
}

std::unique_ptr<MainWindow> NewWindow() {
    return std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", g_dataDir});
}

void CloseWindow(benchmark::State& state, std::unique_ptr<MainWindow>& window) {
    state.PauseTiming();
    window.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
}

// The work itself: creation, first show, the init tick run at once, and the
// events it leaves behind (the first paint of the list).
void BM_StartupInitTickDirect(benchmark::State& state) {
    for (auto _ : state) {
        auto window = NewWindow();
        window->show();
        window->InitTick();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window->Work().Archive().Count());
        CloseWindow(state, window);
    }
}
BENCHMARK(BM_StartupInitTickDirect)->Unit(benchmark::kMillisecond);

// As the user sees it: the init tick waits for its 100 ms timer.
void BM_StartupThroughInitTimer(benchmark::State& state) {
    for (auto _ : state) {
        auto window = NewWindow();
        window->show();
        while (!window->Initialized())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();
        CloseWindow(state, window);
    }
}
BENCHMARK(BM_StartupThroughInitTimer)->Unit(benchmark::kMillisecond);

// The offscreen platform complains about every new top-level window.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtWarningMsg || !text.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    qInstallMessageHandler(QuietMessages);
    MakeDataFolder(2000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(g_dataDir, ec);
    return 0;
}
