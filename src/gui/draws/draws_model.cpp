#include "draws/draws_model.h"

#include <QColor>

#include "app/workspace.h"
#include "model/game.h"

namespace {

const QColor kOffsetRowColor(255, 170, 170);

}  // namespace

DrawsModel::DrawsModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int DrawsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int DrawsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int DrawsModel::ListRow(int row) const {
    const int listRow = row + ws_.Archive().Count() - rows_;
    return listRow >= 0 && listRow < ws_.Archive().Count() ? listRow : -1;
}

QVariant DrawsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = ListRow(index.row());
    const int col = index.column();
    if (row < 0) return {};
    switch (role) {
        case Qt::DisplayRole: {
            const tessara::TDrawRecord d = ws_.Archive().RowDraw(row, ws_.SortedDraws());
            if (col == ColDrawNo) return d.DrawNo;
            if (col < ColExtraBall) return d.Numbers[col - ColFirstNumber];
            if (col == ColExtraBall) return d.ExtraBall;
            if (col == ColSum) {
                int sum = 0;
                for (uint8_t n : d.Numbers) sum += n;
                return sum;
            }
            return QString::fromStdString(tessara::DrawDateText(d));
        }
        case Qt::TextAlignmentRole:
            if (col == ColDate) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            if (col == ColDrawNo) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignCenter);
        case Qt::BackgroundRole: {
            if (ws_.ColorDraws() && col >= ColFirstNumber && col < ColExtraBall) {
                const tessara::TDrawRecord d = ws_.Archive().RowDraw(row, ws_.SortedDraws());
                const tessara::TColor c =
                    tessara::NumberGroupColor(d.Numbers[col - ColFirstNumber], ws_.ChannelSize());
                return QColor(c.r, c.g, c.b);
            }
            if (row == ws_.DrawsOffset()) return kOffsetRowColor;
            if (ws_.ColorDraws()) return QColor(Qt::white);
            return {};
        }
        case Qt::ForegroundRole:
            // The painted backgrounds are light whatever the palette is.
            if (ws_.ColorDraws() || row == ws_.DrawsOffset()) return QColor(Qt::black);
            return {};
        default:
            return {};
    }
}

QVariant DrawsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    if (section == ColDrawNo) return QStringLiteral("Тираж");
    if (section < ColExtraBall) return QString::number(section - ColFirstNumber + 1);
    if (section == ColExtraBall) return QStringLiteral("E");
    if (section == ColSum) return QStringLiteral("S");
    if (section == ColDate) return QStringLiteral("Дата тиража");
    return {};
}

void DrawsModel::Refresh(bool force) {
    const int count = ws_.Archive().Count();
    if (count > rows_) {
        beginInsertRows({}, 0, count - rows_ - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        beginResetModel();
        rows_ = count;
        endResetModel();
        return;
    } else if (!force) {
        return;
    }
    Repaint();
}

void DrawsModel::Repaint() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
}
