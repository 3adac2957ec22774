#pragma once

#include <QAbstractTableModel>

namespace tessara {
class Workspace;
}

// The combination list. Rows are formatted from the workspace's list on
// demand; the model keeps nothing per row, so millions of rows cost nothing.
class CombsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { ColIndex, ColFirstNumber, ColSum = ColFirstNumber + 6, ColumnCount };

    explicit CombsModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Brings the row count to the list's count (a new count resets the view,
    // since the list was rebuilt as a whole); otherwise repaints the rows.
    void Refresh();
    void Repaint();

    bool ColorCombs() const { return colorCombs_; }
    void SetColorCombs(bool on);

  private:
    const tessara::Workspace& ws_;
    int rows_ = 0;
    bool colorCombs_ = true;
};
