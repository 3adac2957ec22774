#include "config/form_config.h"
#include "config/form_shredding.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/user_locale.h"
#include "model/encoding.h"
#include "model/format.h"
#include "model/game.h"
#include "stakes/ratings.h"
#include "test_support.h"

using namespace tessara;

namespace {

constexpr TMoney Money(double amount) { return static_cast<TMoney>(amount * MoneyScale); }

// Types into a cell through its editor and leaves it with Enter, as a user
// would. The view commits on a later turn of the event loop and the complaint,
// if any, comes after that, so both are waited for.
void TypeIntoCell(QTableWidget* grid, int row, int col, const QString& keys) {
    grid->setCurrentCell(row, col);
    grid->editItem(grid->item(row, col));
    QPointer<QLineEdit> editor = grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->clear();
    QTest::keyClicks(editor, keys);
    QTest::keyClick(editor, Qt::Key_Enter);
    QTRY_VERIFY(editor.isNull());
    QCoreApplication::sendPostedEvents();
}

QString Cell(const QTableWidget* grid, int row, int col) {
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QStringLiteral("<none>");
}

}  // namespace

class FormConfigTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void PrizeRowsShowSevenRowsAndReadBack();
    void SegmentCellChecksLeftText_data();
    void SegmentCellChecksLeftText();
    void ColumnCountRelaysSegments();
    void ResultTakesEditsAndKeepsUntouchedValues();
    void EditAppliesOnOkOnly();
    void ShreddingFormulasApplyOnOk();
    void UserLocaleDecidesTheSeparator();
};

void FormConfigTest::initTestCase() {
    // The users' locale: "," is the decimal separator.
    ApplyUserLocale(QLocale(QLocale::Russian, QLocale::Russia));
}

void FormConfigTest::UserLocaleDecidesTheSeparator() {
    TRatingRecord row{};
    SetShortString(row.NameLen, row.Name, sizeof row.Name, "Тест");
    row.Stakes = 2;
    row.Matched = 6;
    row.Profit = MoneyFromAmount(-21);
    const struct {
        QLocale user;
        char separator;
        const char* csvRow;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), '.', "\"Тест\";2;6;3.000;-21.00;-10.50"},
        {QLocale(QLocale::German, QLocale::Germany), ',', "\"Тест\";2;6;3,000;-21,00;-10,50"},
    };
    for (const auto& c : cases) {
        ApplyUserLocale(c.user);
        QCOMPARE(DecimalSeparator(), c.separator);
        // The interface stays Russian whatever the user's numbers are.
        QCOMPARE(QLocale().language(), QLocale::Russian);
        const std::string csv = Cp1251ToUtf8(RatingsCsvText({row}));
        QVERIFY2(csv.find(std::string("\r\n") + c.csvRow + ";") != std::string::npos, csv.c_str());
        QCOMPARE(NumberLocale().decimalPoint(), QString(QLatin1Char(c.separator)));
    }
    ApplyUserLocale(QLocale(QLocale::Russian, QLocale::Russia));
}

void FormConfigTest::PrizeRowsShowSevenRowsAndReadBack() {
    QCOMPARE(TFormConfig::PrizeRowText(0, Money(100)), QStringLiteral("0=100.00"));
    QCOMPARE(TFormConfig::PrizeRowText(6, 12345), QStringLiteral("6=1.23"));
    QCOMPARE(TFormConfig::PrizeRowText(3, Money(1000000), u','), QStringLiteral("3=1000000,00"));

    TConfigData config;
    config.Profits = {{3, Money(100)}, {6, Money(1000000)}};
    test::RecordingHost host;
    TFormConfig form(config, host);
    auto* grid = form.findChild<QTableWidget*>("edProfits");
    QVERIFY(grid);
    QCOMPARE(grid->rowCount(), 7);
    const QStringList shown = {"100,00", "1000000,00", "0,00", "0,00", "0,00", "0,00", "0,00"};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(Cell(grid, i, 0), QString::number(i));
        QCOMPARE(Cell(grid, i, 1), shown[i]);
    }

    // Letters never reach the value; either separator reads as decimal.
    TypeIntoCell(grid, 2, 1, QStringLiteral("2x5.5"));
    QCOMPARE(Cell(grid, 2, 1), QStringLiteral("25.5"));
    TypeIntoCell(grid, 3, 1, QStringLiteral("7,25"));
    grid->item(4, 1)->setText(QStringLiteral("1.2.3"));  // not a number: 0

    const TConfigData r = form.Result();
    const std::vector<TPrizeRow> expected = {
        {0, Money(100)}, {1, Money(1000000)}, {2, Money(25.5)}, {3, Money(7.25)}, {4, 0}, {5, 0},
        {6, 0}};
    QVERIFY(r.Profits == expected);
    QVERIFY(host.Messages.empty());
}

