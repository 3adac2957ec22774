#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "model/graph_series.h"

class QCheckBox;
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

// The modal graph window shared by the stake graphs and the views: a line
// chart with its legend at the bottom and a check box that shows or hides the
// value labels. Its size and placement live in its section of the view-state
// file, read when the window is made and written when it closes.
class TFormGraph : public QDialog {
    Q_OBJECT
  public:
    // viewStatePath is the workspace's view-state file (ws.View().Path());
    // section names the window's placement there. An unreadable file only
    // leaves the default placement.
    explicit TFormGraph(std::string viewStatePath, QWidget* parent = nullptr,
                        QString section = QStringLiteral("TFormGraph"));

    void SetCaption(const QString& caption);

    // Adds one point to the series of that title, compared without regard to
    // case. A missing series is made as a line of width 2 with 3 x 3 markers
    // (shown by showPoints), value labels (shown by showMarks; such a series
    // then follows cbShowMarks) and the colour 0xRRGGBB, or the chart's own
    // colour when colour is 0 or negative.
    void AddGraphPoint(double x, const QString& title, double y, bool showPoints, bool showMarks,
                       int64_t colour);
    // All points of a series the core computed, with its title and colour.
    void AddSeries(const tessara::TGraphSeries& series, bool showPoints = true,
                   bool showMarks = true);

    QChart* Chart() const { return chart_; }
    // The series of that title (case ignored), or nullptr.
    QLineSeries* FindSeries(const QString& title) const;

    // Shows series in a new window over parent and waits until it closes.
    struct TLook {
        bool ShowPoints = true;
        bool ShowMarks = true;
    };
    static void ShowGraph(QWidget* parent, const std::string& viewStatePath,
                          const QString& caption, const std::vector<tessara::TGraphSeries>& series,
                          const std::vector<TLook>& looks = {});

  public slots:
    void done(int result) override;

  private:
    QLineSeries* MakeSeries(const QString& title, bool showPoints, bool showMarks, int64_t colour);
    void ShowMarksChanged(bool on);
    void ExtendAxes(double x, double y);
    void SavePlacement();

    std::string viewStatePath_;
    std::string section_;
    QChart* chart_;
    QChartView* view_;
    QCheckBox* cbShowMarks_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    std::vector<QLineSeries*> series_;
    std::vector<QLineSeries*> followMarks_;
    bool hasPoints_ = false;
    bool wholeX_ = true;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};
