#pragma once

#include <QStyledItemDelegate>

// Draws the cells of the stakes grid: the kind's background, the aligned
// texts, and in the columns of numbers each number on its own, the matched
// ones bold in blue.
class StakesDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Room between two numbers and between a text and the cell's edge.
    static constexpr int NumberGap = 3;
    static constexpr int TextMargin = 2;
};
