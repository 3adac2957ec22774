#include "stats/graphs_tab.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/workspace.h"
#include "base/ini_file.h"
#include "base/view_keys.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "model/error.h"
#include "stats/stat_selectors.h"

namespace {

const QString kDrawCommand = QStringLiteral("DrawsGraphDraw");

QColor ColorOf(int64_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QLineSeries* MakeLine(const tessara::TGraphSeries& s, int width) {
    auto* series = new QLineSeries;
    series->setName(QString::fromStdString(s.Title));
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(s.Points.size()));
    for (const tessara::TGraphPoint& p : s.Points) points << QPointF(p.X, p.Y);
    series->replace(points);
    QPen pen(ColorOf(s.Color));
    pen.setWidth(width);
    series->setPen(pen);
    return series;
}

// The markers of the value line: small points with a magenta outline.
QImage MarkerImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(QColor(255, 0, 255));
    return image;
}

}  // namespace

GraphsTab::GraphsTab(tessara::Workspace& ws, StatSelectors& selectors, CommandTable& commands,
                     QWidget* parent)
    : QWidget(parent), ws_(ws), selectors_(selectors), commands_(commands) {
    setObjectName(QStringLiteral("tsDrawsGraph"));

    commands_.Add({.Name = kDrawCommand,
                   .Caption = QStringLiteral("Обновить"),
                   .Category = QStringLiteral("Статистика"),
                   .Handler = [this] { RefreshGraphs(true); },
                   .Enabled =
                       [this] { return !ws_.Archive().Empty() && selectors_.SelectedGraph() >= 0; },
                   .Hint = QStringLiteral("Построить графики по выбранным параметрам")});

    QComboBox* box = selectors.GraphBox();
    auto* label = new QLabel(QStringLiteral("Вид графика:"), this);
    label->setBuddy(box);

    edDrawsGraphLen_ = new QSpinBox(this);
    edDrawsGraphLen_->setObjectName(QStringLiteral("edDrawsGraphLen"));
    edDrawsGraphLen_->setRange(1, INT_MAX);
    edDrawsGraphLen_->setValue(tessara::MainViewDefault("DrawsGraphLen"));
    edDrawsGraphLen_->setKeyboardTracking(false);
    edDrawsGraphLen_->setMinimumWidth(
        edDrawsGraphLen_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 30);
    const QString lengthHint =
        QStringLiteral("Количество тиражей, использующихся для построения графиков");
    edDrawsGraphLen_->setToolTip(lengthHint);
    edDrawsGraphLen_->setStatusTip(lengthHint);
    edDrawsGraphLen_->installEventFilter(this);
    connect(edDrawsGraphLen_, &QSpinBox::valueChanged, this, &GraphsTab::LengthChanged);

    cbDrawsGraphShowMarks_ = new QCheckBox(QStringLiteral("Отображать метки на графике"), this);
    cbDrawsGraphShowMarks_->setObjectName(QStringLiteral("cbDrawsGraphShowMarks"));
    connect(cbDrawsGraphShowMarks_, &QCheckBox::toggled, this, &GraphsTab::ShowMarks);

    QToolButton* draw = commands_.MakeButton(kDrawCommand, this);

    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(label);
    panel->addWidget(box, 1);
    panel->addWidget(edDrawsGraphLen_);
    panel->addWidget(cbDrawsGraphShowMarks_);
    panel->addWidget(draw);

    crtDrawsGraph_ = new QChartView(this);
    crtDrawsGraph_->setObjectName(QStringLiteral("crtDrawsGraph"));
    crtDrawsGraph_->setRenderHint(QPainter::Antialiasing);
    crtDrawsGraph_->setContextMenuPolicy(Qt::CustomContextMenu);
    QChart* chart = crtDrawsGraph_->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    connect(crtDrawsGraph_, &QWidget::customContextMenuRequested, this, &GraphsTab::ShowPopup);
    // The axes stay for the life of the tab; each drawing only sets their ranges.
    xAxis_ = new QValueAxis(chart);
    xAxis_->setLabelFormat(QStringLiteral("%d"));
    yAxis_ = new QValueAxis(chart);
    yAxis_->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(xAxis_, Qt::AlignBottom);
    chart->addAxis(yAxis_, Qt::AlignLeft);
    ClearChart();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addWidget(crtDrawsGraph_, 1);

    connect(box, &QComboBox::currentIndexChanged, this, [this] { RefreshGraphs(false); });
}

