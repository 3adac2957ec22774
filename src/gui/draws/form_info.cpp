#include "draws/form_info.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "model/game.h"
#include "stats/stat_list.h"

namespace {

constexpr int kCellWidth = 30;
constexpr int kCellHeight = 24;

}  // namespace

TFormInfo::TFormInfo(int channelSize, int cols, QWidget* parent)
    : QDialog(parent), channelSize_(channelSize) {
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("Подробная информация"));

    lvProps_ = new QTreeWidget(this);
    lvProps_->setObjectName(QStringLiteral("lvProps"));
    lvProps_->setHeaderLabels({QStringLiteral("Свойство"), QStringLiteral("Значение")});
    lvProps_->setRootIsDecorated(false);
    lvProps_->setColumnWidth(0, 220);

    sgCard_ = new QTableWidget(this);
    sgCard_->setObjectName(QStringLiteral("sgCard"));
    sgCard_->horizontalHeader()->hide();
    sgCard_->verticalHeader()->hide();
    sgCard_->horizontalHeader()->setDefaultSectionSize(kCellWidth);
    sgCard_->horizontalHeader()->setMinimumSectionSize(kCellWidth);
    sgCard_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sgCard_->verticalHeader()->setDefaultSectionSize(kCellHeight);
    sgCard_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCard_->setSelectionMode(QAbstractItemView::NoSelection);
    sgCard_->setFocusPolicy(Qt::NoFocus);

    seCols_ = new QSpinBox(this);
    seCols_->setObjectName(QStringLiteral("seCols"));
    seCols_->setRange(1, tessara::MaxNumber);
    seCols_->setValue(std::clamp(cols, 1, tessara::MaxNumber));
    connect(seCols_, &QSpinBox::valueChanged, this, &TFormInfo::RebuildCard);
    auto* colsLabel = new QLabel(QStringLiteral("Количество столбцов:"), this);
    colsLabel->setBuddy(seCols_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormInfo::reject);

    auto* colsRow = new QHBoxLayout;
    colsRow->addWidget(colsLabel);
    colsRow->addWidget(seCols_);
    colsRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvProps_, 1);
    layout->addLayout(colsRow);
    layout->addWidget(sgCard_, 1);
    layout->addWidget(buttons);
    resize(460, 520);
    RebuildCard();
}

void TFormInfo::AddProperty(const QString& name, const QString& value) {
    new QTreeWidgetItem(lvProps_, {name, value});
}

void TFormInfo::AddProperties(const std::vector<std::pair<QString, QString>>& rows) {
    for (const auto& [name, value] : rows) AddProperty(name, value);
    // Method names are long: the names column takes their width, within reason.
    lvProps_->resizeColumnToContents(0);
    constexpr int kMaxWidth = 720;
    const int wanted = lvProps_->columnWidth(0) + 150;
    if (wanted > width()) resize(std::min(wanted, kMaxWidth), height());
}

std::vector<std::pair<QString, QString>> TFormInfo::DrawGraphValues(const tessara::TStatList& stats,
                                                                    int drawIndex, bool sorted) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < stats.Count(); ++i) {
        if (!stats.HasGraph(i) || !stats.IsListed(i)) continue;
        const auto stat = stats.CreateStat(i);
        rows.emplace_back(QString::fromStdString(stats.Items(i).DisplayName()),
                          QString::number(stat->DrawGraphValue(drawIndex, drawIndex, sorted)));
    }
    return rows;
}

std::vector<std::pair<QString, QString>> TFormInfo::CombGraphValues(const tessara::TStatList& stats,
                                                                    const tessara::TCombination& comb,
                                                                    int drawIndex, bool sorted) {
    std::vector<std::pair<QString, QString>> rows;
    for (int i = 0; i < stats.Count(); ++i) {
        if (!stats.HasGraph(i) || !stats.IsListed(i)) continue;
        const auto stat = stats.CreateStat(i);
        rows.emplace_back(QString::fromStdString(stats.Items(i).DisplayName()),
                          QString::number(stat->GraphValue(comb, drawIndex, sorted, drawIndex)));
    }
    return rows;
}

void TFormInfo::SetNumbers(std::vector<int> numbers) {
    numbers_ = std::move(numbers);
    RebuildCard();
}

void TFormInfo::RebuildCard() {
    using namespace tessara;
    const int cols = seCols_->value();
    const int rows = MatrixRowCount(1, MaxNumber, cols);
    sgCard_->clear();
    sgCard_->setColumnCount(cols);
    sgCard_->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            const int n = MatrixNumberAt(1, row, col, cols);
            if (n > MaxNumber) continue;
            auto* cell = new QTableWidgetItem;
            const TColor c = NumberGroupColor(n, channelSize_);
            cell->setBackground(QColor(c.r, c.g, c.b));
            cell->setForeground(QColor(Qt::black));
            cell->setTextAlignment(Qt::AlignCenter);
            sgCard_->setItem(row, col, cell);
        }
    }
    for (int n : numbers_) {
        if (n < 1 || n > MaxNumber) continue;
        const auto [col, row] = MatrixPosition(1, cols, n);
        if (QTableWidgetItem* cell = sgCard_->item(row, col)) cell->setText(QString::number(n));
    }
}
