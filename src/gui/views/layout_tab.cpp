#include "views/layout_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <climits>

#include "app/workspace.h"
#include "base/view_keys.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "views/number_filter.h"

namespace {

constexpr const char* kBusyText = "Построение схемы выпадения номеров...";
constexpr int kCountColumnWidth = 50;
constexpr int kDrawColumnWidth = 40;
const char* const kCompareKeys[LayoutTab::CompareLists] = {
    "LayoutCompareLen1", "LayoutCompareLen2", "LayoutCompareLen3", "LayoutCompareLen4",
    "LayoutCompareLen5"};

bool IsEnter(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

LayoutTab::LayoutTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown,
                     QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands), shown_(std::move(shown)) {
    setObjectName(QStringLiteral("tsLayout"));
    Register(commands_);
    const QString hint = QStringLiteral("Количество тиражей, использующихся для расчета статистики");

    edLayoutLen_ = MakeLengthBox(QStringLiteral("edLayoutLen"), hint, "LayoutLen");
    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(new QLabel(QStringLiteral("Построение схемы выпадения номеров"), this));
    panel->addStretch(1);
    panel->addWidget(edLayoutLen_);
    panel->addWidget(commands_.MakeButton(QStringLiteral("LayoutCalc"), this));

    sgLayout_ = new QTableWidget(this);
    sgLayout_->setObjectName(QStringLiteral("sgLayout"));
    sgLayout_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgLayout_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgLayout_->setWordWrap(false);
    sgLayout_->setContextMenuPolicy(Qt::CustomContextMenu);
    sgLayout_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sgLayout_->horizontalHeader()->setDefaultSectionSize(kDrawColumnWidth);
    sgLayout_->horizontalHeader()->setMinimumSectionSize(kDrawColumnWidth);
    sgLayout_->horizontalHeader()->setHighlightSections(false);
    sgLayout_->verticalHeader()->setFixedWidth(kCountColumnWidth);
    sgLayout_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sgLayout_->verticalHeader()->setHighlightSections(false);
    sgLayout_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgLayout_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    connect(sgLayout_, &QWidget::customContextMenuRequested, this, &LayoutTab::ShowPopup);

    auto* compare = new QWidget(this);
    compare->setObjectName(QStringLiteral("pnLayoutCompare"));
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    for (int i = 0; i < CompareLists; ++i) {
        const QString n = QString::number(i + 1);
        edLayoutCmp_[static_cast<size_t>(i)] = MakeLengthBox(
            QStringLiteral("edLayoutCmp") + n,
            QStringLiteral("Количество тиражей, использующихся для расчета статистики в списке ") + n,
            kCompareKeys[i]);
        auto* list = new QTreeWidget(compare);
        list->setObjectName(QStringLiteral("lvLayoutCmp") + n);
        list->setRootIsDecorated(false);
        list->setColumnCount(2);
        list->setHeaderLabels({QStringLiteral("Кол-во"), QString()});
        list->header()->resizeSection(0, fontMetrics().horizontalAdvance(QStringLiteral("Кол-во")) + 16);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        lvLayoutCmp_[static_cast<size_t>(i)] = list;
        auto* column = new QVBoxLayout;
        column->setSpacing(2);
        column->addWidget(edLayoutCmp_[static_cast<size_t>(i)]);
        column->addWidget(list, 1);
        columns->addLayout(column, 1);
    }
    auto* compareLayout = new QVBoxLayout(compare);
    compareLayout->setContentsMargins(2, 2, 2, 2);
    auto* comparePanel = new QHBoxLayout;
    comparePanel->addWidget(new QLabel(QStringLiteral("Сравнение количества выпадений"), compare));
    comparePanel->addStretch(1);
    comparePanel->addWidget(commands_.MakeButton(QStringLiteral("LayoutCmpCalc"), compare));
    compareLayout->addLayout(comparePanel);
    compareLayout->addLayout(columns, 1);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterLayout"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(sgLayout_);
    splitter_->addWidget(compare);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    const int height = tessara::MainViewDefault("LayoutCompareHeight");
    splitter_->setSizes({2 * height, height});
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        if (!loading_) WriteViewInteger(ws_, "LayoutCompareHeight", splitter_->sizes().value(1));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addWidget(splitter_, 1);
}

QSpinBox* LayoutTab::MakeLengthBox(const QString& name, const QString& hint, const char* key) {
    auto* box = new QSpinBox(this);
    box->setObjectName(name);
    box->setRange(1, INT_MAX);
    box->setValue(tessara::MainViewDefault(key));
    box->setKeyboardTracking(false);
    box->setToolTip(hint);
    box->setStatusTip(hint);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 30);
    box->installEventFilter(this);
    connect(box, &QSpinBox::valueChanged, this, [this, key](int value) {
        if (!loading_) WriteViewInteger(ws_, key, value);
    });
    return box;
}

