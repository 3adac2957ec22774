#include "stats/statistics_tab.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>
#include <set>

#include "base/ini_file.h"
#include "base/view_keys.h"
#include "app/workspace.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "model/error.h"
#include "stats/filter.h"
#include "stats/stat_chart.h"
#include "stats/stat_selectors.h"
#include "stats/stat_table_commands.h"
#include "stats/value_table_model.h"

namespace {

constexpr int kNormColumnWidth = 80;


// A typical widest text of each column, so that a fresh layout shows the
// numbers whole; the caption is used where it is wider.
constexpr const char* kSampleTexts[tessara::ValueColumnCount] = {
    "00 00 00 00", "0000",    "00,00000", "0000",  "-0000",    "-000,00000", "0000",
    "100,00",      "-000,00", "0000",     "000",   "000,0000", "000",        "0000",
    "0000",        "0000",    "0000",     "+0000", "+0000",    "+0000"};

QTableView* MakeTable(QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(QStringLiteral("lvDrawsStat"));
    QHeaderView* rows = table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(table->fontMetrics().height() + 4);
    rows->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* cols = table->horizontalHeader();
    cols->setHighlightSections(false);
    cols->setStretchLastSection(false);
    cols->setSectionsClickable(true);
    cols->setSortIndicatorShown(true);
    return table;
}

void SetColumnWidths(QTableView* table) {
    QHeaderView* cols = table->horizontalHeader();
    const QFontMetrics cells = table->fontMetrics();
    const QFontMetrics captions = cols->fontMetrics();
    for (int c = 0; c < tessara::ValueColumnCount; ++c) {
        const int text = cells.horizontalAdvance(QString::fromUtf8(kSampleTexts[c]));
        const int caption =
            captions.horizontalAdvance(QString::fromUtf8(tessara::ValueColumnCaption(c))) +
            // room for the sort arrow
            captions.height();
        cols->resizeSection(c, std::max(text, caption) + 12);
    }
}

}  // namespace

