#pragma once

#include <QAbstractTableModel>

#include "views/draw_card.h"

namespace tessara {
class Workspace;
}

// The draw card as a virtual grid over the archive: one row per draw, newest
// on top, columns for the numbers 1..42 and the extra ball. The draw numbers
// are the vertical header, so they stay in sight while the card scrolls
// sideways. Cells are produced on demand, so the whole archive costs only
// the rows in view.
class CardModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit CardModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The card's grid coordinates of a cell (the header counts as row and
    // column 0).
    static int GridRow(int row) { return row + 1; }
    static int GridColumn(int column) { return column + 1; }

    tessara::TCardOptions& Options() { return options_; }
    const tessara::TCardOptions& Options() const { return options_; }
    // Takes the archive's row count; forced, every cell is painted anew.
    // Unforced with an unchanged row count nothing happens.
    void Refresh(bool force);
    void Repaint();

  private:
    const tessara::Workspace& ws_;
    tessara::TCardOptions options_;
    int rows_ = 0;
};
