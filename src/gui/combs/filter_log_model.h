#pragma once

#include <QAbstractTableModel>
#include <QIcon>

#include "app/workspace.h"

// The operations log under the combination list: one row per step applied to
// the list, with an icon telling whether it kept, removed or undid.
class FilterLogModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { ColCaption, ColValue, ColCount, ColumnCount };

    explicit FilterLogModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The log is short: it is shown anew after every change.
    void Refresh();

    static QIcon Icon(tessara::TLogIcon icon);

  private:
    const tessara::Workspace& ws_;
    int rows_ = 0;
};
