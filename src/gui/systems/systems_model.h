#pragma once

#include <QAbstractTableModel>
#include <QIcon>

namespace tessara {
class SystemsCatalogue;
}

// The rows of lvSystems: one per catalogue entry; the view sorts through a
// proxy by SortRole.
class SystemsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int SortRole = Qt::UserRole + 1;
    static constexpr int IdRole = Qt::UserRole + 2;

    explicit SystemsModel(const tessara::SystemsCatalogue& systems, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void Refresh();

  private:
    // Filled for a downloaded system, hollow otherwise; green for the user's
    // own, blue for another author's, grey without an author's e-mail.
    QIcon RowIcon(bool downloaded, int owner) const;

    const tessara::SystemsCatalogue& systems_;
    mutable QIcon icons_[2][3];
};