void GraphsTab::RefreshGraphs(bool force) {
    if (!shown_) return;
    // The kind is keyed by its method rather than its place in the box, which
    // moves when the favourites change.
    const int method = selectors_.SelectedGraph();
    const tessara::TDrawGraphKey key{ws_.Archive().Count(), ws_.DrawsOffset(),
                                     edDrawsGraphLen_->value(), method};
    if (!force && key == key_) return;
    key_ = key;
    ClearChart();
    if (method < 0 || ws_.Archive().Empty()) return;

    tessara::BusyGuard busy(ws_.GetHost(), tessara::MsgDrawGraphStatus);
    try {
        ++computations_;
        ShowGraph(tessara::ComputeDrawGraph(ws_.Stats(), method, edDrawsGraphLen_->value(),
                                            ws_.DrawsOffset(), ws_.SortedDraws(),
                                            selectors_.GraphBox()->currentText().toStdString()));
    } catch (const std::exception& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void GraphsTab::RefreshView(bool visible, bool full) {
    if (!visible) {
        stale_ = stale_ || full;
        return;
    }
    RefreshGraphs(full || stale_);
    stale_ = false;
}

void GraphsTab::ClearChart() {
    crtDrawsGraph_->chart()->removeAllSeries();
    xAxis_->setVisible(false);
    yAxis_->setVisible(false);
    values_ = nullptr;
}

void GraphsTab::ShowGraph(const tessara::TDrawGraph& g) {
    if (g.Values.Points.empty()) return;
    QChart* chart = crtDrawsGraph_->chart();
    values_ = MakeLine(g.Values, 2);
    values_->setPointsVisible(true);
    values_->setMarkerSize(2);
    values_->setLightMarker(MarkerImage(2));
    values_->setPointLabelsFormat(QStringLiteral("@yPoint"));
    values_->setPointLabelsColor(ColorOf(g.Values.Color));
    values_->setPointLabelsClipping(false);
    values_->setPointLabelsVisible(cbDrawsGraphShowMarks_->isChecked());
    QLineSeries* mean = MakeLine(g.MeanLine, 1);
    QLineSeries* mode = MakeLine(g.ModeLine, 1);

    double low = 0, high = 0;
    bool first = true;
    for (const auto* s : {&g.Values, &g.MeanLine, &g.ModeLine})
        for (const tessara::TGraphPoint& p : s->Points) {
            low = first ? p.Y : std::min(low, p.Y);
            high = first ? p.Y : std::max(high, p.Y);
            first = false;
        }
    const double x0 = g.Values.Points.front().X, x1 = g.Values.Points.back().X;
    xAxis_->setRange(x0, x1 > x0 ? x1 : x0 + 1);
    // Some room above and below, so that the value labels stay inside; whole
    // steps, since the values are integers.
    const double pad = std::max(1.0, (high - low) * 0.08);
    yAxis_->setRange(std::floor(low - pad), std::ceil(high + pad));
    yAxis_->applyNiceNumbers();
    for (QLineSeries* s : {values_, mean, mode}) {
        chart->addSeries(s);
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
    }
    xAxis_->setVisible(true);
    yAxis_->setVisible(true);
}

void GraphsTab::ShowMarks(bool on) {
    if (values_) values_->setPointLabelsVisible(on);
}

void GraphsTab::LoadViewOptions() {
    loadingOptions_ = true;
    try {
        edDrawsGraphLen_->setValue(ws_.View().ReadInteger(
            tessara::MainWindowSection, "DrawsGraphLen", tessara::MainViewDefault("DrawsGraphLen")));
    } catch (const tessara::Error&) {
        // The start-up has already reported the unreadable file; the default stays.
    }
    loadingOptions_ = false;
}

void GraphsTab::LengthChanged(int value) {
    if (loadingOptions_) return;
    try {
        ws_.View().WriteInteger(tessara::MainWindowSection, "DrawsGraphLen", value);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

bool GraphsTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edDrawsGraphLen_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            edDrawsGraphLen_->hasAcceptableInput()) {
            edDrawsGraphLen_->interpretText();
            RefreshGraphs(false);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GraphsTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::Graphs));
    menu.exec(crtDrawsGraph_->mapToGlobal(pos));
}
