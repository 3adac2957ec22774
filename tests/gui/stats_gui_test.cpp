#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "base/ini_file.h"
#include "app/workspace.h"
#include "config/form_config.h"
#include "draws/form_info.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "help/form_help.h"
#include "stats/form_filters.h"
#include "test_support.h"

using namespace tessara;

namespace {

// Draws 101..103; 101 keeps its numbers in drawn (unsorted) order and, as the
// oldest, is the last row of the list.
TDrawsArray FixtureDraws() {
    return {
        test::MakeDraw(101, {33, 7, 41, 2, 18, 25}, 4, "01 марта 2021"),
        test::MakeDraw(102, {1, 2, 3, 4, 5, 6}, 0, "04 марта 2021"),
        test::MakeDraw(103, {19, 20, 21, 22, 23, 24}, 5, "08 марта 2021"),
    };
}

QStringList Entries(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QTreeWidgetItem* MethodNode(TFormFilters* form, int method) {
    for (QTreeWidgetItemIterator it(form->findChild<QTreeWidget*>("tvFilters")); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == method) return *it;
    return nullptr;
}

void Trigger(TFormFilters* form, const char* action) {
    form->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

}  // namespace

class StatsGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void SelectorsListTheFavouriteMethods();
    void ManagerTicksChooseTheFavourites();
    void ManagerNamesAndOptions();
    void ResetAsksThenMakesAllFavourite();
    void DescriptionOfTheSelectedMethod();
    void EditConfigWritesTheFileAndKeepsSelection();
    void DrawsInfoListsGraphValues();

  private:
    Workspace& Work() const { return window_->Work(); }
    TStatList& Stats() const { return window_->Work().Stats(); }
    int Method(const char* code) const { return Stats().FindMethod(code); }
    QString Caption(const char* code) const {
        return QString::fromStdString(Stats().ListCaption(Method(code), true));
    }
    QComboBox* StatBox() const { return window_->findChild<QComboBox*>("cbDrawsStat"); }
    QComboBox* GraphBox() const { return window_->findChild<QComboBox*>("cbDrawsGraphType"); }
    IniFile FavouritesFile() const { return IniFile::Load(Work().FavouritesFile()); }
    // Runs the manager with work done on the open window; work decides OK or Cancel.
    void RunManager(std::function<void(TFormFilters*)> work) {
        test::OnNextModal<TFormFilters>(std::move(work));
        QVERIFY(window_->Commands().Execute("FiltersManager"));
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void StatsGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName), FixtureDraws());
    window_ = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir_->Path()});
    prompts_ = std::make_unique<test::Prompts>(window_->Host());
    QCOMPARE(window_->InitTick(), InitOutcome::Ready);
}

void StatsGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void StatsGuiTest::SelectorsListTheFavouriteMethods() {
    // Every listed method in registry order, each carrying its index; the
    // graph list only the methods with a graph.
    QStringList stats, graphs;
    QList<int> statMethods, graphMethods;
    for (int i = 0; i < Stats().Count(); ++i) {
        if (!Stats().IsListed(i)) continue;
        const QString caption = QString::fromStdString(Stats().ListCaption(i, true));
        stats << caption;
        statMethods << i;
        if (Stats().HasGraph(i)) {
            graphs << caption;
            graphMethods << i;
        }
    }
    QVERIFY(graphs.size() < stats.size());
    QCOMPARE(Entries(StatBox()), stats);
    QCOMPARE(Entries(GraphBox()), graphs);
    for (int i = 0; i < StatBox()->count(); ++i)
        QCOMPARE(StatBox()->itemData(i).toInt(), statMethods[i]);
    for (int i = 0; i < GraphBox()->count(); ++i)
        QCOMPARE(GraphBox()->itemData(i).toInt(), graphMethods[i]);
    QCOMPARE(StatBox()->itemText(0), QStringLiteral("{ num } Числа тиража [ N ]"));
    QCOMPARE(StatBox()->currentIndex(), 0);
    QCOMPARE(GraphBox()->currentIndex(), 0);
}

