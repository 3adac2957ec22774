#pragma once

#include <QAbstractTableModel>

namespace tessara {
class TRegulars;
}

// The rules of the regular stakes in list order, five columns.
class RegularsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit RegularsModel(const tessara::TRegulars& regulars, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The list changed.
    void Refresh();

  private:
    const tessara::TRegulars& regulars_;
    int rows_ = 0;
};
