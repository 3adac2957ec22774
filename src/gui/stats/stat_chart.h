#pragma once

#include <QChartView>
#include <QString>
#include <utility>
#include <vector>

class QCategoryAxis;

namespace tessara {
struct TValueTable;
}

// The chart under the value table: the observed counts per value and, with
// the full-set comparison, the scaled distribution over all combinations.
class StatChart : public QChartView {
    Q_OBJECT
  public:
    explicit StatChart(QWidget* parent = nullptr);

    void ShowTable(const tessara::TValueTable& table);
    void Clear();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    // As many value labels along the axis as the width holds.
    void LabelAxis();

    QCategoryAxis* xAxis_ = nullptr;
    std::vector<std::pair<double, QString>> labels_;
};
