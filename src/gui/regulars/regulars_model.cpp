#include "regulars/regulars_model.h"

#include "stakes/regulars.h"

RegularsModel::RegularsModel(const tessara::TRegulars& regulars, QObject* parent)
    : QAbstractTableModel(parent), regulars_(regulars) {}

int RegularsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int RegularsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::RegularColumnCount;
}

QVariant RegularsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.row() >= regulars_.Count()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(
                tessara::RegularCellText(regulars_[index.row()], index.column()));
        case Qt::TextAlignmentRole:
            if (index.column() == 0) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignCenter);
        default:
            return {};
    }
}

QVariant RegularsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    return QString::fromUtf8(tessara::RegularColumnCaption(section));
}

void RegularsModel::Refresh() {
    beginResetModel();
    rows_ = regulars_.Count();
    endResetModel();
}
