#include "graph/form_graph.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLegend>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>

#include "main/layout_state.h"

namespace {

constexpr int kLineWidth = 2;
constexpr int kMarkerSize = 3;

// A tick step of 1, 2 or 5 times a power of ten that gives about eight
// ticks over the span; whole numbers along an axis of whole values.
double NiceStep(double span, bool whole) {
    const double raw = span > 0 ? span / 8 : 1;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude * 10;
    for (double f : {1.0, 2.0, 5.0})
        if (raw <= f * magnitude) {
            step = f * magnitude;
            break;
        }
    return whole ? std::max(1.0, std::round(step)) : step;
}

// Room around the points so markers and labels at the edges stay inside;
// ticks at round values.
void SetAxisRange(QValueAxis* axis, double low, double high, bool whole) {
    const double span = high - low;
    const double pad = span > 0 ? span * 0.05 : std::max(1.0, std::abs(low) * 0.05);
    axis->setRange(low - pad, high + pad);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(NiceStep(span + 2 * pad, whole));
}

}  // namespace

TFormGraph::TFormGraph(std::string viewStatePath, QWidget* parent, QString section)
    : QDialog(parent), viewStatePath_(std::move(viewStatePath)), section_(section.toStdString()) {
    setObjectName(QStringLiteral("TFormGraph"));
    setWindowTitle(QStringLiteral("График"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(800, 520);

    chart_ = new QChart;
    chart_->setObjectName(QStringLiteral("Chart"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->legend()->setVisible(true);
    axisX_ = new QValueAxis(chart_);
    axisY_ = new QValueAxis(chart_);
    axisX_->setLabelFormat(QStringLiteral("%g"));
    axisY_->setLabelFormat(QStringLiteral("%g"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);

    view_ = new QChartView(chart_, this);
    view_->setObjectName(QStringLiteral("ChartView"));
    view_->setRenderHint(QPainter::Antialiasing);

    cbShowMarks_ = new QCheckBox(QStringLiteral("Отображать метки на графиках"), this);
    cbShowMarks_->setObjectName(QStringLiteral("cbShowMarks"));
    cbShowMarks_->setChecked(true);
    connect(cbShowMarks_, &QCheckBox::toggled, this, &TFormGraph::ShowMarksChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addWidget(cbShowMarks_);

    try {
        const LayoutState state(viewStatePath_, section_);
        state.RestoreGeometry(this);
    } catch (const std::exception&) {
        // A view-state file that cannot be read only costs the saved placement.
    }
}

void TFormGraph::SetCaption(const QString& caption) { setWindowTitle(caption); }

QLineSeries* TFormGraph::FindSeries(const QString& title) const {
    for (QLineSeries* s : series_)
        if (s->name().compare(title, Qt::CaseInsensitive) == 0) return s;
    return nullptr;
}

QLineSeries* TFormGraph::MakeSeries(const QString& title, bool showPoints, bool showMarks,
                                    int64_t colour) {
    auto* s = new QLineSeries;
    s->setName(title);
    s->setPointsVisible(showPoints);
    s->setMarkerSize(kMarkerSize);
    s->setPointLabelsFormat(QStringLiteral("@yPoint"));
    s->setPointLabelsClipping(false);
    s->setPointLabelsVisible(showMarks && cbShowMarks_->isChecked());
    chart_->addSeries(s);
    s->attachAxis(axisX_);
    s->attachAxis(axisY_);
    // The theme picks the automatic colour when the series joins the chart;
    // a given colour and the width go on top of it.
    if (colour > 0) s->setColor(QColor::fromRgb(static_cast<QRgb>(colour & 0xFFFFFF)));
    QPen pen = s->pen();
    pen.setWidth(kLineWidth);
    s->setPen(pen);
    series_.push_back(s);
    if (showMarks) followMarks_.push_back(s);
    return s;
}

void TFormGraph::ExtendAxes(double x, double y) {
    if (!hasPoints_) {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
        hasPoints_ = true;
    } else {
        minX_ = std::min(minX_, x);
        maxX_ = std::max(maxX_, x);
        minY_ = std::min(minY_, y);
        maxY_ = std::max(maxY_, y);
    }
    wholeX_ = wholeX_ && x == std::floor(x);
    SetAxisRange(axisX_, minX_, maxX_, wholeX_);
    SetAxisRange(axisY_, minY_, maxY_, false);
}

void TFormGraph::AddGraphPoint(double x, const QString& title, double y, bool showPoints,
                               bool showMarks, int64_t colour) {
    QLineSeries* s = FindSeries(title);
    if (!s) s = MakeSeries(title, showPoints, showMarks, colour);
    s->append(x, y);
    ExtendAxes(x, y);
}

void TFormGraph::AddSeries(const tessara::TGraphSeries& series, bool showPoints, bool showMarks) {
    const QString title = QString::fromStdString(series.Title);
    QLineSeries* s = FindSeries(title);
    if (!s) s = MakeSeries(title, showPoints, showMarks, series.Color);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(series.Points.size()));
    for (const tessara::TGraphPoint& p : series.Points) {
        points.append(QPointF(p.X, p.Y));
        ExtendAxes(p.X, p.Y);
    }
    s->append(points);
}

void TFormGraph::ShowMarksChanged(bool on) {
    for (QLineSeries* s : followMarks_) s->setPointLabelsVisible(on);
}

void TFormGraph::SavePlacement() {
    try {
        LayoutState state(viewStatePath_, section_);
        state.StoreGeometry(this);
        state.Save();
    } catch (const std::exception&) {
        // The window is closing: a placement that cannot be kept is not worth
        // a message about it.
    }
}

void TFormGraph::done(int result) {
    SavePlacement();
    QDialog::done(result);
}

void TFormGraph::ShowGraph(QWidget* parent, const std::string& viewStatePath,
                           const QString& caption,
                           const std::vector<tessara::TGraphSeries>& series,
                           const std::vector<TLook>& looks) {
    TFormGraph form(viewStatePath, parent);
    form.SetCaption(caption);
    for (size_t i = 0; i < series.size(); ++i) {
        const TLook look = i < looks.size() ? looks[i] : TLook{};
        form.AddSeries(series[i], look.ShowPoints, look.ShowMarks);
    }
    form.exec();
}
