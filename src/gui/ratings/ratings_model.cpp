#include "ratings/ratings_model.h"

#include "app/workspace.h"
#include "stakes/ratings.h"

RatingsModel::RatingsModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int RatingsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RatingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::RatingColumnCount;
}

QVariant RatingsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ ||
        static_cast<size_t>(index.row()) >= ws_.Ratings().Count())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(tessara::RatingCellText(
                ws_.Ratings()[static_cast<size_t>(index.row())], index.column(),
                ws_.RatingsEffMode()));
        case Qt::TextAlignmentRole:
            if (index.column() == 0) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant RatingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole)
        // Names read best from A, every count and profit best from the top.
        return section == 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(tessara::RatingColumnCaption(section));
}

void RatingsModel::Refresh() {
    beginResetModel();
    rows_ = static_cast<int>(ws_.Ratings().Count());
    endResetModel();
}
