#include "stats/stat_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QImage>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "stats/value_table.h"

namespace {

const QString kActualTitle = QStringLiteral("Фактические данные");
const QString kIdealTitle = QStringLiteral("Все возможные комбинации");
// Room for one value label along the axis, so that labels never run together.
constexpr int kAxisLabelWidth = 50;
constexpr int kMarkerSize = 3;

QLineSeries* MakeSeries(const QString& title, const std::vector<tessara::TChartPoint>& points,
                        const QColor& color, int width) {
    auto* series = new QLineSeries;
    series->setName(title);
    QList<QPointF> data;
    data.reserve(static_cast<qsizetype>(points.size()));
    for (const tessara::TChartPoint& p : points) data << QPointF(p.X, p.Y);
    series->replace(data);
    QPen pen(color);
    pen.setWidth(width);
    series->setPen(pen);
    return series;
}

// A small filled square: the observed points stand out from their line.
QImage MarkerImage() {
    QImage image(kMarkerSize, kMarkerSize, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    return image;
}

}  // namespace

StatChart::StatChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("chDrawsStat"));
    setRenderHint(QPainter::Antialiasing);
    chart()->setAnimationOptions(QChart::NoAnimation);
    chart()->setMargins(QMargins(2, 2, 2, 2));
    chart()->setBackgroundRoundness(0);
    // The chart is low: the legend takes room at the side, not above the lines.
    chart()->legend()->setAlignment(Qt::AlignRight);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void StatChart::Clear() {
    xAxis_ = nullptr;
    labels_.clear();
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
}

void StatChart::ShowTable(const tessara::TValueTable& table) {
    Clear();
    if (table.Actual.empty() && table.Ideal.empty()) return;
    QChart* c = chart();

    auto* actual = MakeSeries(kActualTitle, table.Actual, QColor(0, 128, 0), 2);
    actual->setPointsVisible(true);
    actual->setMarkerSize(kMarkerSize);
    actual->setLightMarker(MarkerImage());
    c->addSeries(actual);
    QLineSeries* ideal = nullptr;
    if (!table.Ideal.empty()) {
        ideal = MakeSeries(kIdealTitle, table.Ideal, QColor(255, 0, 0), 1);
        c->addSeries(ideal);
    }

    // The axis labels come from the longer series: with the full set that
    // lists every possible value, also those never drawn.
    const auto& labelled = table.Ideal.size() > table.Actual.size() ? table.Ideal : table.Actual;
    for (const tessara::TChartPoint& p : labelled)
        labels_.emplace_back(p.X, QString::fromStdString(p.Label));
    auto* xAxis = new QCategoryAxis;
    xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    xAxis->setGridLineVisible(false);

    double top = 0;
    for (const auto* points : {&table.Actual, &table.Ideal})
        for (const tessara::TChartPoint& p : *points) top = std::max(top, p.Y);
    auto* yAxis = new QValueAxis;
    yAxis->setRange(0, top > 0 ? std::ceil(top * 1.05) : 1);
    yAxis->setLabelFormat(QStringLiteral("%d"));
    yAxis->applyNiceNumbers();

    xAxis_ = xAxis;
    LabelAxis();
    xAxis->setRange(labelled.front().X, labelled.back().X);
    c->addAxis(xAxis, Qt::AlignBottom);
    c->addAxis(yAxis, Qt::AlignLeft);
    for (QLineSeries* series : {actual, ideal}) {
        if (!series) continue;
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
}

void StatChart::LabelAxis() {
    if (!xAxis_ || labels_.empty()) return;
    for (const QString& label : xAxis_->categoriesLabels()) xAxis_->remove(label);
    const size_t fit = static_cast<size_t>(std::max(2, width() / kAxisLabelWidth));
    const size_t step = std::max<size_t>(1, (labels_.size() + fit - 1) / fit);
    for (size_t i = 0; i < labels_.size(); i += step)
        xAxis_->append(labels_[i].second, labels_[i].first);
}

void StatChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    LabelAxis();
}
