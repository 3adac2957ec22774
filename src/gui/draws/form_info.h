#pragma once

#include <QDialog>
#include <vector>

class QSpinBox;
class QTableWidget;
class QTreeWidget;

// The details dialog of a draw (and later of a combination): a list of
// properties and the number card, laid out in a chosen number of columns.
class TFormInfo : public QDialog {
    Q_OBJECT
  public:
    // channelSize picks the group colours; cols is the starting column count.
    TFormInfo(int channelSize, int cols, QWidget* parent = nullptr);

    void AddProperty(const QString& name, const QString& value);
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
