#pragma once

#include <QAbstractTableModel>

namespace tessara {
class Workspace;
}

// The draws list, newest draw on top. Rows are formatted from the archive on
// demand; the model keeps nothing per row.
class DrawsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        ColDrawNo,
        ColFirstNumber,
        ColExtraBall = ColFirstNumber + 6,
        ColSum,
        ColDate,
        ColumnCount
    };

    explicit DrawsModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Brings the row count to the archive size. Growth is announced as rows
    // inserted on top (draws are only ever appended); anything else resets.
    // With force, or when the count did not change, every row is repainted.
    void Refresh(bool force);
    // Repaints every row (offset, colour or sorting changed).
    void Repaint();

    // The row of the archive's list (TDrawArchive::RowDraw) shown in a model
    // row, or -1. The core changes the archive before it tells the model: until
    // then, appended draws stay out of sight and the shown rows do not move.
    int ListRow(int row) const;

  private:
    const tessara::Workspace& ws_;
    int rows_ = 0;
};
