#pragma once

#include <QAbstractTableModel>

namespace tessara {
class Workspace;
}

// The rows of the stakes grid. Every cell is read from the stakes file when
// the view asks for it (the file's one-record cache serves a whole row), so a
// file of millions of stakes costs nothing in memory.
class StakesModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        ColDraw,
        ColKind,
        ColNumbers,
        ColSample,
        ColResult,
        ColMatchCount,
        ColMatched,
        ColProfit,
        ColComment,
        ColumnCount
    };
    // Columns of numbers: a list of [text, matched] pairs, the matched ones
    // drawn bold in blue.
    static constexpr int NumbersRole = Qt::UserRole + 1;

    explicit StakesModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Brings the row count to the workspace's grid state and repaints: rows
    // shown before may hold other records now (checked, or moved up by a
    // deletion).
    void Refresh();
    void Repaint();

  private:
    const tessara::Workspace& ws_;
    int rows_ = 1;
};
