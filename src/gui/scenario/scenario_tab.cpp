#include "scenario/scenario_tab.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/flow_layout.h"
#include "scenario/scenario_commands.h"
#include "scenario/scenario_model.h"

ScenarioTab::ScenarioTab(tessara::Workspace& ws, CommandTable& commands, const QComboBox* methods,
                         std::function<int()> startCount, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands) {
    setObjectName(QStringLiteral("tsScript"));

    model_ = new ScenarioModel(ws_, this);
    lvScript_ = new QTableView(this);
    lvScript_->setObjectName(QStringLiteral("lvScript"));
    QHeaderView* rows = lvScript_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvScript_->fontMetrics().height() + 4);
    rows->hide();
    lvScript_->setModel(model_);
    lvScript_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvScript_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvScript_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvScript_->setWordWrap(false);
    lvScript_->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* cols = lvScript_->horizontalHeader();
    cols->setHighlightSections(false);
    const QFontMetrics fm = lvScript_->fontMetrics();
    cols->resizeSection(ScenarioModel::ColComment, fm.horizontalAdvance(QLatin1Char('0')) * 20);
    cols->resizeSection(
        ScenarioModel::ColOptions,
        fm.horizontalAdvance(QStringLiteral(
            "Исключить 10 тиражей; Расширенная; Удалить ставки; Все создаваемые ставки")) +
            12);
    for (int c = ScenarioModel::ColFirstFilter; c < ScenarioModel::ColumnCount; ++c)
        cols->resizeSection(
            c, fm.horizontalAdvance(QStringLiteral("TSD1#SUMS:10, 20#LMV:3#SF:1")) + 12);
    connect(lvScript_, &QWidget::customContextMenuRequested, this, &ScenarioTab::ShowPopup);
    connect(lvScript_, &QAbstractItemView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("ScriptEdit")); });

    sbScript_ = new QStatusBar(this);
    sbScript_->setObjectName(QStringLiteral("sbScript"));
    sbScript_->setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto* label = new QLabel(sbScript_);
        label->setObjectName(QStringLiteral("sbScriptPanel%1").arg(i));
        label->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Строк: 00000")) + 8);
        // The last panel takes the free room (the run's messages).
        sbScript_->addWidget(label, i + 1 == PanelCount ? 1 : 0);
        panels_[static_cast<size_t>(i)] = label;
    }

    scenarioCommands_ =
        std::make_unique<ScenarioCommands>(ws_, *this, commands_, methods, std::move(startCount));

    // The buttons wrap into a second row rather than hide when the tab is
    // narrow.
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("tbScript"));
    buttons_ = new FlowLayout(panel);
    AddButtons({"ScriptOpen", "ScriptSave", "ScriptAdd", "ScriptEdit", "ScriptDel", "ScriptUp",
                "ScriptDown"});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    // The lines above, the online catalogue panel (when added) below.
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterScript"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(lvScript_);
    layout->addWidget(splitter_, 1);
    layout->addWidget(sbScript_);
    Refresh();
}

ScenarioTab::~ScenarioTab() = default;

void ScenarioTab::AddBottomPanel(QWidget* panel, int height) {
    splitter_->addWidget(panel);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    splitter_->setSizes({std::max(100, splitter_->height() - height), height});
}

void ScenarioTab::AddButtons(std::initializer_list<const char*> names) {
    QWidget* panel = buttons_->parentWidget();
    for (const char* name : names) {
        QToolButton* button = commands_.MakeButton(QString::fromLatin1(name), panel);
        button->setAutoRaise(false);
        buttons_->addWidget(button);
    }
}

void ScenarioTab::AddRunButtons() { AddButtons({"ScriptRun", "ScriptTest", "ScriptStop"}); }

int ScenarioTab::FirstSelectedRow() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

std::vector<int> ScenarioTab::SelectedRows() const {
    std::set<int> rows;
    for (const QItemSelectionRange& range : lvScript_->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r) rows.insert(r);
    return {rows.begin(), rows.end()};
}

void ScenarioTab::SelectRow(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index = model_->index(row, 0);
    lvScript_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvScript_->scrollTo(index);
}

void ScenarioTab::ClearSelection() { lvScript_->clearSelection(); }

void ScenarioTab::Refresh() {
    model_->Refresh();
    panels_[0]->setText(QStringLiteral("Строк: %1").arg(ws_.Scenario().size()));
}

void ScenarioTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, ScenarioCommands::MenuNames());
    menu.exec(lvScript_->viewport()->mapToGlobal(pos));
}
