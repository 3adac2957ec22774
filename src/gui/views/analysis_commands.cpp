#include "views/analysis_commands.h"

#include <QString>

#include "app/workspace.h"
#include "graph/form_graph.h"
#include "main/command_table.h"
#include "views/form_repeats.h"
#include "views/sum_distribution.h"

namespace {

const QString kCategory = QStringLiteral("Расширенная статистика");

}  // namespace

AnalysisCommands::AnalysisCommands(tessara::Workspace& ws, CommandTable& commands,
                                   QWidget* window)
    : ws_(ws), window_(window) {
    commands.Add({.Name = QStringLiteral("AnalyzeRepeats"),
                  .Caption = QString::fromUtf8(tessara::RepeatsCaption),
                  .Category = kCategory,
                  .Handler = [this] { AnalyzeRepeats(); },
                  .Enabled = [this] { return !ws_.Archive().Empty(); }});
    commands.Add({.Name = QStringLiteral("TotalSumCombs"),
                  .Caption = QString::fromUtf8(tessara::SumDistributionCaption),
                  .Category = kCategory,
                  .Handler = [this] { TotalSumCombs(); }});
}

void AnalysisCommands::AnalyzeRepeats() {
    TFormRepeats form(ws_.Archive().Draws(), ws_.GetHost(), ws_.View(), window_);
    form.Analyze();
    form.exec();
}

void AnalysisCommands::TotalSumCombs() {
    std::vector<tessara::TGraphSeries> series;
    {
        tessara::BusyGuard busy(ws_.GetHost(), tessara::MsgSumsCollecting);
        series = tessara::SumDistributionSeries(
            tessara::ComputeSumDistribution(ws_.Archive().Draws()));
    }
    // Only the actual sums carry markers and value labels; the theoretical
    // curve and the three level lines are plain.
    std::vector<TFormGraph::TLook> looks(series.size(), {false, false});
    looks.front() = {true, true};
    TFormGraph::ShowGraph(window_, ws_.View().Path(),
                          QString::fromUtf8(tessara::SumDistributionCaption), series, looks);
}
