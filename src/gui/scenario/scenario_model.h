#pragma once

#include <QAbstractTableModel>

namespace tessara {
class Workspace;
}

// The rows of the scenario table, read from the workspace's lines when shown:
// comment, options description and the seven filters normalised.
class ScenarioModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { ColComment, ColOptions, ColFirstFilter, ColumnCount = ColFirstFilter + 7 };

    ScenarioModel(const tessara::Workspace& ws, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The lines changed.
    void Refresh();

  private:
    const tessara::Workspace& ws_;
    int shownRows_;
};
