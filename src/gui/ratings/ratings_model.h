#pragma once

#include <QAbstractTableModel>

namespace tessara {
class Workspace;
}

// The rating rows in the workspace's order (the sort happens in the core,
// which also saves it). Texts are made per visible cell on demand.
class RatingsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit RatingsModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The rows changed (counted, recomputed, resorted) or the efficiency mode.
    void Refresh();

  private:
    const tessara::Workspace& ws_;
    int rows_ = 0;
};
