#include "draws/draws_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "draws/draws_commands.h"
#include "draws/draws_model.h"
#include "main/command_table.h"
#include "main/menu_layout.h"

namespace {


}  // namespace

DrawsTab::DrawsTab(tessara::Workspace& ws, CommandTable& commands, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsDraws"));

    model_ = new DrawsModel(ws_, this);
    lvDraws_ = new QTableView(this);
    lvDraws_->setObjectName(QStringLiteral("lvDraws"));
    // A fixed row height set before the model keeps large lists instant.
    QHeaderView* rows = lvDraws_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvDraws_->fontMetrics().height() + 4);
    rows->hide();
    lvDraws_->setModel(model_);
    lvDraws_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvDraws_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvDraws_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvDraws_->setWordWrap(false);
    lvDraws_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* cols = lvDraws_->horizontalHeader();
    cols->setHighlightSections(false);
    cols->setStretchLastSection(true);
    const QFontMetrics fm = lvDraws_->fontMetrics();
    cols->setMinimumSectionSize(fm.horizontalAdvance(QStringLiteral("00")) + 10);
    cols->resizeSection(DrawsModel::ColDrawNo,
                        fm.horizontalAdvance(QStringLiteral("Тираж00")) + 12);
    for (int c = DrawsModel::ColFirstNumber; c <= DrawsModel::ColExtraBall; ++c)
        cols->resizeSection(c, fm.horizontalAdvance(QStringLiteral("00")) + 14);
    cols->resizeSection(DrawsModel::ColSum, fm.horizontalAdvance(QStringLiteral("000")) + 14);
    connect(lvDraws_, &QTableView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("DrawsInfo")); });
    connect(lvDraws_, &QWidget::customContextMenuRequested, this, &DrawsTab::ShowPopup);

    drawsCommands_ = std::make_unique<DrawsCommands>(ws_, *this, commands_);

    seDrawsOffset_ = new QSpinBox(this);
    seDrawsOffset_->setObjectName(QStringLiteral("seDrawsOffset"));
    seDrawsOffset_->setRange(0, 0);
    seDrawsOffset_->setKeyboardTracking(false);
    const QString offsetHint =
        QStringLiteral("Смещение относительно последнего загруженного номера тиража");
    seDrawsOffset_->setToolTip(offsetHint);
    seDrawsOffset_->setStatusTip(offsetHint);
    connect(seDrawsOffset_, &QSpinBox::valueChanged, this,
            [this](int value) { ws_.SetDrawsOffset(value); });
    auto* offsetLabel = new QLabel(QStringLiteral("Смещение назад:"), this);
    offsetLabel->setBuddy(seDrawsOffset_);

    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(commands_.MakeButton(QStringLiteral("DrawsDownload"), this));
    panel->addWidget(commands_.MakeButton(QStringLiteral("DrawsAdd"), this));
    panel->addWidget(commands_.MakeButton(QStringLiteral("DrawsDel"), this));
    panel->addStretch(1);
    panel->addWidget(offsetLabel);
    panel->addWidget(seDrawsOffset_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addWidget(lvDraws_, 1);
}

DrawsTab::~DrawsTab() = default;

bool DrawsTab::HasSelection() const { return lvDraws_->selectionModel()->hasSelection(); }

int DrawsTab::FirstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : lvDraws_->selectionModel()->selection())
        if (first < 0 || range.top() < first) first = range.top();
    return first;
}

std::vector<int> DrawsTab::SelectedRowsBottomUp() const {
    // Ranges, not indexes: a selection of thousands of rows stays cheap.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : lvDraws_->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.push_back(r);
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void DrawsTab::ClearSelection() { lvDraws_->clearSelection(); }

void DrawsTab::RefreshList(bool force) {
    model_->Refresh(force);
    seDrawsOffset_->setMaximum(std::max(ws_.Archive().Count() - 1, 0));
    SyncOffset();
}

void DrawsTab::SyncOffset() {
    if (seDrawsOffset_->value() != ws_.DrawsOffset()) seDrawsOffset_->setValue(ws_.DrawsOffset());
}

void DrawsTab::Repaint() { model_->Repaint(); }

void DrawsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::Draws));
    menu.exec(lvDraws_->viewport()->mapToGlobal(pos));
}
