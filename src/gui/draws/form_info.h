#pragma once

#include <QDialog>
#include <QString>
#include <utility>
#include <vector>

class QSpinBox;
class QTableWidget;
class QTreeWidget;

namespace tessara {
class TStatList;
struct TCombination;
}

// The details dialog of a draw (and later of a combination): a list of
// properties and the number card, laid out in a chosen number of columns.
class TFormInfo : public QDialog {
    Q_OBJECT
  public:
    // channelSize picks the group colours; cols is the starting column count.
    TFormInfo(int channelSize, int cols, QWidget* parent = nullptr);

    void AddProperty(const QString& name, const QString& value);
    void AddProperties(const std::vector<std::pair<QString, QString>>& rows);
    // One row per listed method with a graph value: its name and the value of
    // the archive draw at drawIndex, counted as of that draw.
    static std::vector<std::pair<QString, QString>> DrawGraphValues(const tessara::TStatList& stats,
                                                                    int drawIndex, bool sorted);
    // The same rows for a combination standing at drawIndex of the archive
    // (the archive's count for the draw after the newest).
    static std::vector<std::pair<QString, QString>> CombGraphValues(const tessara::TStatList& stats,
                                                                    const tessara::TCombination& comb,
                                                                    int drawIndex, bool sorted);
    // The numbers written on the card.
    void SetNumbers(std::vector<int> numbers);

  private:
    void RebuildCard();

    int channelSize_;
    std::vector<int> numbers_;
    QTreeWidget* lvProps_;
    QTableWidget* sgCard_;
    QSpinBox* seCols_;
};
