#include "ratings/ratings_tab.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/workspace.h"
#include "main/command_table.h"
#include "ratings/ratings_commands.h"
#include "ratings/ratings_model.h"
#include "stakes/ratings.h"

RatingsTab::RatingsTab(tessara::Workspace& ws, CommandTable& commands,
                       std::function<void()> showScenario, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsRatings"));

    model_ = new RatingsModel(ws_, this);
    lvRatings_ = new QTableView(this);
    lvRatings_->setObjectName(QStringLiteral("lvRatings"));
    QHeaderView* rows = lvRatings_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvRatings_->fontMetrics().height() + 4);
    rows->hide();
    lvRatings_->setModel(model_);
    lvRatings_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvRatings_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvRatings_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvRatings_->setWordWrap(false);
    lvRatings_->setShowGrid(false);
    lvRatings_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvRatings_, &QWidget::customContextMenuRequested, this, &RatingsTab::ShowPopup);
    // The graph of the selected rows, once that command is there.
    connect(lvRatings_, &QAbstractItemView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("RatingsGraphOverlap")); });

    QHeaderView* cols = lvRatings_->horizontalHeader();
    cols->setHighlightSections(false);
    cols->setStretchLastSection(false);
    cols->setSectionsClickable(true);
    cols->setSortIndicatorShown(true);
    const QFontMetrics fm = lvRatings_->fontMetrics();
    const int digit = fm.horizontalAdvance(QLatin1Char('0'));
    // Room for the caption with its sort mark, and for the values a column
    // takes: counts, averages, amounts, hits, efficiencies.
    cols->resizeSection(0, digit * 40);
    for (int c = 1; c < tessara::RatingColumnCount; ++c) {
        const int text = fm.horizontalAdvance(QString::fromUtf8(tessara::RatingColumnCaption(c)));
        const int digits = c <= 3 ? 8 : c <= 5 ? 12 : c <= 12 ? 7 : 12;
        cols->resizeSection(c, std::max(text + 24, digit * digits));
    }
    connect(cols, &QHeaderView::sortIndicatorChanged, this, &RatingsTab::SortChanged);

    ratingsCommands_ =
        std::make_unique<RatingsCommands>(ws_, *this, commands_, std::move(showScenario));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lvRatings_);
    Refresh();
}

RatingsTab::~RatingsTab() = default;

std::vector<int> RatingsTab::SelectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& range : lvRatings_->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r);
    return {rows.begin(), rows.end()};
}

void RatingsTab::Refresh() {
    model_->Refresh();
    syncingSort_ = true;
    lvRatings_->horizontalHeader()->setSortIndicator(
        ws_.RatingsSortColumn(),
        ws_.RatingsSortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
    syncingSort_ = false;
}

void RatingsTab::SortChanged(int column, Qt::SortOrder order) {
    if (syncingSort_) return;
    ws_.SortRatings(column, order == Qt::DescendingOrder);
}

void RatingsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    RatingsCommands::FillMenu(&menu, commands_);
    menu.exec(lvRatings_->viewport()->mapToGlobal(pos));
}
