#include "stakes/stakes_delegate.h"

#include <QPainter>
#include <vector>

#include "stakes/stakes_model.h"

namespace {

struct Number {
    QString Text;
    bool Matched;
    int Width;
};

}  // namespace

void StakesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const QVariant background = index.data(Qt::BackgroundRole);
    QColor fill = option.palette.color(group, QPalette::Base);
    if (selected)
        fill = option.palette.color(group, QPalette::Highlight);
    else if (background.canConvert<QColor>())
        fill = background.value<QColor>();
    QColor pen = option.palette.color(group, QPalette::Text);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (selected)
        pen = option.palette.color(group, QPalette::HighlightedText);
    else if (foreground.canConvert<QColor>())
        pen = foreground.value<QColor>();

    painter->save();
    painter->fillRect(option.rect, fill);
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    painter->setPen(pen);

    const int column = index.column();
    if (column == StakesModel::ColNumbers || column == StakesModel::ColResult) {
        QFont bold = option.font;
        bold.setBold(true);
        const QFontMetrics regularMetrics(option.font);
        const QFontMetrics boldMetrics(bold);
        std::vector<Number> numbers;
        int total = 0;
        for (const QVariant& item : index.data(StakesModel::NumbersRole).toList()) {
            const QVariantList pair = item.toList();
            Number n{pair.value(0).toString(), pair.value(1).toBool(), 0};
            n.Width = (n.Matched ? boldMetrics : regularMetrics).horizontalAdvance(n.Text);
            if (!numbers.empty()) total += NumberGap;
            total += n.Width;
            numbers.push_back(n);
        }
        int x = option.rect.left() + (option.rect.width() - total) / 2;
        const int y = option.rect.top() + (option.rect.height() - regularMetrics.height()) / 2 +
                      regularMetrics.ascent();
        // On the selection's colour blue would not read: the matched numbers
        // then stay bold only.
        const QColor matchedPen = selected ? pen : QColor(0, 0, 255);
        for (const Number& n : numbers) {
            painter->setFont(n.Matched ? bold : option.font);
            painter->setPen(n.Matched ? matchedPen : pen);
            painter->drawText(QPoint(x, y), n.Text);
            x += n.Width + NumberGap;
        }
    } else {
        QRect rect = option.rect;
        const Qt::Alignment align =
            index.data(Qt::TextAlignmentRole).value<Qt::Alignment>() | Qt::AlignVCenter;
        if (align & Qt::AlignRight)
            rect.adjust(0, 0, -TextMargin, 0);
        else if (align & Qt::AlignLeft)
            rect.adjust(TextMargin, 0, 0, 0);
        painter->drawText(rect, int(align) | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());
    }
    painter->restore();
}