void FormConfigTest::SegmentCellChecksLeftText_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("complaint");  // the rejected text, or none
    QTest::newRow("zero") << "0"
                          << "1"
                          << "0";
    QTest::newRow("two digits") << "12"
                                << "1"
                                << "12";
    QTest::newRow("emptied") << ""
                             << "1"
                             << "";
    QTest::newRow("letters filtered") << "a7b"
                                      << "7" << QString();
    QTest::newRow("nine") << "9"
                          << "9" << QString();
}

void FormConfigTest::SegmentCellChecksLeftText() {
    QFETCH(QString, keys);
    QFETCH(QString, cell);
    QFETCH(QString, complaint);
    TConfigData config;
    config.MatrixSegments[9] = 4;  // number 10: row 1, column 2 of seven
    test::RecordingHost host;
    TFormConfig form(config, host);
    form.show();
    auto* grid = form.findChild<QTableWidget*>("sgSegments");
    QCOMPARE(Cell(grid, 1, 2), QStringLiteral("4"));

    TypeIntoCell(grid, 1, 2, keys);
    QCOMPARE(Cell(grid, 1, 2), cell);
    if (complaint.isNull()) {
        QVERIFY(host.Messages.empty());
    } else {
        QCOMPARE(host.Messages.size(), size_t(1));
        QCOMPARE(host.Messages[0].Kind, MessageKind::Error);
        QCOMPARE(QString::fromStdString(host.Messages[0].Text),
                 QStringLiteral("Некорректное значение: ") + complaint +
                     QStringLiteral("!\r\rУкажите любое число от 1 до 9"));
    }
    QCOMPARE(int(form.Result().MatrixSegments[9]), cell.toInt());
}

void FormConfigTest::ColumnCountRelaysSegments() {
    TConfigData config;
    config.MatrixSegments = ParseSegmentsText("123456789");
    config.MatrixSegments[41] = 5;
    test::RecordingHost host;
    TFormConfig form(config, host);
    auto* cols = form.findChild<QSpinBox*>("edMatrixCol");
    auto* rows = form.findChild<QSpinBox*>("edMatrixRow");
    auto* grid = form.findChild<QTableWidget*>("sgSegments");
    QCOMPARE(rows->value(), 6);
    QCOMPARE(Cell(grid, 1, 0), QStringLiteral("8"));  // number 8 under number 1
    // An edit made before the re-lay moves with its number.
    TypeIntoCell(grid, 0, 1, QStringLiteral("6"));  // number 2

    cols->setValue(5);
    QCOMPARE(rows->value(), 9);
    QCOMPARE(grid->columnCount(), 5);
    QCOMPARE(grid->rowCount(), 9);
    QCOMPARE(Cell(grid, 1, 2), QStringLiteral("8"));  // number 8 = 1 + 2 + 1 * 5
    QCOMPARE(Cell(grid, 0, 1), QStringLiteral("6"));
    QCOMPARE(Cell(grid, 8, 1), QStringLiteral("5"));  // number 42
    // Cells past number 42 take no part.
    QCOMPARE(grid->item(8, 2)->flags(), Qt::NoItemFlags);
    QCOMPARE(grid->item(8, 2)->text(), QString());
    QVERIFY(grid->item(8, 1)->flags() & Qt::ItemIsEditable);

    const TConfigData r = form.Result();
    QCOMPARE(r.MatrixCols, 5);
    QCOMPARE(QString::fromStdString(r.SegmentsText()),
             QStringLiteral("163456789111111111111111111111111111111115"));
}