void StatsGuiTest::ManagerTicksChooseTheFavourites() {
    const QStringList all = Entries(StatBox());

    // Cancel leaves everything as it was.
    RunManager([](TFormFilters* form) {
        Trigger(form, "acResetAll");
        form->reject();
    });
    QCOMPARE(Entries(StatBox()), all);

    StatBox()->setCurrentIndex(3);
    RunManager([this](TFormFilters* form) {
        QCOMPARE(form->windowTitle(),
                 QStringLiteral("Менеджер избранных методов расчета статистики"));
        QCOMPARE(form->findChild<QLabel*>("lbCount")->text(),
                 QStringLiteral("всего %1 методов").arg(Stats().Count()));
        Trigger(form, "acResetAll");
        MethodNode(form, Method("NUMS"))->setCheckState(0, Qt::Checked);
        MethodNode(form, Method("EVEN"))->setCheckState(0, Qt::Checked);
        form->accept();
    });
    QCOMPARE(Entries(StatBox()), QStringList({Caption("NUMS"), Caption("EVEN")}));
    QCOMPARE(Entries(GraphBox()), QStringList{Caption("EVEN")});
    QCOMPARE(StatBox()->currentIndex(), 0);
    QCOMPARE(FavouritesFile().ReadString("FILTERS", "Favorites", ""), "NUMS,EVEN");

    // The tree shows the favourites; a group command ticks a whole group.
    RunManager([this](TFormFilters* form) {
        QCOMPARE(MethodNode(form, Method("EVEN"))->checkState(0), Qt::Checked);
        QCOMPARE(MethodNode(form, Method("DIGS"))->checkState(0), Qt::Unchecked);
        form->findChild<QTreeWidget*>("tvFilters")
            ->setCurrentItem(MethodNode(form, Method("SUME")));
        Trigger(form, "acSelectGroup");
        form->accept();
    });
    QVERIFY(Stats().IsFavourite(Method("SUMS")));
    QVERIFY(Stats().IsFavourite(Method("S2T3")));
    QVERIFY(Stats().IsFavourite(Method("NUMS")));
    QVERIFY(!Stats().IsFavourite(Method("DIGS")));

    // Nothing ticked means everything is a favourite again.
    RunManager([](TFormFilters* form) {
        Trigger(form, "acResetAll");
        form->accept();
    });
    QVERIFY(Stats().AllFavourites);
    QCOMPARE(Entries(StatBox()), all);
    QCOMPARE(FavouritesFile().ReadString("FILTERS", "Favorites", "?"), "");
}

void StatsGuiTest::ManagerNamesAndOptions() {
    struct Case {
        const char* Code;
        QString Typed;  // empty: "Вернуть" after renaming
        std::string Stored;
    };
    const Case cases[] = {
        {"NUMS", QStringLiteral("ЧИСЛА ТИРАЖА"), ""},  // the caption in another case
        {"EVEN", QStringLiteral("Чёт"), "Чёт"},
        {"SUMS", QString(), ""},
    };
    RunManager([&](TFormFilters* form) {
        auto* tree = form->findChild<QTreeWidget*>("tvFilters");
        for (const Case& c : cases) {
            QTreeWidgetItem* node = MethodNode(form, Method(c.Code));
            tree->setCurrentItem(node);
            QString title, prompt;
            test::OnNextModal<QInputDialog>([&](QInputDialog* dialog) {
                title = dialog->windowTitle();
                prompt = dialog->labelText();
                dialog->setTextValue(c.Typed.isEmpty() ? QStringLiteral("Другое") : c.Typed);
                dialog->accept();
            });
            Trigger(form, "acRename");
            QCOMPARE(title, QStringLiteral("Переименование"));
            QCOMPARE(prompt, QStringLiteral("Введите наименование фильтра:"));
            if (c.Typed.isEmpty()) Trigger(form, "acRestoreName");
        }
        form->findChild<QCheckBox*>("cbOrdered")->setChecked(true);
        form->findChild<QCheckBox*>("cbShowGroupName")->setChecked(false);
        form->accept();
    });
    const IniFile file = FavouritesFile();
    for (const Case& c : cases) {
        QCOMPARE(Stats().Items(Method(c.Code)).UserName, c.Stored);
        QCOMPARE(file.HasKey(TStatList::NamesSection(), c.Code), !c.Stored.empty());
    }
    QVERIFY(file.ReadBool("FILTERS", "Ordered", false));
    QVERIFY(!file.ReadBool("FILTERS", "ShowGroupName", true));

    const QStringList shown = Entries(StatBox());
    QVERIFY(shown.contains(QStringLiteral("Чёт [ NG ]")));
    QVERIFY(shown.contains(QStringLiteral("Числа тиража [ N ]")));
    for (int i = 1; i < shown.size(); ++i)
        QVERIFY2(QString::localeAwareCompare(shown[i - 1], shown[i]) <= 0, qPrintable(shown[i]));
}

void StatsGuiTest::ResetAsksThenMakesAllFavourite() {
    RunManager([this](TFormFilters* form) {
        Trigger(form, "acResetAll");
        MethodNode(form, Method("DIGS"))->setCheckState(0, Qt::Checked);
        form->accept();
    });
    QCOMPARE(StatBox()->count(), 1);
    const QString question =
        QStringLiteral("Подтверждение|Вы действительно хотите сбросить список избранных фильтров?");

    prompts_->Answers = {false};
    QVERIFY(window_->Commands().Execute("FiltersReset"));
    QCOMPARE(prompts_->Seen, QStringList{question});
    QCOMPARE(StatBox()->count(), 1);

    prompts_->Answers = {true};
    QVERIFY(window_->Commands().Execute("FiltersReset"));
    QVERIFY(Stats().AllFavourites);
    QVERIFY(StatBox()->count() > 1);
    QCOMPARE(FavouritesFile().ReadString("FILTERS", "Favorites", "?"), "");
}

