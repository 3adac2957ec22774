#include "systems/systems_model.h"

#include <QPainter>
#include <QPixmap>

#include "online/systems_catalogue.h"

SystemsModel::SystemsModel(const tessara::SystemsCatalogue& systems, QObject* parent)
    : QAbstractTableModel(parent), systems_(systems) {}

int SystemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(systems_.Entries().size());
}

int SystemsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::SystemColumnCount;
}

QIcon SystemsModel::RowIcon(bool downloaded, int owner) const {
    QIcon& icon = icons_[downloaded ? 1 : 0][owner];
    if (!icon.isNull()) return icon;
    static const QColor colours[3] = {QColor(0x2e, 0x9d, 0x3a), QColor(0x2a, 0x6f, 0xc9),
                                      QColor(0x8a, 0x8a, 0x8a)};
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colours[owner], 2));
    p.setBrush(downloaded ? QBrush(colours[owner]) : QBrush(Qt::white));
    p.drawRoundedRect(QRectF(2, 2, 12, 12), 2, 2);
    if (downloaded) {
        p.setPen(QPen(Qt::white, 2));
        p.drawLine(QPointF(5, 8), QPointF(7, 11));
        p.drawLine(QPointF(7, 11), QPointF(11, 5));
    }
    icon = QIcon(pm);
    return icon;
}

QVariant SystemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const tessara::tSystemInfo& s = systems_.Entries()[static_cast<size_t>(index.row())];
    const bool downloaded = systems_.IsDownloaded(s);
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(tessara::SystemCellText(s, downloaded, index.column()));
        case Qt::ToolTipRole:
            if (index.column() == 0 || index.column() == 9)
                return QString::fromStdString(s.description);
            return {};
        case Qt::DecorationRole:
            if (index.column() != 0 || s.id <= 0) return {};
            return RowIcon(downloaded, s.mail.empty() ? 2 : (systems_.IsMine(s) ? 0 : 1));
        case Qt::TextAlignmentRole:
            if ((index.column() >= 2 && index.column() <= 4) || index.column() == 7)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case IdRole:
            return s.id;
        case SortRole:
            switch (index.column()) {
                case 2: return s.nums;
                case 3: return s.olap;
                case 4: return s.csize;
                case 5: return s.created;
                case 7: return s.downloads;
                case 8: return s.lastDownload;
                default:
                    return QString::fromStdString(tessara::SystemCellText(s, downloaded, index.column()));
            }
        default:
            return {};
    }
}

QVariant SystemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= tessara::SystemColumnCount)
        return {};
    return QString::fromStdString(tessara::SystemColumnCaptions()[static_cast<size_t>(section)]);
}

void SystemsModel::Refresh() {
    beginResetModel();
    endResetModel();
}
