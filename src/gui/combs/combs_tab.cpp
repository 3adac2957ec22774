#include "combs/combs_tab.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "base/ini_file.h"
#include "base/view_keys.h"
#include "combs/combs_commands.h"
#include "combs/combs_model.h"
#include "combs/filter_log_model.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "model/error.h"

namespace {

constexpr int kExcludeMax = 99999;


QTableView* MakeGrid(const QString& name, QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    // A fixed row height set before the model keeps millions of rows instant.
    QHeaderView* rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    rows->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

}  // namespace

tessara::TRowRanges MergeRowRanges(tessara::TRowRanges ranges) {
    std::sort(ranges.begin(), ranges.end());
    tessara::TRowRanges merged;
    for (const auto& range : ranges) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return merged;
}

CombsTab::CombsTab(tessara::Workspace& ws, CommandTable& commands, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsCombs"));

    model_ = new CombsModel(ws_, this);
    lvCombs_ = MakeGrid(QStringLiteral("lvCombs"), this);
    lvCombs_->setModel(model_);
    // The headers read the selection only to highlight sections, and asking
    // whether a whole column is selected walks every row: after selecting all
    // that costs most of a second, so they get an empty selection of their own.
    auto* headersSelection = new QItemSelectionModel(model_, this);
    lvCombs_->horizontalHeader()->setSelectionModel(headersSelection);
    lvCombs_->verticalHeader()->setSelectionModel(headersSelection);
    lvCombs_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvCombs_->setContextMenuPolicy(Qt::CustomContextMenu);
    const QFontMetrics fm = lvCombs_->fontMetrics();
    QHeaderView* cols = lvCombs_->horizontalHeader();
    cols->setMinimumSectionSize(fm.horizontalAdvance(QStringLiteral("00")) + 10);
    cols->resizeSection(CombsModel::ColIndex, fm.horizontalAdvance(QStringLiteral("0000000")) + 12);
    for (int c = CombsModel::ColFirstNumber; c < CombsModel::ColSum; ++c)
        cols->resizeSection(c, fm.horizontalAdvance(QStringLiteral("00")) + 14);
    // The sum keeps a narrow column rather than stretching over the free room.
    cols->setStretchLastSection(false);
    cols->resizeSection(CombsModel::ColSum, fm.horizontalAdvance(QStringLiteral("000")) + 14);
    connect(lvCombs_, &QWidget::customContextMenuRequested, this, &CombsTab::ShowPopup);
    // A double click makes a stake of the combination.
    connect(lvCombs_, &QAbstractItemView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("StakeAdd")); });

    logModel_ = new FilterLogModel(ws_, this);
    lvFilters_ = MakeGrid(QStringLiteral("lvFilters"), this);
    lvFilters_->setModel(logModel_);
    lvFilters_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFilters_->setIconSize(QSize(16, 16));
    // Room for the icon and the longest caption of the list's own steps.
    QHeaderView* logCols = lvFilters_->horizontalHeader();
    logCols->resizeSection(FilterLogModel::ColCaption,
                           fm.horizontalAdvance(QStringLiteral("Отмена последней операции")) + 36);
    logCols->resizeSection(FilterLogModel::ColValue,
                           fm.horizontalAdvance(QStringLiteral("Значения")) + 40);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterCombs"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(lvCombs_);
    splitter_->addWidget(lvFilters_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    // The window's layout state resizes the log later; this is its default.
    const int logHeight = tessara::MainViewDefault("FiltersHeight");
    splitter_->setSizes({4 * logHeight, logHeight});

    edCombsExclude_ = new QSpinBox(this);
    edCombsExclude_->setObjectName(QStringLiteral("edCombsExclude"));
    edCombsExclude_->setRange(0, kExcludeMax);
    edCombsExclude_->setKeyboardTracking(false);
    const QString excludeHint =
        QStringLiteral("Исключить указанное количество последних тиражей из списка комбинаций");
    edCombsExclude_->setToolTip(excludeHint);
    edCombsExclude_->setStatusTip(excludeHint);
    edCombsExclude_->installEventFilter(this);
    connect(edCombsExclude_, &QSpinBox::valueChanged, this, &CombsTab::ExcludeChanged);

    combsCommands_ = std::make_unique<CombsCommands>(ws_, *this, commands_);

    // The panel's buttons carry shorter captions than the menu items.
    commands_.Action(QStringLiteral("CombsGen"))->setIconText(QStringLiteral("Новый"));
    commands_.Action(QStringLiteral("CombsDelExists"))->setIconText(QStringLiteral("[-] Тиражи"));
    // A tool bar, so that a narrow left panel moves what does not fit into
    // its overflow menu instead of forcing the panel's width.
    auto* panel = new QToolBar(this);
    panel->setObjectName(QStringLiteral("tbCombs"));
    panel->setMovable(false);
    panel->setFloatable(false);
    const auto addButton = [&](const char* name) {
        QToolButton* button = commands_.MakeButton(QString::fromLatin1(name), this);
        panel->addWidget(button);
        // Framed like the buttons of the draws tab, not flat as in a tool bar.
        button->setAutoRaise(false);
    };
    for (const char* name : {"CombsGen", "CombsOpen", "CombsSave", "CombsUndo"}) addButton(name);
    auto* stretch = new QWidget(panel);
    stretch->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    panel->addWidget(stretch);
    panel->addWidget(edCombsExclude_);
    addButton("CombsDelExists");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(splitter_, 1);
}

