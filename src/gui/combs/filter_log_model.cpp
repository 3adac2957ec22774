#include "combs/filter_log_model.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

namespace {

constexpr int kIconSize = 16;

// A coloured disc with a white mark; drawn here so that no icon files ship.
QIcon DrawIcon(const QColor& disc, tessara::TLogIcon mark) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QRectF(1, 1, kIconSize - 2, kIconSize - 2));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::white);
    const double c = kIconSize / 2.0;
    switch (mark) {
        case tessara::TLogIcon::Include:
            p.drawLine(QPointF(4.5, c), QPointF(kIconSize - 4.5, c));
            p.drawLine(QPointF(c, 4.5), QPointF(c, kIconSize - 4.5));
            break;
        case tessara::TLogIcon::Exclude:
            p.drawLine(QPointF(4.5, c), QPointF(kIconSize - 4.5, c));
            break;
        case tessara::TLogIcon::Undo:
            // An arrow pointing back.
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({QPointF(4, c), QPointF(8.5, 4), QPointF(8.5, 12)}));
            p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, c), QPointF(12, c));
            break;
    }
    return QIcon(pixmap);
}

}  // namespace

FilterLogModel::FilterLogModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws) {}

int FilterLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FilterLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QIcon FilterLogModel::Icon(tessara::TLogIcon icon) {
    static const QIcon include = DrawIcon(QColor(40, 150, 60), tessara::TLogIcon::Include);
    static const QIcon exclude = DrawIcon(QColor(200, 50, 40), tessara::TLogIcon::Exclude);
    static const QIcon undo = DrawIcon(QColor(50, 100, 200), tessara::TLogIcon::Undo);
    switch (icon) {
        case tessara::TLogIcon::Include:
            return include;
        case tessara::TLogIcon::Exclude:
            return exclude;
        case tessara::TLogIcon::Undo:
            return undo;
    }
    return {};
}

QVariant FilterLogModel::data(const QModelIndex& index, int role) const {
    const auto& log = ws_.FilterLog();
    if (!index.isValid() || index.row() >= static_cast<int>(log.size())) return {};
    const tessara::TFilterLogEntry& entry = log[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case ColCaption:
                    return QString::fromStdString(entry.Caption);
                case ColValue:
                    return QString::fromStdString(entry.Value);
                case ColCount:
                    return QString::number(entry.Count);
                default:
                    return {};
            }
        case Qt::DecorationRole:
            if (index.column() == ColCaption) return Icon(entry.Icon);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == ColCount)
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant FilterLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
        case ColCaption:
            return QStringLiteral("Примененные фильтры");
        case ColValue:
            return QStringLiteral("Значения");
        case ColCount:
            return QStringLiteral("Комбинаций");
        default:
            return {};
    }
}

void FilterLogModel::Refresh() {
    beginResetModel();
    rows_ = static_cast<int>(ws_.FilterLog().size());
    endResetModel();
}
