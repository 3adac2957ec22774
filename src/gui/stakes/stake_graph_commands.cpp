#include "stakes/stake_graph_commands.h"

#include <QAction>
#include <optional>

#include "app/workspace.h"
#include "graph/form_graph.h"
#include "main/command_table.h"
#include "model/error.h"
#include "ratings/ratings_tab.h"
#include "stakes/stake_graphs.h"

namespace {

const QString kDrawsHint = QStringLiteral("График суммарного профита ставок по тиражам");
const QString kOverlapHint =
    QStringLiteral("График количества совпадений для всех ставок по тиражам");
const QString kProfitsHint = QStringLiteral("График профита для всех ставок по тиражам");
const QString kRatingsHint =
    QStringLiteral("График количества совпадений для выделенных строк рейтинга");

}  // namespace

StakeGraphCommands::StakeGraphCommands(tessara::Workspace& ws, RatingsTab& ratings,
                                       CommandTable& commands, QWidget* window)
    : ws_(ws), ratings_(ratings), window_(window) {
    Register(commands);
}

std::vector<std::string> StakeGraphCommands::SelectedNames() const {
    std::vector<std::string> names;
    for (int row : ratings_.SelectedRows())
        if (static_cast<size_t>(row) < ws_.Ratings().Count())
            names.push_back(tessara::RatingName(ws_.Ratings()[static_cast<size_t>(row)]));
    return names;
}

template <typename Build>
void StakeGraphCommands::Show(const QString& caption, Build&& build) {
    std::optional<tessara::TStakeGraph> graph;
    {
        tessara::BusyGuard busy(ws_.GetHost(), tessara::StatusMakingGraphs);
        try {
            graph = build();
        } catch (const tessara::Error& e) {
            ws_.GetHost().ShowError(e.what());
        }
    }
    if (!graph) return;
    TFormGraph form(ws_.View().Path(), window_);
    form.SetCaption(caption);
    for (const tessara::TStakeGraphSeries& s : *graph) form.AddSeries(s, s.ShowPoints, s.ShowMarks);
    form.exec();
}

void StakeGraphCommands::Register(CommandTable& commands) {
    const auto rowsSelected = [this] { return !ratings_.SelectedRows().empty(); };
    commands.Add({.Name = QStringLiteral("StakesGraphDraws"),
                  .Caption = QStringLiteral("Суммарный профит по тиражам"),
                  .Shortcut = QKeySequence(Qt::Key_F6),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Show(kDrawsHint, [this] { return StakesDrawsGraph(ws_.StakesFile()); });
                      },
                  .Enabled = [this] { return ws_.HasStakes(); },
                  .Hint = kDrawsHint});
    commands.Add({.Name = QStringLiteral("StakesGraphOverlap"),
                  .Caption = QStringLiteral("График совпадений ставок"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F6),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Show(kOverlapHint, [this] {
                              return StakesMatchesGraph(ws_.StakesFile(), SelectedNames(), false);
                          });
                      },
                  .Enabled = [this, rowsSelected] { return ws_.HasStakes() && rowsSelected(); },
                  .Hint = kOverlapHint});
    commands.Add({.Name = QStringLiteral("StakesGraphProfits"),
                  .Caption = QStringLiteral("График профита ставок"),
                  .Shortcut = QKeySequence(Qt::ALT | Qt::Key_F6),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Show(kProfitsHint, [this] {
                              return StakesMatchesGraph(ws_.StakesFile(), SelectedNames(), true);
                          });
                      },
                  .Enabled = [this, rowsSelected] { return ws_.HasStakes() && rowsSelected(); },
                  .Hint = kProfitsHint});
    commands.Add({.Name = QStringLiteral("RatingsGraphOverlap"),
                  .Caption = QStringLiteral("Количество совпадений"),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Show(kRatingsHint, [this] {
                              std::vector<tessara::TRatingRecord> rows;
                              for (int row : ratings_.SelectedRows())
                                  if (static_cast<size_t>(row) < ws_.Ratings().Count())
                                      rows.push_back(ws_.Ratings()[static_cast<size_t>(row)]);
                              return RatingsMatchesGraph(rows);
                          });
                      },
                  .Enabled = rowsSelected,
                  .Hint = kRatingsHint});
}
