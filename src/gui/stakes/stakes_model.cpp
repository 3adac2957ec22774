#include "stakes/stakes_model.h"

#include <QColor>
#include <algorithm>
#include <limits>

#include "app/workspace.h"
#include "stakes/stakes_grid.h"

namespace {

QColor ToQColor(const tessara::TColor& c) { return QColor(c.r, c.g, c.b); }

}  // namespace

StakesModel::StakesModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int StakesModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int StakesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StakesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const int col = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(
                tessara::StakesGridCellText(ws_.StakeAtRow(index.row()), col));
        case Qt::TextAlignmentRole:
            if (col == ColProfit) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            if (col == ColComment) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignCenter);
        case Qt::BackgroundRole: {
            const auto color = tessara::StakeKindColor(ws_.StakeAtRow(index.row()).Kind);
            if (!color) return {};
            return ToQColor(*color);
        }
        case Qt::ForegroundRole: {
            const tessara::TStakeRecord r = ws_.StakeAtRow(index.row());
            if (col >= ColMatchCount && col <= ColProfit) {
                switch (tessara::StakeOutcome(r)) {
                    case tessara::TStakeOutcome::Profit: return QColor(0, 128, 0);
                    case tessara::TStakeOutcome::Loss: return QColor(255, 0, 0);
                    case tessara::TStakeOutcome::Unchecked: break;
                }
            }
            // The kind backgrounds are light whatever the palette is.
            if (tessara::StakeKindColor(r.Kind)) return QColor(Qt::black);
            return {};
        }
        case NumbersRole: {
            if (col != ColNumbers && col != ColResult) return {};
            QVariantList numbers;
            for (const auto& n : tessara::StakesGridNumbers(ws_.StakeAtRow(index.row()), col))
                numbers << QVariant(QVariantList{QString::fromStdString(n.Text), n.Matched});
            return numbers;
        }
        default:
            return {};
    }
}

QVariant StakesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The comment's caption stays in sight at the start of its wide column.
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal && section == ColComment)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(tessara::StakesGridCaption(section));
}

void StakesModel::Refresh() {
    // A view addresses rows with int; a stakes file of that many records
    // would hold 687 GB.
    const int rows = static_cast<int>(
        std::clamp<int64_t>(ws_.StakesGrid().Rows, 1, std::numeric_limits<int>::max()));
    if (rows > rows_) {
        // Appended stakes keep the selection and the scroll position.
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    Repaint();
}

void StakesModel::Repaint() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, ColumnCount - 1));
}