void LayoutTab::Register(CommandTable& commands) {
    const auto ready = [this] { return shown_() && !ws_.Archive().Empty(); };
    commands.Add({.Name = QStringLiteral("LayoutCalc"),
                  .Caption = QStringLiteral("Обновить"),
                  .Category = QStringLiteral("Схема"),
                  .Handler = [this] { RefreshLayout(true); },
                  .Enabled = ready});
    commands.Add({.Name = QStringLiteral("LayoutCmpCalc"),
                  .Caption = QStringLiteral("Обновить"),
                  .Category = QStringLiteral("Схема"),
                  .Handler = [this] { RefreshLayoutCompare(true); },
                  .Enabled = ready});
    commands.Add({.Name = QStringLiteral("ViewShemaGradient"),
                  .Caption = QStringLiteral("Градиентная раскраска схемы"),
                  .Category = QStringLiteral("Вид"),
                  .Handler =
                      [this] {
                          gradient_ = !gradient_;
                          WriteViewBool(ws_, "LayoutGradient", gradient_);
                          Repaint();
                      },
                  .Enabled = shown_,
                  .Checked = [this] { return gradient_; }});
    const auto canFilter = [this] {
        return ws_.CombsCount() > 0 && shown_() && sgLayout_->selectionModel()->hasSelection();
    };
    commands.Add({.Name = QStringLiteral("LayoutFilter_Include"),
                  .Caption = QStringLiteral("Оставить выделенные"),
                  .Category = QStringLiteral("Фильтры"),
                  .Handler = [this] { Filter(false); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("В списке комбинаций оставить комбинации с выделенными значениями")});
    commands.Add({.Name = QStringLiteral("LayoutFilter_Exclude"),
                  .Caption = QStringLiteral("Удалить выделенные"),
                  .Category = QStringLiteral("Фильтры"),
                  .Handler = [this] { Filter(true); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("Из списка комбинаций удалить комбинации с выделенными  значениями")});
}

void LayoutTab::LoadViewOptions() {
    loading_ = true;
    edLayoutLen_->setValue(ReadViewInteger(ws_, "LayoutLen"));
    for (int i = 0; i < CompareLists; ++i)
        edLayoutCmp_[static_cast<size_t>(i)]->setValue(ReadViewInteger(ws_, kCompareKeys[i]));
    gradient_ = ReadViewBool(ws_, "LayoutGradient");
    const int height = ReadViewInteger(ws_, "LayoutCompareHeight");
    const int total = std::max(splitter_->height(), 3 * height);
    splitter_->setSizes({total - height, height});
    loading_ = false;
    Repaint();
}

void LayoutTab::RefreshLayout(bool force) {
    const tessara::TWindowKey key{ws_.Archive().Count(), ws_.DrawsOffset(), edLayoutLen_->value(),
                                  tessara::ArchiveDigest(ws_.Archive().Draws())};
    if (!force && key == layoutKey_) return;
    layoutKey_ = key;
    tessara::BusyGuard busy(ws_.GetHost(), kBusyText);
    const tessara::TLayoutScheme s = tessara::BuildLayoutScheme(
        ws_.Archive().Draws(), ws_.DrawsOffset(), key.Length,
        ws_.Archive().NextDrawResultSet(ws_.DrawsOffset()));
    sgLayout_->clear();
    sgLayout_->setRowCount(std::max<int>(static_cast<int>(s.Counts.size()), 1));
    sgLayout_->setColumnCount(std::max<int>(static_cast<int>(s.LastDraws.size()), 1));
    QStringList rows, columns;
    for (int32_t c : s.Counts) rows << QString::number(c);
    for (int32_t d : s.LastDraws) columns << QString::number(d);
    sgLayout_->setVerticalHeaderLabels(rows.isEmpty() ? QStringList{QString()} : rows);
    sgLayout_->setHorizontalHeaderLabels(columns.isEmpty() ? QStringList{QString()} : columns);
    QHeaderView* header = sgLayout_->horizontalHeader();
    for (int c = 0; c < sgLayout_->columnCount(); ++c) header->resizeSection(c, kDrawColumnWidth);
    const QFontMetrics fm = sgLayout_->fontMetrics();
    for (size_t r = 0; r < s.Cells.size(); ++r)
        for (size_t c = 0; c < s.Cells[r].size(); ++c) {
            const QString text = QString::fromStdString(s.Cells[r][c]);
            auto* item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
            sgLayout_->setItem(static_cast<int>(r), static_cast<int>(c), item);
            // A column whose text grows wider than it is widened to fit.
            const int width = fm.horizontalAdvance(text) + 10;
            if (width > header->sectionSize(static_cast<int>(c)))
                header->resizeSection(static_cast<int>(c), width);
        }
    Repaint();
}

void LayoutTab::Repaint() {
    const int rows = sgLayout_->rowCount() + 1;
    const int columns = sgLayout_->columnCount() + 1;
    for (int r = 0; r < sgLayout_->rowCount(); ++r)
        for (int c = 0; c < sgLayout_->columnCount(); ++c) {
            QTableWidgetItem* item = sgLayout_->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
                sgLayout_->setItem(r, c, item);
            }
            const tessara::TColor color = tessara::LayoutCellColor(
                item->text().toStdString(), r + 1, c + 1, rows, columns, gradient_);
            item->setBackground(QColor(color.r, color.g, color.b));
            item->setForeground(QColor(Qt::black));
        }
}

void LayoutTab::RefreshLayoutCompare(bool force) {
    const tessara::TWindowKey key{ws_.Archive().Count(), ws_.DrawsOffset(), 0,
                                  tessara::ArchiveDigest(ws_.Archive().Draws())};
    if (!force && key == compareKey_) return;
    compareKey_ = key;
    tessara::BusyGuard busy(ws_.GetHost(), kBusyText);
    for (int i = 0; i < CompareLists; ++i) {
        QTreeWidget* list = lvLayoutCmp_[static_cast<size_t>(i)];
        list->clear();
        const tessara::TLayoutCompareList data = tessara::BuildLayoutCompare(
            ws_.Archive().Draws(), ws_.DrawsOffset(), edLayoutCmp_[static_cast<size_t>(i)]->value());
        if (ws_.Archive().Empty()) continue;
        list->headerItem()->setText(1, QString::fromStdString(data.Caption));
        for (const auto& [count, numbers] : data.Rows) {
            auto* item = new QTreeWidgetItem(list, {QString::number(count), QString::fromStdString(numbers)});
            item->setTextAlignment(0, Qt::AlignCenter);
            item->setToolTip(1, item->text(1));
        }
    }
}

std::vector<int> LayoutTab::SelectedNumbers() const {
    QRect rect;
    for (const QTableWidgetSelectionRange& r : sgLayout_->selectedRanges())
        rect |= QRect(QPoint(r.leftColumn(), r.topRow()), QPoint(r.rightColumn(), r.bottomRow()));
    std::vector<int> numbers;
    if (rect.isNull()) return numbers;
    for (int c = rect.left(); c <= rect.right(); ++c)
        for (int r = rect.top(); r <= rect.bottom(); ++r) {
            const QTableWidgetItem* item = sgLayout_->item(r, c);
            if (item && !item->text().isEmpty())
                tessara::AppendLayoutCellNumbers(item->text().toStdString(), numbers);
        }
    return numbers;
}

void LayoutTab::Filter(bool removes) {
    tessara::ApplyNumberFilter(ws_, SelectedNumbers(), removes, tessara::LayoutCaption);
}

bool LayoutTab::eventFilter(QObject* watched, QEvent* event) {
    if (IsEnter(event)) {
        auto* box = qobject_cast<QSpinBox*>(watched);
        if (box && box->hasAcceptableInput()) {
            box->interpretText();
            if (box == edLayoutLen_)
                RefreshLayout(false);
            else
                RefreshLayoutCompare(true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LayoutTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::Layout));
    menu.exec(sgLayout_->viewport()->mapToGlobal(pos));
}