void FormConfigTest::ResultTakesEditsAndKeepsUntouchedValues() {
    TConfigData config;
    config.Cost = 123456;  // 12.3456: finer than the field shows
    config.MaxStake = 12;  // outside the field's range, as a hand-edited file may hold
    config.Coefs = {0.12345, -1, 1, false, true};
    test::RecordingHost host;
    {
        TFormConfig form(config, host);
        QCOMPARE(form.findChild<QSpinBox*>("edStakeMaxLen")->value(), 10);
        TConfigData r = form.Result();
        QCOMPARE(r.Profits.size(), size_t(7));  // OK always writes seven prize rows
        r.Profits = config.Profits;
        QVERIFY(r == config);
    }
    TFormConfig form(config, host);
    form.findChild<QSpinBox*>("edChannelSize")->setValue(10);
    form.findChild<QDoubleSpinBox*>("edCost")->setValue(2.5);
    form.findChild<QSpinBox*>("edStakeMaxLen")->setValue(8);
    form.findChild<QDoubleSpinBox*>("edCoefDeviation")->setValue(-0.75);
    form.findChild<QCheckBox*>("cbCoefPercents")->setChecked(true);
    form.findChild<QCheckBox*>("cbCoefAbs")->setChecked(false);

    const TConfigData r = form.Result();
    QCOMPARE(r.ChannelSize, 10);
    QCOMPARE(r.Cost, Money(2.5));
    QCOMPARE(r.MaxStake, 8);
    QVERIFY(r.Coefs == (TCDLCoefs{0.12345, -0.75, 1, true, false}));
    QCOMPARE(r.MatrixCols, config.MatrixCols);
}

void FormConfigTest::EditAppliesOnOkOnly() {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    const TConfigData before = ws.Config();

    test::OnNextModal<TFormConfig>([](TFormConfig* form) {
        form->findChild<QSpinBox*>("edChannelSize")->setValue(12);
        form->reject();
    });
    QVERIFY(!TFormConfig::Edit(nullptr, ws));
    QVERIFY(ws.Config() == before);

    test::OnNextModal<TFormConfig>([](TFormConfig* form) {
        form->findChild<QSpinBox*>("edChannelSize")->setValue(12);
        form->accept();
    });
    QVERIFY(TFormConfig::Edit(nullptr, ws));
    QCOMPARE(ws.Config().ChannelSize, 12);
    QCOMPARE(ws.Config().Profits.size(), size_t(7));
    Workspace reread(host, dir.Path());
    reread.LoadConfig();
    QCOMPARE(reread.Config().ChannelSize, 12);
}

void FormConfigTest::ShreddingFormulasApplyOnOk() {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.LoadConfig();
    ws.RegisterStats();
    test::OnNextModal<TFormShredding>([](TFormShredding* form) {
        QCOMPARE(form->findChild<QLineEdit*>("edFormula1")->text(),
                 QStringLiteral("(n1+n2+n3)/(n4+n5+n6)"));
        form->findChild<QLineEdit*>("edFormula2")->setText(QStringLiteral("n1/7"));
        form->findChild<QSpinBox*>("edDigits2")->setValue(4);
        form->accept();
    });
    QVERIFY(TFormShredding::Edit(nullptr, ws));
    QCOMPARE(ws.Shredding().Formulas[1], std::string("n1/7"));
    QCOMPARE(ws.Shredding().Digits[1], 4);
    QCOMPARE(ws.Shredding().Formulas[0], std::string("(n1+n2+n3)/(n4+n5+n6)"));
    // The method's caption shows the new formula at once, and the file has it.
    const int m = ws.Stats().FindMethod("SHR2");
    QVERIFY(m >= 0);
    QVERIFY(ws.Stats().ListCaption(m, true).find("n1/7") != std::string::npos);
    Workspace reread(host, dir.Path());
    reread.LoadConfig();
    QCOMPARE(reread.Shredding().Formulas[1], std::string("n1/7"));
    QCOMPARE(reread.Shredding().Digits[1], 4);
}

QTEST_MAIN(FormConfigTest)
#include "form_config_test.moc"
