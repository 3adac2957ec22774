#include "views/form_repeats.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <random>

#include "base/host.h"
#include "base/ini_file.h"
#include "main/layout_state.h"
#include "model/game.h"

namespace {

constexpr const char* kSection = "TFormRepeats";
constexpr int kDefaultGraphHeight = 250;
constexpr int kColumnWidths[] = {60, 85, 110, 400};

// A progress window over steps that shows itself only when the work takes
// a moment, and moves once per hundredth of the work.
class Progress {
  public:
    Progress(QWidget* parent, const QString& text, int total)
        : dialog_(text, QString(), 0, std::max(1, total), parent), total_(std::max(1, total)) {
        dialog_.setObjectName(QStringLiteral("FormRepeatsProgress"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(300);
        dialog_.setAutoClose(false);
        dialog_.setValue(0);
    }
    void Step(int done) {
        if (done == total_ || done * 100 / total_ != shown_) {
            shown_ = done * 100 / total_;
            dialog_.setValue(done);
        }
    }

  private:
    QProgressDialog dialog_;
    int total_;
    int shown_ = 0;
};

QSpinBox* MakeLengthBox(const char* name, const QString& hint, int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, INT_MAX);
    box->setValue(value);
    box->setKeyboardTracking(false);
    box->setToolTip(hint);
    box->setStatusTip(hint);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 30);
    return box;
}

QColor RandomColor() {
    std::uniform_int_distribution<int> part(0, 255);
    std::mt19937& rng = tessara::RandomGenerator();
    const int r = part(rng), g = part(rng), b = part(rng);
    return QColor(r, g, b);
}

}  // namespace

