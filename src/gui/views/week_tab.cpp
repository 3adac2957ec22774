#include "views/week_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "app/workspace.h"
#include "base/view_keys.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "views/number_filter.h"
#include "views/week_chart.h"

namespace {

constexpr const char* kBusyText = "Построение статистики по дням недели...";

}  // namespace

WeekTab::WeekTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands), shown_(std::move(shown)) {
    setObjectName(QStringLiteral("tsWeek"));
    Register(commands_);

    edWeekLen_ = new QSpinBox(this);
    edWeekLen_->setObjectName(QStringLiteral("edWeekLen"));
    edWeekLen_->setRange(1, INT_MAX);
    edWeekLen_->setValue(tessara::MainViewDefault("WeekLen"));
    edWeekLen_->setKeyboardTracking(false);
    const QString hint = QStringLiteral("Количество тиражей, использующихся для расчета статистики");
    edWeekLen_->setToolTip(hint);
    edWeekLen_->setStatusTip(hint);
    edWeekLen_->setMinimumWidth(edWeekLen_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 30);
    edWeekLen_->installEventFilter(this);
    connect(edWeekLen_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!loading_) WriteViewInteger(ws_, "WeekLen", value);
    });
    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(new QLabel(QStringLiteral("Статистика выпадения номеров по дням недели"), this));
    panel->addStretch(1);
    panel->addWidget(edWeekLen_);
    panel->addWidget(commands_.MakeButton(QStringLiteral("WeekStatCalc"), this));

    sgWeek_ = new QTableWidget(tessara::DaysInWeek, tessara::MaxNumber, this);
    sgWeek_->setObjectName(QStringLiteral("sgWeek"));
    sgWeek_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgWeek_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgWeek_->setWordWrap(false);
    sgWeek_->setContextMenuPolicy(Qt::CustomContextMenu);
    const QFontMetrics fm = sgWeek_->fontMetrics();
    QHeaderView* cols = sgWeek_->horizontalHeader();
    cols->setSectionResizeMode(QHeaderView::Fixed);
    cols->setMinimumSectionSize(4);
    cols->setDefaultSectionSize(fm.horizontalAdvance(QStringLiteral("000")) + 8);
    cols->setHighlightSections(false);
    sgWeek_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgWeek_->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    sgWeek_->verticalHeader()->setHighlightSections(false);
    QStringList numbers, days;
    for (int n = 1; n <= tessara::MaxNumber; ++n) numbers << QString::number(n);
    for (int d = 1; d <= tessara::DaysInWeek; ++d) days << QString::fromUtf8(tessara::WeekdayShortName(d));
    sgWeek_->setHorizontalHeaderLabels(numbers);
    sgWeek_->setVerticalHeaderLabels(days);
    for (int r = 0; r < tessara::DaysInWeek; ++r)
        for (int c = 0; c < tessara::MaxNumber; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            sgWeek_->setItem(r, c, item);
        }
    connect(sgWeek_, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { DrawWeekChart(column + 1, row + 1); });
    connect(sgWeek_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowPopup(sgWeek_->viewport(), pos,
                      menu_layout::PopupEntries(menu_layout::Popup::WeekTable)); });

    crtWeek_ = new WeekChart(this);
    connect(crtWeek_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowPopup(crtWeek_, pos, menu_layout::PopupEntries(menu_layout::Popup::WeekChart)); });

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterWeek"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(sgWeek_);
    splitter_->addWidget(crtWeek_);
    // The chart keeps its height; the grid takes what the window adds.
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    const int height = tessara::MainViewDefault("WeekHeight");
    splitter_->setSizes({3 * height, height});
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        if (!loading_) WriteViewInteger(ws_, "WeekHeight", splitter_->sizes().value(1));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addWidget(splitter_, 1);
}

