#include "online/script_library_model.h"

#include <QApplication>
#include <QStyle>

#include "online/script_library.h"

ScriptLibraryModel::ScriptLibraryModel(const tessara::ScriptLibrary& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library) {}

int ScriptLibraryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(library_.Entries().size());
}

int ScriptLibraryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tessara::ScriptColumnCount;
}

QVariant ScriptLibraryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const tessara::tScriptInfo& s = library_.Entries()[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(tessara::ScriptCellText(s, index.column()));
        case Qt::DecorationRole:
            // Public entries show an open folder, private ones a closed one.
            if (index.column() == 0)
                return QApplication::style()->standardIcon(s.isPublic ? QStyle::SP_DirOpenIcon
                                                                      : QStyle::SP_DirClosedIcon);
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() >= 7 && index.column() <= 10)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case IdRole:
            return s.id;
        case SortRole:
            switch (index.column()) {
                case 7: return s.ratingAvg;
                case 8: return s.ratingCount;
                case 9: return s.myRating;
                case 10: return s.downloads;
                case 6: return s.created;
                case 11: return s.lastDownload;
                default:
                    return QString::fromStdString(tessara::ScriptCellText(s, index.column()));
            }
        default:
            return {};
    }
}

QVariant ScriptLibraryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= tessara::ScriptColumnCount)
        return {};
    return QString::fromStdString(tessara::ScriptColumnCaptions()[static_cast<size_t>(section)]);
}

void ScriptLibraryModel::Refresh() {
    beginResetModel();
    endResetModel();
}