TFormRepeats::TFormRepeats(const tessara::TDrawsArray& draws, tessara::Host& host,
                           const tessara::ViewState& view, QWidget* parent)
    : QDialog(parent), draws_(draws), host_(host), view_(view) {
    setObjectName(QStringLiteral("FormRepeats"));
    setWindowTitle(QString::fromUtf8(tessara::RepeatsCaption));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(820, 640);

    edDrawsLen_ = MakeLengthBox(
        "edDrawsLen", QStringLiteral("Количество тиражей, использующихся для расчета статистики"),
        tessara::RepeatsDefaultLength, this);
    edDeep_ = MakeLengthBox(
        "edDeep",
        QStringLiteral("Количество тиражей, просматриваемых \"в глубину\" для поиска совпадений"),
        tessara::RepeatsDefaultDeep, this);
    for (QSpinBox* box : {edDrawsLen_, edDeep_}) box->installEventFilter(this);
    auto* lengthLabel = new QLabel(QStringLiteral("Тиражей:"), this);
    lengthLabel->setBuddy(edDrawsLen_);
    auto* deepLabel = new QLabel(QStringLiteral("Глубина:"), this);
    deepLabel->setBuddy(edDeep_);
    auto* calc = new QPushButton(QStringLiteral("Рассчитать"), this);
    calc->setObjectName(QStringLiteral("btnCalc"));
    calc->setAutoDefault(false);
    connect(calc, &QPushButton::clicked, this, &TFormRepeats::Analyze);

    auto* panel = new QHBoxLayout;
    panel->addWidget(lengthLabel);
    panel->addWidget(edDrawsLen_);
    panel->addSpacing(8);
    panel->addWidget(deepLabel);
    panel->addWidget(edDeep_);
    panel->addSpacing(8);
    panel->addWidget(calc);
    panel->addStretch(1);

    lvList_ = new QTreeWidget(this);
    lvList_->setObjectName(QStringLiteral("lvList"));
    QStringList captions;
    for (const char* c : tessara::RepeatsColumns) captions << QString::fromUtf8(c);
    lvList_->setHeaderLabels(captions);
    lvList_->setRootIsDecorated(false);
    lvList_->setUniformRowHeights(true);
    lvList_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvList_->header()->setStretchLastSection(true);
    for (int c = 0; c < 4; ++c) lvList_->header()->resizeSection(c, kColumnWidths[c]);

    crtGraph_ = new QChartView(this);
    crtGraph_->setObjectName(QStringLiteral("crtGraph"));
    crtGraph_->setRenderHint(QPainter::Antialiasing);
    QChart* chart = crtGraph_->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);

    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setObjectName(QStringLiteral("splitterRepeats"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(lvList_);
    splitter_->addWidget(crtGraph_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(splitter_, 1);

    LoadState();
}

TFormRepeats::~TFormRepeats() { SaveState(); }

void TFormRepeats::LoadState() {
    int graphHeight = kDefaultGraphHeight;
    try {
        const LayoutState layout(view_.Path(), kSection);
        layout.RestoreGeometry(this);
        layout.RestoreColumns(lvList_);
        graphHeight = layout.ReadInteger("GraphHeight", kDefaultGraphHeight);
        edDrawsLen_->setValue(layout.ReadInteger("DrawsLength", tessara::RepeatsDefaultLength));
        edDeep_->setValue(layout.ReadInteger("DrawsDeep", tessara::RepeatsDefaultDeep));
    } catch (const std::exception&) {
        // An unreadable file was reported at start-up; the window opens with
        // its defaults.
    }
    graphHeight = std::clamp(graphHeight, 50, 4000);
    splitter_->setSizes({std::max(100, height() - graphHeight), graphHeight});
}

void TFormRepeats::SaveState() {
    try {
        LayoutState layout(view_.Path(), kSection);
        layout.StoreGeometry(this);
        layout.StoreColumns(lvList_);
        const QList<int> sizes = splitter_->sizes();
        if (sizes.size() == 2 && sizes[1] > 0) layout.WriteInteger("GraphHeight", sizes[1]);
        layout.WriteInteger("DrawsLength", edDrawsLen_->value());
        layout.WriteInteger("DrawsDeep", edDeep_->value());
        layout.Save();
    } catch (const std::exception&) {
        // The window is going away; sizes that cannot be kept are not worth
        // a message.
    }
}

QWidget* TFormRepeats::ProgressParent() {
    // The first analysis runs before the window is shown.
    return isVisible() || !parentWidget() ? this : parentWidget();
}

void TFormRepeats::Analyze() {
    tessara::BusyGuard busy(host_);
    const int length = edDrawsLen_->value(), deep = edDeep_->value();
    {
        const int total = std::min<int>(length, static_cast<int>(draws_.size()));
        Progress progress(ProgressParent(), QString::fromUtf8(tessara::MsgRepeatsCollecting),
                          total);
        analysis_ = tessara::AnalyzeRepeats(draws_, length, deep,
                                            [&](int done, int) { progress.Step(done); });
    }
    ShowList();
    ShowChart();
}

void TFormRepeats::ShowList() {
    lvList_->setUpdatesEnabled(false);
    lvList_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(analysis_.Rows.size()));
    for (const tessara::TRepeatsRow& r : analysis_.Rows) {
        auto* item = new QTreeWidgetItem(
            QStringList{QString::number(r.DrawNo), QString::number(r.Matches),
                        QString::number(r.Repeats), QString::fromStdString(r.Draws)});
        for (int c = 0; c < 3; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    lvList_->addTopLevelItems(items);
    lvList_->setUpdatesEnabled(true);
}

void TFormRepeats::ShowChart() {
    QChart* chart = crtGraph_->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    std::vector<tessara::TGraphSeries> series;
    {
        Progress progress(ProgressParent(), QString::fromUtf8(tessara::MsgRepeatsCharting),
                          static_cast<int>(analysis_.Rows.size()));
        series = tessara::RepeatsSeries(analysis_, [&](int done, int) { progress.Step(done); });
    }
    if (series.empty()) return;

    double x0 = 0, x1 = 0, top = 0;
    bool first = true;
    for (const tessara::TGraphSeries& s : series)
        for (const tessara::TGraphPoint& p : s.Points) {
            x0 = first ? p.X : std::min(x0, p.X);
            x1 = first ? p.X : std::max(x1, p.X);
            top = std::max(top, p.Y);
            first = false;
        }
    auto* xAxis = new QValueAxis;
    xAxis->setLabelFormat(QStringLiteral("%d"));
    xAxis->setRange(x0, x1 > x0 ? x1 : x0 + 1);
    auto* yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%d"));
    yAxis->setRange(0, top > 0 ? top + 1 : 1);
    yAxis->applyNiceNumbers();
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    for (const tessara::TGraphSeries& s : series) {
        // Filled before it joins the chart, so the chart draws it once.
        auto* line = new QLineSeries;
        line->setName(QString::fromStdString(s.Title));
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(s.Points.size()));
        for (const tessara::TGraphPoint& p : s.Points) points << QPointF(p.X, p.Y);
        line->replace(points);
        line->setColor(RandomColor());
        line->setPointsVisible(true);
        line->setMarkerSize(2);
        QImage marker(2, 2, QImage::Format_ARGB32);
        marker.fill(RandomColor());
        line->setLightMarker(marker);
        line->setPointLabelsVisible(false);
        chart->addSeries(line);
        line->attachAxis(xAxis);
        line->attachAxis(yAxis);
    }
}

bool TFormRepeats::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QSpinBox*>(watched);
    if (box && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (box->hasAcceptableInput()) {
                box->interpretText();
                Analyze();
            }
            return true;  // Enter never closes the window
        }
    }
    return QDialog::eventFilter(watched, event);
}
