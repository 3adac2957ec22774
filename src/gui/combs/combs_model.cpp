#include "combs/combs_model.h"

#include <QColor>
#include <limits>

#include "app/workspace.h"
#include "model/game.h"

CombsModel::CombsModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int CombsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CombsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CombsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row();
    const int col = index.column();
    // The core changes the list before it tells the model: rows past its end
    // stay empty until then.
    if (row >= ws_.CombsCount()) return {};
    const bool numberCell = col >= ColFirstNumber && col < ColSum;
    switch (role) {
        case Qt::DisplayRole: {
            if (col == ColIndex) return row + 1;
            const tessara::TCombination& c = ws_.Combs()[row];
            if (numberCell) return c[col - ColFirstNumber];
            int sum = 0;
            for (uint8_t n : c.n) sum += n;
            return sum;
        }
        case Qt::TextAlignmentRole:
            if (col == ColIndex) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignCenter);
        case Qt::BackgroundRole: {
            if (!colorCombs_) return {};
            if (!numberCell) return QColor(Qt::white);
            const tessara::TColor c = tessara::NumberGroupColor(
                ws_.Combs()[row][col - ColFirstNumber], ws_.ChannelSize());
            return QColor(c.r, c.g, c.b);
        }
        case Qt::ForegroundRole:
            // The painted backgrounds are light whatever the palette is.
            if (colorCombs_) return QColor(Qt::black);
            return {};
        default:
            return {};
    }
}

QVariant CombsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    if (section == ColIndex) return QStringLiteral("№ п.п.");
    if (section < ColSum) return QString::number(section - ColFirstNumber + 1);
    if (section == ColSum) return QStringLiteral("S");
    return {};
}

void CombsModel::Refresh() {
    // A view addresses rows with int; the list never holds that many.
    const int count =
        static_cast<int>(std::min<int64_t>(ws_.CombsCount(), std::numeric_limits<int>::max()));
    if (count == rows_) {
        Repaint();
        return;
    }
    beginResetModel();
    rows_ = count;
    endResetModel();
}

void CombsModel::Repaint() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
}

void CombsModel::SetColorCombs(bool on) {
    if (colorCombs_ == on) return;
    colorCombs_ = on;
    Repaint();
}
