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
}

void WeekChart::Clear() {
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
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
    auto* x = new QBarCategoryAxis;
    x->append(labels);
    auto* y = new QValueAxis;
    y->setRange(0, std::max(largest, 1));
    y->setLabelFormat(QStringLiteral("%d"));
    y->applyNiceNumbers();
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
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
