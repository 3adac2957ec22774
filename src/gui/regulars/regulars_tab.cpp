#include "regulars/regulars_tab.h"

#include <QHeaderView>
#include <QMenu>
#include <QPointer>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/workspace.h"
#include "main/command_table.h"
#include "regulars/regulars_commands.h"
#include "regulars/regulars_model.h"

RegularsTab::RegularsTab(tessara::Workspace& ws, CommandTable& commands, CombsTab& combs,
                         std::function<void(bool)> showTab, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsTables"));

    model_ = new RegularsModel(ws_.Regulars(), this);
    lvTables_ = new QTableView(this);
    lvTables_->setObjectName(QStringLiteral("lvTables"));
    QHeaderView* rows = lvTables_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvTables_->fontMetrics().height() + 4);
    rows->hide();
    lvTables_->setModel(model_);
    lvTables_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvTables_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvTables_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvTables_->setWordWrap(false);
    lvTables_->setShowGrid(false);
    lvTables_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvTables_, &QWidget::customContextMenuRequested, this, &RegularsTab::ShowPopup);

    QHeaderView* cols = lvTables_->horizontalHeader();
    cols->setHighlightSections(false);
    cols->setStretchLastSection(false);
    const QFontMetrics fm = lvTables_->fontMetrics();
    const int digit = fm.horizontalAdvance(QLatin1Char('0'));
    const int widths[tessara::RegularColumnCount] = {digit * 36, digit * 22, digit * 6, digit * 22,
                                                     digit * 8};
    for (int c = 0; c < tessara::RegularColumnCount; ++c) {
        const int text = fm.horizontalAdvance(QString::fromUtf8(tessara::RegularColumnCaption(c)));
        cols->resizeSection(c, std::max(text + 24, widths[c]));
    }

    regularsCommands_ =
        std::make_unique<RegularsCommands>(ws_, *this, combs, commands_, std::move(showTab));
    // The workspace goes before the window's pages do: the guard keeps a
    // late change from reaching a page that is gone, whichever goes first.
    ws_.Regulars().OnChanged([tab = QPointer<RegularsTab>(this)] {
        if (tab) tab->Refresh();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lvTables_);
    Refresh();
}

RegularsTab::~RegularsTab() = default;

std::vector<int> RegularsTab::SelectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& range : lvTables_->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r);
    return {rows.begin(), rows.end()};
}

int RegularsTab::FocusedRow() const {
    const QModelIndex current = lvTables_->currentIndex();
    return current.isValid() && current.row() < ws_.Regulars().Count() ? current.row() : -1;
}

void RegularsTab::Refresh() { model_->Refresh(); }

void RegularsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, RegularsCommands::MenuNames());
    menu.exec(lvTables_->viewport()->mapToGlobal(pos));
}
