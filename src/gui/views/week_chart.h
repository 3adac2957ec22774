#pragma once

#include <QChartView>
#include <vector>

class QBarCategoryAxis;
class QValueAxis;

#include "views/week_stats.h"

// The chart under the week table: one number across the weekdays or one
// weekday across the numbers, as a line with markers or as bars.
class WeekChart : public QChartView {
    Q_OBJECT
  public:
    explicit WeekChart(QWidget* parent = nullptr);

    void Show(const std::vector<tessara::TWeekChartPoint>& points, bool line);
    void Clear();

  private:
    // The axes stay for the chart's life and only change their labels and
    // range: axes taken out of a chart that has not been shown yet can
    // leave their labels painted behind.
    QBarCategoryAxis* x_;
    QValueAxis* y_;
};
