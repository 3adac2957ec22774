#include "stats/value_table_model.h"

#include <map>
#include <vector>

using tessara::TValueTableRow;

ValueTableModel::ValueTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int ValueTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.Rows.size());
}

int ValueTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::ValueColumnCount;
}

QVariant ValueTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(Row(index.row()).Cells[static_cast<size_t>(column)]);
        case Qt::TextAlignmentRole:
            if (column == tessara::vcValue) return int(Qt::AlignLeft | Qt::AlignVCenter);
            if (tessara::ValueColumnCentred(column)) return int(Qt::AlignCenter);
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ValueTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= tessara::ValueColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(tessara::ValueColumnCaption(section));
        // A column clicked for the first time sorts upwards, a second click reverses it.
        case Qt::InitialSortOrderRole:
            return int(Qt::AscendingOrder);
        default:
            return {};
    }
}

void ValueTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= tessara::ValueColumnCount) return;
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Values are unique within a table: the key finds each row after the sort,
    // so the selection stays on the same values.
    std::vector<tessara::StatKey> keysBefore;
    keysBefore.reserve(table_.Rows.size());
    for (const TValueTableRow& row : table_.Rows) keysBefore.push_back(row.Row.Key);
    tessara::SortValueTable(table_, column, order == Qt::DescendingOrder);
    std::map<tessara::StatKey, int, decltype(&tessara::KeyLess)> newRows(&tessara::KeyLess);
    for (size_t i = 0; i < table_.Rows.size(); ++i)
        newRows.emplace(table_.Rows[i].Row.Key, static_cast<int>(i));
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const auto it = newRows.find(keysBefore[static_cast<size_t>(index.row())]);
        after << (it == newRows.end() ? QModelIndex() : createIndex(it->second, index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ValueTableModel::SetTable(tessara::TValueTable table) {
    beginResetModel();
    table_ = std::move(table);
    tessara::SortValueTable(table_, sortColumn_, sortOrder_ == Qt::DescendingOrder);
    endResetModel();
}
