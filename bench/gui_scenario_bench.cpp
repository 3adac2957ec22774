// The demo scenario tested in the window and by tessara-cli on copies of one
// data folder, in one run, so that the two figures compare.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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

// One test in the window: from the command to the end of the run.
double WindowTest(const std::string& dir, int cycles, double& stakes) {
    std::filesystem::remove(dir + "/" + tessara::StakesFileName);
    auto window = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir});
    window->show();
    window->InitTick();
    QCoreApplication::processEvents();
    window->Work().LoadScenarioFile(TESSARA_SAMPLE_DIR "/Tessara_demo.lsc", false);
    window->Commands().Update();
    AnswerTestCount(cycles);
    const auto start = std::chrono::steady_clock::now();
    window->Commands().Execute(QStringLiteral("ScriptTest"));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    stakes = static_cast<double>(window->Work().StakesCount());
    window.reset();
    QCoreApplication::processEvents();
    return seconds;
}

// The same test from the command line, as a process of its own.
double CliTest(const std::string& dir, int cycles) {
    std::filesystem::remove(dir + "/" + tessara::StakesFileName);
    const std::string command = std::string(TESSARA_CLI) + " --data-dir " + dir + " scenario test " +
                                TESSARA_SAMPLE_DIR "/Tessara_demo.lsc --count " + std::to_string(cycles) +
                                " >/dev/null 2>&1";
    const auto start = std::chrono::steady_clock::now();
    const int rc = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return rc == 0 ? seconds : -1;
}

// The window and the command line in turn, the ratio taken pair by pair
// so that a drift of the machine's speed cancels out.
void BM_WindowAgainstCli(benchmark::State& state) {
    const int cycles = static_cast<int>(state.range(0));
    const std::string windowDir = DataFolder("window"), cliDir = DataFolder("cli");
    std::vector<double> ratios, windows, clis;
    double stakes = 0;
    for (auto _ : state) {
        const double w = WindowTest(windowDir, cycles, stakes);
        const double c = CliTest(cliDir, cycles);
        if (c <= 0) {
            state.SkipWithError("tessara-cli failed");
            break;
        }
        windows.push_back(w);
        clis.push_back(c);
        ratios.push_back(w / c);
        state.SetIterationTime(w + c);
    }
    if (ratios.empty()) return;
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["window_s"] = median(windows);
    state.counters["cli_s"] = median(clis);
    state.counters["window_per_cli"] = median(ratios);
    state.counters["stakes"] = stakes;
}
BENCHMARK(BM_WindowAgainstCli)->Arg(3)->Arg(50)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(5);

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
