#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QtTest>

#include "draws/form_draw.h"
#include "draws/form_info.h"
#include "gui_test_support.h"
#include "model/dates.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "test_support.h"

using namespace tessara;

class DrawsFormsTest : public QObject {
    Q_OBJECT

  private slots:
    void FormDrawOkCheck_data();
    void FormDrawOkCheck();
    void FormDrawKeepsTheDateAndCanHideIt();
    void FormInfoCardFollowsColumns();
};

void DrawsFormsTest::FormDrawOkCheck_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fault");  // empty when accepted
    QTest::newRow("typed order kept") << "33; 7,41;2;18;25;4" << "";
    QTest::newRow("repeated number") << "1;2;3;4;5;5;0" << "число 5 повторяется";
    QTest::newRow("out of range") << "1;2;3;4;5;43;0" << "число 43 вне диапазона 1..42";
    QTest::newRow("no extra ball") << "1;2;3;4;5;6" << "нужно 6 чисел и дополнительный шар, введено 6";
}

void DrawsFormsTest::FormDrawOkCheck() {
    QFETCH(QString, text);
    QFETCH(QString, fault);
    const bool accepted = fault.isEmpty();
    GuiHost host;
    test::Prompts prompts(host);
    TFormDraw form(host);
    form.SetDraw(test::MakeDraw(7, {1, 2, 3, 4, 5, 6}));
    QCOMPARE(form.findChild<QLineEdit*>("edDrawData")->text(), QStringLiteral("1;2;3;4;5;6;0"));
    form.findChild<QSpinBox*>("edDrawNumber")->setValue(12);
    form.findChild<QLineEdit*>("edDrawData")->setText(text);
    form.show();
    form.accept();

    QCOMPARE(form.isVisible(), !accepted);
    if (!accepted) {
        // The fixed message, then what is wrong.
        QCOMPARE(prompts.Seen,
                 QStringList{QStringLiteral("Ошибка|Введена некорректная комбинация!\n\n") + fault});
        return;
    }
    QVERIFY(prompts.Seen.isEmpty());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    const TDrawRecord d = form.Draw();
    QCOMPARE(d.DrawNo, 12);
    QCOMPARE(QString::fromStdString(DrawDataText(d)), QStringLiteral("33;7;41;2;18;25;4"));
}

void DrawsFormsTest::FormDrawKeepsTheDateAndCanHideIt() {
    GuiHost host;
    const TDrawRecord draw = test::MakeDraw(5, {1, 2, 3, 4, 5, 6}, 0, "05 марта 2021");
    {
        TFormDraw form(host);
        form.SetDraw(draw);
        QCOMPARE(form.findChild<QDateEdit*>("edDrawDate")->date(), QDate(2021, 3, 5));
        QCOMPARE(form.findChild<QTimeEdit*>("edDrawTime")->time(), QTime(0, 0));
        form.findChild<QTimeEdit*>("edDrawTime")->setTime(QTime(21, 30));
        form.accept();
        QCOMPARE(DrawDateText(form.Draw()), DrawDateToText(EncodeDate(2021, 3, 5)));
    }
    {
        TFormDraw form(host);
        form.SetShowDates(false);
        form.SetDraw(draw);
        form.show();
        QVERIFY(!form.findChild<QDateEdit*>("edDrawDate")->isVisible());
        QVERIFY(!form.findChild<QTimeEdit*>("edDrawTime")->isVisible());
        form.accept();
        QCOMPARE(DrawDateText(form.Draw()), std::string());
    }
}

void DrawsFormsTest::FormInfoCardFollowsColumns() {
    const int channel = 7;
    TFormInfo form(channel, 7);
    form.AddProperty(QStringLiteral("Номер тиража:"), QStringLiteral("101"));
    form.SetNumbers({42, 1, 8, 20});
    QCOMPARE(form.findChild<QTreeWidget*>("lvProps")->topLevelItem(0)->text(1),
             QStringLiteral("101"));

    auto* card = form.findChild<QTableWidget*>("sgCard");
    const auto text = [card](int row, int col) {
        const QTableWidgetItem* cell = card->item(row, col);
        return cell ? cell->text() : QStringLiteral("<none>");
    };
    QCOMPARE(card->columnCount(), 7);
    QCOMPARE(card->rowCount(), 6);
    QCOMPARE(text(0, 0), QStringLiteral("1"));
    QCOMPARE(text(1, 0), QStringLiteral("8"));
    QCOMPARE(text(2, 5), QStringLiteral("20"));
    QCOMPARE(text(5, 6), QStringLiteral("42"));
    QCOMPARE(text(0, 1), QString());
    const TColor c = NumberGroupColor(9, channel);
    QCOMPARE(card->item(1, 1)->background().color(), QColor(c.r, c.g, c.b));

    // 42 numbers in 10 columns: five rows, the last with two numbers.
    form.findChild<QSpinBox*>("seCols")->setValue(10);
    QCOMPARE(card->columnCount(), 10);
    QCOMPARE(card->rowCount(), 5);
    QCOMPARE(text(0, 0), QStringLiteral("1"));
    QCOMPARE(text(0, 7), QStringLiteral("8"));
    QCOMPARE(text(1, 9), QStringLiteral("20"));
    QCOMPARE(text(4, 1), QStringLiteral("42"));
    QCOMPARE(text(4, 2), QStringLiteral("<none>"));
}

QTEST_MAIN(DrawsFormsTest)
#include "draws_forms_test.moc"
