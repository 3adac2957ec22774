// The demo scenario tested in the window and by tessara-cli on copies of one
// data folder, in one run, so that the two figures compare.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "scenario/form_test_count.h"

namespace {

std::string g_root;

std::string DataFolder(const char* name) {
    const std::string dir = g_root + "/" + name;
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(TESSARA_SAMPLE_DIR "/Tessara_6x42.ldr", dir + "/" + tessara::DrawsFileName,
                               std::filesystem::copy_options::overwrite_existing);
    return dir;
}

// The count dialog answered as a user would, as soon as it shows.
void AnswerTestCount(int count) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, count] {
        if (auto* form = qobject_cast<TFormTestCnt*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            form->findChild<QSpinBox*>("edTestCount")->setValue(count);
            form->accept();
        }
    });
    timer->start();
}

void BM_WindowTest(benchmark::State& state) {
    const int cycles = static_cast<int>(state.range(0));
    const std::string dir = DataFolder("window");
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir});
        window->show();
        window->InitTick();
        QCoreApplication::processEvents();
        window->Work().LoadScenarioFile(TESSARA_SAMPLE_DIR "/Tessara_demo.lsc", false);
        window->Commands().Update();
        AnswerTestCount(cycles);
        state.ResumeTiming();
        window->Commands().Execute(QStringLiteral("ScriptTest"));
        state.PauseTiming();
        state.counters["stakes"] = static_cast<double>(window->Work().StakesCount());
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["s_per_cycle"] =
        benchmark::Counter(cycles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The same test from the command line, as a process of its own.
void BM_CliTest(benchmark::State& state) {
    const int cycles = static_cast<int>(state.range(0));
    const std::string dir = DataFolder("cli");
    const std::string command = std::string(TESSARA_CLI) + " --data-dir " + dir + " scenario test " +
                                TESSARA_SAMPLE_DIR "/Tessara_demo.lsc --count " + std::to_string(cycles) +
                                " >/dev/null 2>&1";
    for (auto _ : state) {
        std::filesystem::remove(dir + "/Tessara_6x42.lsk");
        if (std::system(command.c_str()) != 0) state.SkipWithError("tessara-cli failed");
    }
    state.counters["s_per_cycle"] =
        benchmark::Counter(cycles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_WindowTest)->Arg(3)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_CliTest)->Arg(3)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtWarningMsg || !text.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(text));
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    qInstallMessageHandler(QuietMessages);
    std::string tmpl = (std::filesystem::temp_directory_path() / "tessara-gsbench-XXXXXX").string();
    g_root = ::mkdtemp(tmpl.data());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(g_root, ec);
    return 0;
}
