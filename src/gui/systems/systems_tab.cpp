#include "systems/systems_tab.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "main/command_table.h"
#include "online/systems_catalogue.h"
#include "systems/systems_model.h"

SystemsTab::SystemsTab(tessara::SystemsCatalogue& systems, CommandTable& commands, QWidget* parent)
    : QWidget(parent), systems_(systems), commands_(commands) {
    setObjectName(QStringLiteral("tsSystems"));
    model_ = new SystemsModel(systems_, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(SystemsModel::SortRole);
    lvSystems_ = new QTableView(this);
    lvSystems_->setObjectName(QStringLiteral("lvSystems"));
    QHeaderView* rows = lvSystems_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvSystems_->fontMetrics().height() + 6);
    rows->hide();
    lvSystems_->setModel(proxy_);
    lvSystems_->setSortingEnabled(true);
    lvSystems_->sortByColumn(tessara::SystemDefaultSortColumn, Qt::AscendingOrder);
    lvSystems_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvSystems_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvSystems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvSystems_->setWordWrap(false);
    lvSystems_->setContextMenuPolicy(Qt::CustomContextMenu);
    lvSystems_->horizontalHeader()->setStretchLastSection(true);
    lvSystems_->horizontalHeader()->setHighlightSections(false);
    const QFontMetrics fm = lvSystems_->fontMetrics();
    const int date = fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    const int widths[] = {220, 120, 50, 40, 80, date, 80, 60, date, 220, 120};
    for (int c = 0; c < tessara::SystemColumnCount; ++c)
        lvSystems_->horizontalHeader()->resizeSection(
            c, std::max(widths[c],
                        fm.horizontalAdvance(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole)
                                                 .toString()) +
                            24));
    connect(lvSystems_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SystemsTab::FocusChanged);
    connect(lvSystems_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { commands_.Update(); });
    connect(lvSystems_, &QAbstractItemView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("SystemsProp")); });
    connect(lvSystems_, &QWidget::customContextMenuRequested, this, &SystemsTab::ShowPopup);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbSystems"));
    bar->setMovable(false);
    bar->setFloatable(false);
    for (const char* name :
         {"SystemsRefresh", "SystemsDownload", "SystemsAdd", "SystemsProp", "SystemsDel"}) {
        QToolButton* button = commands_.MakeButton(QString::fromLatin1(name), this);
        button->setAutoRaise(false);
        bar->addWidget(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(lvSystems_, 1);
}

const QStringList& SystemsTab::MenuNames() {
    static const QStringList names = {
        QStringLiteral("SystemsOn"),     QStringLiteral("|"),
        QStringLiteral("SystemsRefresh"), QStringLiteral("SystemsDownload"),
        QStringLiteral("|"),             QStringLiteral("SystemsAdd"),
        QStringLiteral("SystemsProp"),   QStringLiteral("SystemsDel")};
    return names;
}

void SystemsTab::Refresh() {
    refreshing_ = true;
    model_->Refresh();
    const int32_t id = systems_.FocusedId();
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        const QModelIndex index = proxy_->index(r, 0);
        if (index.data(SystemsModel::IdRole).toInt() == id) {
            lvSystems_->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lvSystems_->scrollTo(index);
            break;
        }
    }
    refreshing_ = false;
    commands_.Update();
}

void SystemsTab::Repaint() { lvSystems_->viewport()->update(); }

std::vector<int32_t> SystemsTab::SelectedIds() const {
    QModelIndexList rows = lvSystems_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<int32_t> ids;
    for (const QModelIndex& index : rows) {
        const int32_t id = index.data(SystemsModel::IdRole).toInt();
        if (id > 0) ids.push_back(id);
    }
    return ids;
}

void SystemsTab::Deselect(int32_t id) {
    if (id == systems_.FocusedId()) return;
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        const QModelIndex index = proxy_->index(r, 0);
        if (index.data(SystemsModel::IdRole).toInt() != id) continue;
        lvSystems_->selectionModel()->select(index, QItemSelectionModel::Deselect |
                                                        QItemSelectionModel::Rows);
    }
}

void SystemsTab::FocusChanged() {
    if (refreshing_) return;
    const QModelIndex current = lvSystems_->selectionModel()->currentIndex();
    systems_.SetFocusedId(current.isValid() ? current.data(SystemsModel::IdRole).toInt() : -1);
    commands_.Update();
}

void SystemsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, MenuNames());
    menu.exec(lvSystems_->viewport()->mapToGlobal(pos));
}