StatisticsTab::StatisticsTab(tessara::Workspace& ws, GuiHost& host, StatSelectors& selectors,
                             CommandTable& commands, QWidget* parent)
    : QWidget(parent), ws_(ws), selectors_(selectors), commands_(commands) {
    setObjectName(QStringLiteral("tsDrawsStat"));

    QComboBox* box = selectors.StatBox();
    auto* label = new QLabel(QStringLiteral("Вид расчета статистики"), this);
    label->setBuddy(box);
    QToolButton* favourites = commands.MakeButton(QStringLiteral("FiltersManager"), this);
    // The button has its own short caption; the action's caption comes back
    // with every change of the action, so it is set again after each.
    const auto caption = [favourites] { favourites->setText(QStringLiteral("Избранное")); };
    caption();
    connect(favourites->defaultAction(), &QAction::changed, favourites, caption);

    edDrawsStatLen_ = new QSpinBox(this);
    edDrawsStatLen_->setObjectName(QStringLiteral("edDrawsStatLen"));
    edDrawsStatLen_->setRange(1, INT_MAX);
    edDrawsStatLen_->setValue(tessara::MainViewDefault("DrawsStatLen"));
    edDrawsStatLen_->setKeyboardTracking(false);
    edDrawsStatLen_->setMinimumWidth(
        edDrawsStatLen_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 30);
    const QString lengthHint =
        QStringLiteral("Количество тиражей, использующихся для расчета статистики");
    edDrawsStatLen_->setToolTip(lengthHint);
    edDrawsStatLen_->setStatusTip(lengthHint);
    edDrawsStatLen_->installEventFilter(this);
    connect(edDrawsStatLen_, &QSpinBox::valueChanged, this, &StatisticsTab::SampleLengthChanged);

    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(label);
    panel->addWidget(box, 1);
    panel->addWidget(edDrawsStatLen_);
    panel->addWidget(favourites);

    model_ = new ValueTableModel(this);
    lvDrawsStat_ = MakeTable(this);
    lvDrawsStat_->setModel(model_);
    lvDrawsStat_->horizontalHeader()->setSortIndicator(model_->SortColumn(), model_->SortOrder());
    lvDrawsStat_->setSortingEnabled(true);
    SetColumnWidths(lvDrawsStat_);
    lvDrawsStat_->installEventFilter(this);
    connect(lvDrawsStat_, &QWidget::customContextMenuRequested, this,
            &StatisticsTab::ShowTablePopup);

    chart_ = new StatChart(this);
    connect(chart_, &QWidget::customContextMenuRequested, this, &StatisticsTab::ShowChartPopup);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterDrawsStat"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(lvDrawsStat_);
    splitter_->addWidget(chart_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    // The window's layout state resizes the chart later; this is its default.
    const int chartHeight = tessara::MainViewDefault("DrawsStatHeight");
    splitter_->setSizes({3 * chartHeight, chartHeight});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addWidget(splitter_, 1);

    connect(box, &QComboBox::currentIndexChanged, this, [this] { Refresh(false); });

    tableCommands_ = std::make_unique<StatTableCommands>(ws_, host, *this, commands_);
    // The table's F7 and Ctrl+F7 are keys of the table only; elsewhere the
    // same keys belong to the favourites commands.
    for (const char* name : {"StatFilter_Include", "StatFilter_Exclude"}) {
        QAction* action = commands_.Action(QString::fromLatin1(name));
        for (QObject* owner : action->associatedObjects())
            if (auto* widget = qobject_cast<QWidget*>(owner)) widget->removeAction(action);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        lvDrawsStat_->addAction(action);
    }
    UpdateNormColumns();
}

StatisticsTab::~StatisticsTab() = default;

void StatisticsTab::Refresh(bool force) {
    const int position = selectors_.StatBox()->currentIndex();
    const tessara::TValueTableKey key{ws_.Archive().Count(), ws_.DrawsOffset(),
                                      edDrawsStatLen_->value(), position};
    if (!force && key == key_) return;
    key_ = key;
    model_->Clear();
    chart_->Clear();
    const int method = selectors_.SelectedStat();
    if (method < 0 || ws_.Archive().Empty()) return;

    tessara::TValueTableOptions options;
    options.SampleLength = edDrawsStatLen_->value();
    options.Offset = ws_.DrawsOffset();
    options.Sorted = ws_.SortedDraws();
    options.Prefetch = prefetchs_;
    options.ShowTotalLine = showTotalLine_;
    options.Coefs = ws_.Config().Coefs;
    try {
        tessara::TValueTable table = tessara::ComputeValueTable(ws_.StatSource(), method, options);
        chart_->ShowTable(table);
        model_->SetTable(std::move(table));
    } catch (const std::exception& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void StatisticsTab::RefreshView(bool visible, bool full) {
    if (!visible) {
        stale_ = stale_ || full;
        return;
    }
    Refresh(full || stale_);
    stale_ = false;
}

void StatisticsTab::LoadViewOptions() {
    loadingOptions_ = true;
    try {
        const tessara::ViewState& view = ws_.View();
        edDrawsStatLen_->setValue(view.ReadInteger(tessara::MainWindowSection, "DrawsStatLen",
                                                   tessara::MainViewDefault("DrawsStatLen")));
        showTotalLine_ = view.ReadBool(tessara::MainWindowSection, "ShowTotalLine",
                                       tessara::MainViewDefault("ShowTotalLine") != 0);
    } catch (const tessara::Error&) {
        // The start-up has already reported the unreadable file; defaults stay.
    }
    prefetchs_ = ws_.PrefetchsEnabled();
    loadingOptions_ = false;
    UpdateNormColumns();
}

void StatisticsTab::SampleLengthChanged(int value) {
    if (loadingOptions_) return;
    try {
        ws_.View().WriteInteger(tessara::MainWindowSection, "DrawsStatLen", value);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void StatisticsTab::SetPrefetchsEnabled(bool on) {
    prefetchs_ = on;
    ws_.SetPrefetchsEnabled(on);
}

void StatisticsTab::SetShowTotalLine(bool on) {
    showTotalLine_ = on;
    try {
        ws_.View().WriteBool(tessara::MainWindowSection, "ShowTotalLine", on);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void StatisticsTab::UpdateNormColumns() {
    QHeaderView* cols = lvDrawsStat_->horizontalHeader();
    for (int c = 0; c < tessara::ValueColumnCount; ++c) {
        if (!tessara::IsNormColumn(c)) continue;
        if (prefetchs_) {
            cols->setSectionHidden(c, false);
            cols->resizeSection(c, kNormColumnWidth);
        } else {
            cols->setSectionHidden(c, true);
        }
    }
}

int StatisticsTab::SelectedStat() const { return selectors_.SelectedStat(); }

bool StatisticsTab::HasSelection() const { return lvDrawsStat_->selectionModel()->hasSelection(); }

void StatisticsTab::FilterSelected(bool exclude) {
    std::set<int> rows;
    // Rows of the ranges rather than fully selected rows: the hidden full-set
    // columns may be left out of a selection made with the mouse.
    for (const QItemSelectionRange& range : lvDrawsStat_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) rows.insert(row);
    tessara::TStatDrawArray selected;
    std::vector<std::string> texts;
    for (int row : rows) {
        selected.push_back(model_->Row(row).Row);
        texts.push_back(model_->Row(row).Cells[tessara::vcValue]);
    }
    tessara::ApplyStatFilter(ws_, selectors_.SelectedStat(), selected, texts, exclude,
                             selectors_.StatBox()->currentText().toStdString());
}

bool StatisticsTab::TableShortcut(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
    // The table's command goes first; when its rule does not allow it, the
    // key reaches the command of the whole window, as anywhere else.
    static const std::pair<const char*, const char*> kKeys[] = {
        {"StatFilter_Include", "FiltersManager"}, {"StatFilter_Exclude", "FiltersReset"}};
    for (const auto& [table, window] : kKeys) {
        if (commands_.Action(QString::fromLatin1(table))->shortcut() != keys) continue;
        if (event->type() == QEvent::KeyPress && !commands_.Execute(QString::fromLatin1(table)))
            commands_.Execute(QString::fromLatin1(window));
        event->accept();
        return true;
    }
    return false;
}

bool StatisticsTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvDrawsStat_ && TableShortcut(event)) return true;
    if (watched == edDrawsStatLen_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            edDrawsStatLen_->hasAcceptableInput()) {
            edDrawsStatLen_->interpretText();
            Refresh(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StatisticsTab::ShowTablePopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::StatTable));
    menu.exec(lvDrawsStat_->viewport()->mapToGlobal(pos));
}

void StatisticsTab::ShowChartPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::StatChart));
    menu.exec(chart_->mapToGlobal(pos));
}
