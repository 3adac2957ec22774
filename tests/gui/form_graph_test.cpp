#include <QChart>
#include <QCheckBox>
#include <QLineSeries>
#include <QtTest>
#include <filesystem>

#include "graph/form_graph.h"
#include "test_support.h"

class FormGraphTest : public QObject {
    Q_OBJECT
  private slots:
    void SeriesAreFoundByTitleIgnoringCase();
    void MarksFollowTheCheckBoxOnlyWhereShown();
    void PlacementIsKeptInTheViewState();
};

void FormGraphTest::SeriesAreFoundByTitleIgnoringCase() {
    tessara::test::TempDir dir;
    TFormGraph form(dir.File("tessara.frm"));
    form.AddGraphPoint(1, QStringLiteral("Ставки"), 5, true, true, 0x008000);
    form.AddGraphPoint(2, QStringLiteral("СТАВКИ"), 7, false, false, 0xFF0000);
    form.AddGraphPoint(1, QStringLiteral("Другая"), 3, false, false, 0);
    QCOMPARE(form.Chart()->series().size(), 2);

    QLineSeries* s = form.FindSeries(QStringLiteral("ставки"));
    QVERIFY(s);
    QCOMPARE(s->count(), 2);
    QCOMPARE(s->at(1), QPointF(2, 7));
    // The first point made the series: its colour, markers and width stay.
    QCOMPARE(s->color(), QColor(0, 128, 0));
    QVERIFY(s->pointsVisible());
    QCOMPARE(s->markerSize(), 3.0);
    QCOMPARE(s->pen().width(), 2);

    // Colour 0 leaves the chart's own colour, which is not black.
    QLineSeries* other = form.FindSeries(QStringLiteral("другая"));
    QVERIFY(other && other->color() != QColor(Qt::black));
    QVERIFY(!other->pointsVisible());

    tessara::TGraphSeries computed{"Ставки", -1, {{3, 9, "3"}}};
    form.AddSeries(computed);
    QCOMPARE(s->count(), 3);
}

void FormGraphTest::MarksFollowTheCheckBoxOnlyWhereShown() {
    tessara::test::TempDir dir;
    TFormGraph form(dir.File("tessara.frm"));
    form.AddGraphPoint(1, QStringLiteral("С метками"), 5, true, true, 0);
    form.AddGraphPoint(1, QStringLiteral("Без меток"), 5, true, false, 0);
    auto* box = form.findChild<QCheckBox*>(QStringLiteral("cbShowMarks"));
    QVERIFY(box && box->isChecked());
    QLineSeries* marked = form.FindSeries(QStringLiteral("С метками"));
    QLineSeries* plain = form.FindSeries(QStringLiteral("Без меток"));
    QVERIFY(marked->pointLabelsVisible());
    QVERIFY(!plain->pointLabelsVisible());

    box->setChecked(false);
    QVERIFY(!marked->pointLabelsVisible());
    // A series made while the box is clear starts hidden and still follows it.
    form.AddGraphPoint(1, QStringLiteral("Поздняя"), 2, true, true, 0);
    QVERIFY(!form.FindSeries(QStringLiteral("Поздняя"))->pointLabelsVisible());
    box->setChecked(true);
    QVERIFY(marked->pointLabelsVisible());
    QVERIFY(form.FindSeries(QStringLiteral("Поздняя"))->pointLabelsVisible());
    QVERIFY(!plain->pointLabelsVisible());
}

void FormGraphTest::PlacementIsKeptInTheViewState() {
    tessara::test::TempDir dir;
    const std::string path = dir.File("tessara.frm");
    {
        TFormGraph form(path);
        form.show();
        form.resize(640, 410);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.reject();
    }
    TFormGraph again(path);
    QCOMPARE(again.size(), QSize(640, 410));
}

QTEST_MAIN(FormGraphTest)
#include "form_graph_test.moc"
