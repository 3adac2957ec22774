#include "views/card_model.h"

#include <QColor>

#include "app/workspace.h"

CardModel::CardModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int CardModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CardModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::CardColumnCount - 1;
}

QVariant CardModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= ws_.Archive().Count()) return {};
    const int row = GridRow(index.row());
    const int column = GridColumn(index.column());
    const tessara::TDrawsArray& draws = ws_.Archive().Draws();
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(tessara::CardCellText(draws, row, column));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignTop);
        case Qt::BackgroundRole: {
            tessara::TCardOptions o = options_;
            o.ChannelSize = ws_.ChannelSize();
            if (const auto c = tessara::CardCellColor(draws, row, column, o))
                return QColor(c->r, c->g, c->b);
            return {};
        }
        case Qt::ForegroundRole:
            // The painted backgrounds are light whatever the palette is.
            if (column <= tessara::MaxNumber && (options_.ColorCard || options_.ColorCardSequences))
                return QColor(Qt::black);
            return {};
        default:
            return {};
    }
}

QVariant CardModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole && orientation == Qt::Vertical)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    const tessara::TDrawsArray& draws = ws_.Archive().Draws();
    if (orientation == Qt::Horizontal)
        return QString::fromStdString(tessara::CardCellText(draws, 0, GridColumn(section)));
    if (section >= ws_.Archive().Count()) return {};
    return QString::fromStdString(tessara::CardCellText(draws, GridRow(section), 0));
}

void CardModel::Refresh(bool force) {
    const int count = ws_.Archive().Count();
    if (count != rows_) {
        beginResetModel();
        rows_ = count;
        endResetModel();
        return;
    }
    if (force) Repaint();
}

void CardModel::Repaint() {
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(rows_ - 1, 0));
}
