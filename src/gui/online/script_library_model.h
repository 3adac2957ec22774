#pragma once

#include <QAbstractTableModel>

namespace tessara {
class ScriptLibrary;
}

// The rows of lvOnlineScripts: one per catalogue entry, in the library's
// order; the view sorts through a proxy by SortRole.
class ScriptLibraryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int SortRole = Qt::UserRole + 1;
    static constexpr int IdRole = Qt::UserRole + 2;

    ScriptLibraryModel(const tessara::ScriptLibrary& library, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Refresh();

  private:
    const tessara::ScriptLibrary& library_;
};
