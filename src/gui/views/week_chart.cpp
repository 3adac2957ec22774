#include "views/week_chart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

const QColor kSeriesColor(0, 128, 0);
const QColor kMarkerColor(255, 0, 255);

}  // namespace

WeekChart::WeekChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("crtWeek"));
    setRenderHint(QPainter::Antialiasing);
    chart()->setAnimationOptions(QChart::NoAnimation);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->setBackgroundRoundness(0);
    chart()->legend()->hide();
    setContextMenuPolicy(Qt::CustomContextMenu);
    x_ = new QBarCategoryAxis;
    y_ = new QValueAxis;
    y_->setLabelFormat(QStringLiteral("%d"));
    // 42 numbers along the axis: a smaller font keeps them whole.
    QFont small = x_->labelsFont();
    small.setPointSizeF(small.pointSizeF() * 0.75);
    x_->setLabelsFont(small);
    chart()->addAxis(x_, Qt::AlignBottom);
    chart()->addAxis(y_, Qt::AlignLeft);
}

void WeekChart::Clear() {
    chart()->removeAllSeries();
    x_->clear();
    y_->setRange(0, 1);
}

void WeekChart::Show(const std::vector<tessara::TWeekChartPoint>& points, bool line) {
    Clear();
    QChart* c = chart();
    QStringList labels;
    int32_t largest = 0;
    for (const auto& p : points) {
        labels << QString::fromStdString(p.Label);
        largest = std::max(largest, p.Y);
    }
    QBarCategoryAxis* x = x_;
    QValueAxis* y = y_;
    x->append(labels);
    y->setRange(0, std::max(largest, 1));
    y->applyNiceNumbers();
    if (line) {
        // Categories sit at 0, 1, 2, ... along the axis.
        auto* series = new QLineSeries;
        auto* markers = new QScatterSeries;
        for (size_t i = 0; i < points.size(); ++i) {
            series->append(static_cast<qreal>(i), points[i].Y);
            markers->append(static_cast<qreal>(i), points[i].Y);
        }
        QPen pen(kSeriesColor);
        pen.setWidth(2);
        series->setPen(pen);
        markers->setMarkerSize(6);
        markers->setColor(kSeriesColor);
        markers->setBorderColor(kMarkerColor);
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(series), static_cast<QAbstractSeries*>(markers)}) {
            c->addSeries(s);
            s->attachAxis(x);
            s->attachAxis(y);
        }
    } else {
        auto* set = new QBarSet(QString());
        for (const auto& p : points) *set << p.Y;
        set->setColor(kSeriesColor);
        set->setBorderColor(kSeriesColor);
        auto* series = new QBarSeries;
        series->append(set);
        series->setLabelsVisible(false);
        series->setBarWidth(0.7);
        c->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
}