void StatsGuiTest::DescriptionOfTheSelectedMethod() {
    QAction* info = window_->Commands().Action("FiltersInfo");
    StatBox()->setCurrentIndex(-1);
    QTRY_VERIFY(!info->isEnabled());
    // F8 opens the help window on the page of the statistic chosen: every
    // position of POSx, and the extra ball, share one page.
    const struct {
        const char* code;
        const char* page;
    } cases[] = {{"NUMS", "Filters_1049_NUMS.htm"},
                 {"POS3", "Filters_1049_POSx.htm"},
                 {"POE1", "Filters_1049_POSx.htm"},
                 {"PRV+1", "Filters_1049_PRV+1.htm"}};
    TFormHelp* first = nullptr;
    for (const auto& c : cases) {
        StatBox()->setCurrentIndex(StatBox()->findData(Method(c.code)));
        QTRY_VERIFY(info->isEnabled());
        QVERIFY(window_->Commands().Execute("FiltersInfo"));
        auto* help = window_->findChild<TFormHelp*>("FormHelp", Qt::FindDirectChildrenOnly);
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Page(), QString::fromLatin1(c.page));
        QVERIFY(TFormHelp::HasPage(help->Page()));
        // One window, reused.
        if (!first) first = help;
        QCOMPARE(help, first);
    }
    QCOMPARE(window_->findChildren<TFormHelp*>().size(), 1);

    // The manager, a modal window itself, shows the page in a modal window.
    QString page;
    RunManager([&](TFormFilters* form) {
        form->findChild<QTreeWidget*>("tvFilters")->setCurrentItem(MethodNode(form, Method("SUM2")));
        test::OnNextModal<TFormHelp>([&](TFormHelp* help) { page = help->Page(); });
        Trigger(form, "acDescription");
        form->reject();
    });
    QCOMPARE(page, QStringLiteral("Filters_1049_SUM2.htm"));
}

void StatsGuiTest::EditConfigWritesTheFileAndKeepsSelection() {
    StatBox()->setCurrentIndex(2);
    test::OnNextModal<TFormConfig>([](TFormConfig* form) {
        form->findChild<QSpinBox*>("edChannelSize")->setValue(10);
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("EditConfig"));

    const IniFile config = IniFile::Load(dir_->File(ConfigFileName));
    QCOMPARE(config.ReadInteger("GLOBAL", "ChannelSize", 0), 10);
    QCOMPARE(Work().Config().ChannelSize, 10);
    QCOMPARE(StatBox()->currentIndex(), 2);
    // The draws list shows the new channel colours: 33 in row 2 (draw 101).
    const QAbstractItemModel* draws = window_->findChild<QTableView*>("lvDraws")->model();
    const TColor c = NumberGroupColor(33, 10);
    QCOMPARE(draws->index(2, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(c.r, c.g, c.b));
}

void StatsGuiTest::DrawsInfoListsGraphValues() {
    // Draw 101 (row 2, index 0): drawn as 33 7 41 2 18 25, extra ball 4.
    struct Case {
        bool Sorted;
        QString Pos1;
    };
    for (const Case& c : {Case{false, "33"}, Case{true, "2"}}) {
        if (Work().SortedDraws() != c.Sorted) window_->Commands().Execute("DrawsSorted");
        window_->findChild<QTableView*>("lvDraws")->selectRow(2);
        QMap<QString, QString> values;
        QStringList names;
        test::OnNextModal<TFormInfo>([&](TFormInfo* form) {
            auto* props = form->findChild<QTreeWidget*>("lvProps");
            for (int i = 0; i < props->topLevelItemCount(); ++i) {
                names << props->topLevelItem(i)->text(0);
                values[props->topLevelItem(i)->text(0)] = props->topLevelItem(i)->text(1);
            }
        });
        QVERIFY(window_->Commands().Execute("DrawsInfo"));

        QStringList expected = {QStringLiteral("Номер тиража:"), QStringLiteral("Дата тиража:")};
        for (int i = 0; i < Stats().Count(); ++i)
            if (Stats().HasGraph(i) && Stats().IsListed(i))
                expected << QString::fromStdString(Stats().Items(i).DisplayName());
        QCOMPARE(names, expected);
        QCOMPARE(values[QStringLiteral("Номер тиража:")], QStringLiteral("101"));
        const auto valueOf = [&](const char* code) {
            return values[QString::fromStdString(Stats().Items(Method(code)).DisplayName())];
        };
        QCOMPARE(valueOf("POS1"), c.Pos1);
        QCOMPARE(valueOf("SUMS"), QStringLiteral("126"));
        QCOMPARE(valueOf("EVEN"), QStringLiteral("2"));
        QCOMPARE(valueOf("POE1"), QStringLiteral("4"));
    }
}

QTEST_MAIN(StatsGuiTest)
#include "stats_gui_test.moc"
