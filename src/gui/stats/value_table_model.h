#pragma once

#include <QAbstractTableModel>

#include "stats/value_table.h"

// The value table of the statistics tab: one row per value of the selected
// statistic, the twenty columns of the core's table. Sorting goes through
// the core's order (dashes last, the value column by key).
class ValueTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ValueTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Takes a freshly computed table and puts it in the current sort order.
    void SetTable(tessara::TValueTable table);
    void Clear() { SetTable({}); }

    const tessara::TValueTable& Table() const { return table_; }
    const tessara::TValueTableRow& Row(int row) const {
        return table_.Rows[static_cast<size_t>(row)];
    }
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

  private:
    tessara::TValueTable table_;
    // The table starts sorted by the count, ascending.
    int sortColumn_ = tessara::vcCount;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