void WeekTab::Register(CommandTable& commands) {
    commands.Add({.Name = QStringLiteral("WeekStatCalc"),
                  .Caption = QStringLiteral("Обновить"),
                  .Category = QStringLiteral("Статистика"),
                  .Handler = [this] { RefreshWeek(true); },
                  .Enabled = [this] { return shown_() && !ws_.Archive().Empty(); }});
    commands.Add({.Name = QStringLiteral("ViewWeekChartMode"),
                  .Caption = QStringLiteral("График по дням недели"),
                  .Category = QStringLiteral("Вид"),
                  .Handler =
                      [this] {
                          chartMode_ = chartMode_ == 1 ? 0 : 1;
                          WriteViewInteger(ws_, "WeekChartMode", chartMode_);
                          DrawCurrentChart();
                      },
                  .Enabled = shown_,
                  .Checked = [this] { return chartMode_ == 1; }});
    commands.Add({.Name = QStringLiteral("ViewWeekChartType"),
                  .Caption = QStringLiteral("График / диаграмма"),
                  .Category = QStringLiteral("Вид"),
                  .Handler =
                      [this] {
                          chartType_ = !chartType_;
                          WriteViewBool(ws_, "WeekChartType", chartType_);
                          DrawCurrentChart();
                      },
                  .Enabled = shown_,
                  .Checked = [this] { return chartType_; }});
    const auto canFilter = [this] { return ws_.CombsCount() > 0 && shown_(); };
    commands.Add({.Name = QStringLiteral("WeekFilter_Include"),
                  .Caption = QStringLiteral("Оставить выделенные"),
                  .Category = QStringLiteral("Фильтры"),
                  .Handler = [this] { Filter(false); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("В списке комбинаций оставить комбинации с выделенными значениями")});
    commands.Add({.Name = QStringLiteral("WeekFilter_Exclude"),
                  .Caption = QStringLiteral("Удалить выделенные"),
                  .Category = QStringLiteral("Фильтры"),
                  .Handler = [this] { Filter(true); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("Из списка комбинаций удалить комбинации с выделенными  значениями")});
}

void WeekTab::LoadViewOptions() {
    loading_ = true;
    edWeekLen_->setValue(ReadViewInteger(ws_, "WeekLen"));
    chartMode_ = ReadViewInteger(ws_, "WeekChartMode") == 1 ? 1 : 0;
    chartType_ = ReadViewBool(ws_, "WeekChartType");
    const int height = ReadViewInteger(ws_, "WeekHeight");
    const int total = std::max(splitter_->height(), 3 * height);
    splitter_->setSizes({total - height, height});
    loading_ = false;
}

void WeekTab::RefreshWeek(bool force) {
    const tessara::TWindowKey key{ws_.Archive().Count(), ws_.DrawsOffset(), edWeekLen_->value(),
                                  tessara::ArchiveDigest(ws_.Archive().Draws())};
    if (!force && key == key_) return;
    key_ = key;
    {
        tessara::BusyGuard busy(ws_.GetHost(), kBusyText);
        stats_ = tessara::ComputeWeekStats(ws_.Archive().Draws(), ws_.DrawsOffset(), key.Length);
        for (int d = 1; d <= tessara::DaysInWeek; ++d)
            for (int n = 1; n <= tessara::MaxNumber; ++n) {
                QTableWidgetItem* item = sgWeek_->item(d - 1, n - 1);
                const int32_t v = stats_.Count[n][d];
                item->setText(v > 0 ? QString::number(v) : QString());
                if (const auto c = tessara::WeekCellColor(v, stats_.Largest)) {
                    item->setBackground(QColor(c->r, c->g, c->b));
                    item->setForeground(QColor(Qt::black));
                } else {
                    item->setData(Qt::BackgroundRole, QVariant());
                    item->setData(Qt::ForegroundRole, QVariant());
                }
            }
    }
    if (sgWeek_->currentRow() < 0) sgWeek_->setCurrentCell(0, 0, QItemSelectionModel::NoUpdate);
    DrawCurrentChart();
}

void WeekTab::DrawCurrentChart() {
    DrawWeekChart(sgWeek_->currentColumn() + 1, sgWeek_->currentRow() + 1);
}

void WeekTab::DrawWeekChart(int column, int row) {
    tessara::BusyGuard busy(ws_.GetHost(), kBusyText);
    crtWeek_->Show(tessara::WeekChartPoints(stats_, chartMode_, column, row), chartType_);
}

std::vector<int> WeekTab::SelectedNumbers() const {
    int left = INT_MAX, right = INT_MIN;
    for (const QTableWidgetSelectionRange& r : sgWeek_->selectedRanges()) {
        left = std::min(left, r.leftColumn() + 1);
        right = std::max(right, r.rightColumn() + 1);
    }
    return left > right ? std::vector<int>{} : tessara::WeekSelectionNumbers(left, right);
}

void WeekTab::Filter(bool removes) {
    tessara::ApplyNumberFilter(ws_, SelectedNumbers(), removes, tessara::WeekCaption);
}

bool WeekTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edWeekLen_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && edWeekLen_->hasAcceptableInput()) {
            edWeekLen_->interpretText();
            RefreshWeek(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WeekTab::ShowPopup(QWidget* on, const QPoint& pos, const QStringList& names) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, names);
    menu.exec(on->mapToGlobal(pos));
}