CombsTab::~CombsTab() = default;

bool CombsTab::HasSelection() const { return lvCombs_->selectionModel()->hasSelection(); }

int CombsTab::FirstSelectedRow() const {
    int first = -1;
    for (const QItemSelectionRange& range : lvCombs_->selectionModel()->selection())
        if (first < 0 || range.top() < first) first = range.top();
    return first;
}

tessara::TRowRanges CombsTab::SelectedRanges() const {
    tessara::TRowRanges ranges;
    for (const QItemSelectionRange& range : lvCombs_->selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    return MergeRowRanges(std::move(ranges));
}

void CombsTab::SelectAll() {
    tessara::BusyGuard busy(ws_.GetHost(), tessara::MsgPleaseWait);
    lvCombs_->selectAll();
}

void CombsTab::ClearSelection() { lvCombs_->clearSelection(); }

void CombsTab::Refresh() {
    model_->Refresh();
    logModel_->Refresh();
    lvFilters_->scrollToBottom();
}

void CombsTab::Repaint() { model_->Repaint(); }

void CombsTab::LoadViewOptions() {
    loadingOptions_ = true;
    try {
        const tessara::ViewState& view = ws_.View();
        edCombsExclude_->setValue(view.ReadInteger(tessara::MainWindowSection, "DrawsExclude",
                                                   tessara::MainViewDefault("DrawsExclude")));
        model_->SetColorCombs(view.ReadBool(tessara::MainWindowSection, "ColorCombs",
                                            tessara::MainViewDefault("ColorCombs") != 0));
    } catch (const tessara::Error&) {
        // The start-up has already reported the unreadable file; defaults stay.
    }
    loadingOptions_ = false;
}

int CombsTab::ExcludeDraws() const { return edCombsExclude_->value(); }

void CombsTab::ExcludeChanged(int value) {
    if (loadingOptions_) return;
    try {
        ws_.View().WriteInteger(tessara::MainWindowSection, "DrawsExclude", value);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

bool CombsTab::ColorCombs() const { return model_->ColorCombs(); }

void CombsTab::SetColorCombs(bool on) {
    model_->SetColorCombs(on);
    ws_.View().WriteBool(tessara::MainWindowSection, "ColorCombs", on);
}

bool CombsTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edCombsExclude_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            edCombsExclude_->hasAcceptableInput()) {
            edCombsExclude_->interpretText();
            commands_.Execute(QStringLiteral("CombsDelExists"));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CombsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::Combs));
    menu.exec(lvCombs_->viewport()->mapToGlobal(pos));
}
