#include "stakes/stakes_tab.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "main/command_table.h"
#include "stakes/stakes_commands.h"
#include "stakes/stakes_delegate.h"
#include "stakes/stakes_grid.h"
#include "stakes/stakes_model.h"

StakesTab::StakesTab(tessara::Workspace& ws, CommandTable& commands, CombsTab& combs,
                     QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsStakes"));

    model_ = new StakesModel(ws_, this);
    sgStakes_ = new QTableView(this);
    sgStakes_->setObjectName(QStringLiteral("sgStakes"));
    // A fixed row height set before the model keeps millions of rows instant.
    QHeaderView* rows = sgStakes_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(sgStakes_->fontMetrics().height() + 4);
    rows->hide();
    sgStakes_->setModel(model_);
    sgStakes_->setItemDelegate(new StakesDelegate(sgStakes_));
    // The headers would walk every row to highlight sections of a selection.
    auto* headersSelection = new QItemSelectionModel(model_, this);
    sgStakes_->horizontalHeader()->setSelectionModel(headersSelection);
    rows->setSelectionModel(headersSelection);
    sgStakes_->horizontalHeader()->setHighlightSections(false);
    sgStakes_->horizontalHeader()->setStretchLastSection(false);
    // Rows are deleted as one range, so the selection is one range.
    sgStakes_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sgStakes_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgStakes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgStakes_->setWordWrap(false);
    sgStakes_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sgStakes_, &QWidget::customContextMenuRequested, this, &StakesTab::ShowPopup);
    ResetColumns();
    catchUp_.setSingleShot(true);
    catchUp_.setInterval(CatchUpDelayMs);
    connect(&catchUp_, &QTimer::timeout, this, &StakesTab::Apply);

    stakesCommands_ = std::make_unique<StakesCommands>(ws_, *this, combs, commands_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sgStakes_);
}

StakesTab::~StakesTab() = default;

std::pair<int64_t, int64_t> StakesTab::SelectedRows() const {
    int64_t first = -1, last = -1;
    for (const QItemSelectionRange& range : sgStakes_->selectionModel()->selection()) {
        if (first < 0 || range.top() < first) first = range.top();
        if (range.bottom() > last) last = range.bottom();
    }
    return {first, last};
}

void StakesTab::SelectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index = model_->index(row, 0);
    sgStakes_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sgStakes_->scrollTo(index);
}

void StakesTab::Refresh() {
    if (ws_.GetHost().Busy() && ws_.StakesGrid().Rows > model_->rowCount()) {
        if (!catchUp_.isActive()) catchUp_.start();
        return;
    }
    catchUp_.stop();
    Apply();
}

void StakesTab::Apply() {
    model_->Refresh();
    const int64_t selected = ws_.StakesGrid().Selected;
    if (selected >= 0 && selected < model_->rowCount()) SelectRow(static_cast<int>(selected));
}

void StakesTab::ResetColumns() {
    // The widths of a fresh grid, widened where this font needs more room for
    // a caption or for the longest text of the column.
    static const char* const kWidest[tessara::StakesGridColumnCount] = {
        "0000000",         "Сценарий", "00 00 00 00 00 00 00 00 00 00", "0000000",
        "00 00 00 00 00 00", "0",      "00 00 00 00 00 00",             "-00000,00", ""};
    QHeaderView* cols = sgStakes_->horizontalHeader();
    const QFontMetrics cells = sgStakes_->fontMetrics();
    const QFontMetrics header = cols->fontMetrics();
    for (int c = 0; c < tessara::StakesGridColumnCount; ++c) {
        const QString caption = QString::fromUtf8(tessara::StakesGridCaption(c));
        const int needed = std::max(header.horizontalAdvance(caption) + 16,
                                    cells.horizontalAdvance(QString::fromUtf8(kWidest[c])) + 8);
        cols->resizeSection(c, std::max(tessara::StakesGridColumnWidth(c), needed));
    }
}

void StakesTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, StakesCommands::MenuNames(commands_));
    menu.exec(sgStakes_->viewport()->mapToGlobal(pos));
}
