// The draw card over an archive of 10,000 draws: opening the tab and
// scrolling it page by page, each step painted at once.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "main/main_window.h"
#include "model/dates.h"
#include "model/draw_archive.h"
#include "views/card_tab.h"
#include "views/number_views.h"

namespace {

std::string g_dataDir;
std::unique_ptr<MainWindow> g_window;

void MakeDataFolder(int draws) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tessara-bench-XXXXXX").string();
    g_dataDir = ::mkdtemp(tmpl.data());
    tessara::TDrawsArray archive;
    tessara::TDateTime day = tessara::EncodeDate(1990, 1, 1);
    for (int no = 1; no <= draws; ++no) {
        tessara::TDrawRecord d{};
        d.DrawNo = no;
        for (int k = 0; k < tessara::BallsInDraw; ++k)
            d.Numbers[k] = static_cast<uint8_t>((no * 7 + k * 5 + no / 3) % tessara::MaxNumber + 1);
        d.ExtraBall = static_cast<uint8_t>(no % 10);
        tessara::SetDrawDateText(d, tessara::DrawDateToText(day));
        day += 3.5;
        archive.push_back(d);
    }
    tessara::WriteDrawsFile(g_dataDir + "/" + tessara::DrawsFileName, archive);
}

QTableView* Card() { return g_window->Views().Card()->Grid(); }

void BM_CardTabShown(benchmark::State& state) {
    auto* tabs = g_window->findChild<QTabWidget*>("pcRight");
    for (auto _ : state) {
        tabs->setCurrentIndex(0);
        QCoreApplication::processEvents();
        tabs->setCurrentWidget(g_window->Views().Card());
        Card()->viewport()->repaint();
    }
}
BENCHMARK(BM_CardTabShown)->Unit(benchmark::kMillisecond);

void BM_CardScrollPage(benchmark::State& state) {
    QScrollBar* bar = Card()->verticalScrollBar();
    int value = 0;
    for (auto _ : state) {
        value = (value + bar->pageStep()) % (bar->maximum() + 1);
        bar->setValue(value);
        Card()->viewport()->repaint();
    }
}
BENCHMARK(BM_CardScrollPage)->Unit(benchmark::kMillisecond);

void BM_CardScrollToEnds(benchmark::State& state) {
    bool bottom = false;
    for (auto _ : state) {
        bottom = !bottom;
        if (bottom)
            Card()->scrollToBottom();
        else
            Card()->scrollToTop();
        Card()->viewport()->repaint();
    }
}
BENCHMARK(BM_CardScrollToEnds)->Unit(benchmark::kMillisecond);

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtWarningMsg || !text.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    qInstallMessageHandler(QuietMessages);
    MakeDataFolder(10000);
    g_window = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", g_dataDir});
    g_window->resize(1400, 900);
    g_window->show();
    g_window->InitTick();
    g_window->findChild<QTabWidget*>("pcRight")->setCurrentWidget(g_window->Views().Card());
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    std::filesystem::remove_all(g_dataDir);
    return 0;
}
