// The window's command table and menus against the written table: every
// command with its caption, key and category, the main menu and the popups in
// their order, keys held by several commands, and the second keys of keys the
// desktop takes for itself.
#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "base/view_keys.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/form_first_run.h"
#include "main/main_window.h"
#include "main/menu_layout.h"
#include "test_support.h"

using namespace tessara;

namespace {

struct WrittenCommand {
    const char* Name;
    const char* Caption;
    const char* Key;
    const char* Category;
};

const WrittenCommand kTable[] = {
    {"DrawsDownload", "Загрузка", "F3", "Архив тиражей"},
    {"DrawsAdd", "Добавить", "", "Архив тиражей"},
    {"DrawsEdit", "Изменить", "", "Архив тиражей"},
    {"DrawsDel", "Удалить", "", "Архив тиражей"},
    {"DrawsImport", "Импорт из CSV-файла", "", "Архив тиражей"},
    {"DrawsExport", "Экспорт в CSV-файл", "", "Архив тиражей"},
    {"DrawsXlsExport", "Экспорт в Microsoft Excel", "", "Архив тиражей"},
    {"DrawsInfo", "Сведения о тираже", "", "Архив тиражей"},
    {"DrawsSorted", "Упорядочить MIN->MAX", "", "Архив тиражей"},
    {"AutoDownload0", "По запросу (по умолчанию)", "", "Архив тиражей"},
    {"AutoDownload1", "Автоматически", "", "Архив тиражей"},
    {"AutoDownload2", "Отключено", "", "Архив тиражей"},
    {"ExitProgram", "Выход", "Alt+F4", "Файл"},
    {"EditConfig", "Параметры", "", "Файл"},
    {"EditShredding", "Формулы шинковки", "", "Файл"},
    {"EditProxy", "Параметры proxy-сервера", "", "Файл"},
    {"DrawsGraphDraw", "Обновить", "", "Статистика"},
    {"DrawsStatCalc", "Обновить", "", "Статистика"},
    {"DrawsStatExportToExcel", "Экспорт статистики в Microsoft Excel", "", "Статистика"},
    {"DrawsStatShowTotalLine", "График идеального распределения", "", "Статистика"},
    {"DrawsStatePrefetchsEnabled", "Использовать сравнение с полным набором комбинаций", "", "Статистика"},
    {"WeekStatCalc", "Обновить", "", "Статистика"},
    {"FiltersManager", "Избранные статистики", "F7", "Статистика"},
    {"FiltersReset", "Все доступные статистики", "Ctrl+F7", "Статистика"},
    {"FiltersInfo", "Описание статистики", "F8", "Статистика"},
    {"CombsGen", "Генерировать", "F2", "Комбинации"},
    {"CombsOpen", "Открыть", "Ctrl+O", "Комбинации"},
    {"CombsSave", "Сохранить", "Ctrl+S", "Комбинации"},
    {"CombsUndo", "Отменить", "Ctrl+Z", "Комбинации"},
    {"CombsDelExists", "Исключить тиражи", "Ctrl+E", "Комбинации"},
    {"CombsDelSelected", "Удалить выделенные", "Ctrl+Del", "Комбинации"},
    {"CombsInfo", "Сведения о комбинации", "", "Комбинации"},
    {"CombsCheckNums", "Количество уникальных номеров", "", "Комбинации"},
    {"CombsXlsExport", "Экспорт в Microsoft Excel", "", "Комбинации"},
    {"CombsFindInDraws", "Проверить по архиву тиражей", "Ctrl+F", "Комбинации"},
    {"CombsCopy", "Копировать в буфер", "Ctrl+C", "Комбинации"},
    {"CombsPaste", "Вставить из буфера", "Ctrl+V", "Комбинации"},
    {"CombsSelectAll", "Выделить все", "Ctrl+A", "Комбинации"},
    {"StatFilter_Include", "Оставить выделенные", "F7", "Фильтры"},
    {"StatFilter_Exclude", "Удалить выделенные", "Ctrl+F7", "Фильтры"},
    {"CardFilter_Include", "Оставить выделенные", "", "Фильтры"},
    {"CardFilter_Exclude", "Удалить выделенные", "", "Фильтры"},
    {"LayoutFilter_Include", "Оставить выделенные", "", "Фильтры"},
    {"LayoutFilter_Exclude", "Удалить выделенные", "", "Фильтры"},
    {"WeekFilter_Include", "Оставить выделенные", "", "Фильтры"},
    {"WeekFilter_Exclude", "Удалить выделенные", "", "Фильтры"},
    {"StakeAdd", "Сделать ставку", "F4", "Ставки"},
    {"StakeAddRandom", "Сделать случайную ставку", "Ctrl+F4", "Ставки"},
    {"StakeAddSelected", "Сделать ставки для выделенных комбинаций", "Alt+F4", "Ставки"},
    {"StakeAddAll", "Сделать ставки для всех комбинаций", "Ctrl+Alt+F4", "Ставки"},
    {"StakeDel", "Удалить ставку", "Ctrl+Del", "Ставки"},
    {"StakeFilter", "Удалить по условию", "Alt+D", "Ставки"},
    {"StakeClear", "Удалить все ставки", "Shift+Ctrl+Del", "Ставки"},
    {"RatingsRefresh", "Обновить рейтинг", "F5", "Ставки"},
    {"StakesGraphDraws", "Суммарный профит по тиражам", "F6", "Ставки"},
    {"StakesGraphOverlap", "График совпадений ставок", "Ctrl+F6", "Ставки"},
    {"StakesGraphProfits", "График профита ставок", "Alt+F6", "Ставки"},
    {"RatingsGraphOverlap", "Количество совпадений", "", "Ставки"},
    {"StakesCheckManual", "Проверить ставки", "Ctrl+F5", "Ставки"},
    {"RatingsExport", "Экспорт рейтинга в CSV-файл", "", "Ставки"},
    {"RatingsToScript", "Добавить в сценарий", "", "Ставки"},
    {"LogStakes", "Журналы ставок", "", "Ставки"},
    {"LogStakesDelete", "Удалить журналы ставок", "", "Ставки"},
    {"StakesXlsExport", "Экспорт ставок в Microsoft Excel", "", "Ставки"},
    {"RatingsXlsExport", "Экспорт рейтинга в Microsoft Excel", "", "Ставки"},
    {"StakesScroll", "Прокручивать список при добавлении", "", "Ставки"},
    {"StakesCheckLine", "Проверять ставки после каждой строки сценария", "", "Ставки"},
    {"RatingsEffMode0", "Ожидаемые значения совпадений", "", "Ставки"},
    {"RatingsEffMode1", "Абсолютные значения эффективности", "", "Ставки"},
    {"RatingsEffMode2", "Относительные значения эффективности", "", "Ставки"},
    {"TablesAdd", "Добавить регулярную ставку", "", "Регуляры"},
    {"TablesDel", "Удалить регулярную ставку", "", "Регуляры"},
    {"TablesStakeAdd", "Сделать ставку по регуляру", "", "Регуляры"},
    {"TablesStakeTest", "Тест регуляров", "", "Регуляры"},
    {"OpenLotoSite", "Сайт лотереи", "", "Справка"},
    {"GetHelp", "Справка", "F1", "Справка"},
    {"About", "О программе", "", "Справка"},
    {"ScriptOpen", "Открыть", "Ctrl+J", "Сценарий"},
    {"ScriptSave", "Сохранить", "Ctrl+I", "Сценарий"},
    {"ScriptRun", "Прогноз", "F10", "Сценарий"},
    {"ScriptTest", "Тест", "Ctrl+F10", "Сценарий"},
    {"ScriptStop", "Стоп", "Ctrl+X", "Сценарий"},
    {"ScriptAdd", "Добавить фильтры", "Ctrl+Ins", "Сценарий"},
    {"ScriptEmpty", "Добавить разделитель", "Ctrl+Alt+Ins", "Сценарий"},
    {"ScriptLoad", "Добавить сценарий", "", "Сценарий"},
    {"ScriptClone", "Клонировать", "Ctrl+K", "Сценарий"},
    {"ScriptEdit", "Изменить", "Ctrl+Enter", "Сценарий"},
    {"ScriptDel", "Удалить", "Ctrl+Del", "Сценарий"},
    {"ScriptClr", "Удалить все", "", "Сценарий"},
    {"ScriptUp", "Переместить вверх", "Ctrl+Up", "Сценарий"},
    {"ScriptDown", "Переместить вниз", "Ctrl+Down", "Сценарий"},
    {"LogToggle", "Журнал выполнения сценария", "", "Сценарий"},
    {"LogsDelete", "Удалить журналы выполнения сценариев", "", "Сценарий"},
    {"AutoSelfUpdate", "Автоматическое обновление", "", "Автообновление"},
    {"CheckUpdate", "Поиск обновлений", "", "Автообновление"},
    {"ViewColorDraws", "Выделять каналы в списке тиражей", "", "Вид"},
    {"ViewColorCombs", "Выделять каналы в списке комбинаций", "", "Вид"},
    {"ViewColorCard", "Выделять каналы в карте тиражей", "", "Вид"},
    {"ViewColorCardSequences", "Выделять последовательности в карте тиражей", "", "Вид"},
    {"ViewShemaGradient", "Градиентная раскраска схемы", "", "Вид"},
    {"ViewWeekChartMode", "График по дням недели", "", "Вид"},
    {"ViewWeekChartType", "График / диаграмма", "", "Вид"},
    {"TabGraps", "Вкладка \"Графики\"", "", "Вид"},
    {"TabCard", "Вкладка \"Карта\"", "", "Вид"},
    {"TabLayout", "Вкладка \"Схема\"", "", "Вид"},
    {"TabWeek", "Вкладка \"Неделя\"", "", "Вид"},
    {"TabTables", "Вкладка \"Регуляры\"", "", "Вид"},
    {"AnalyzeRepeats", "Количество повторов в зависимости от тиража", "", "Расширенная статистика"},
    {"TotalSumCombs", "Распределение сумм тиражей и всех возможных комбинаций", "", "Расширенная статистика"},
    {"LayoutCalc", "Обновить", "", "Схема"},
    {"LayoutXlsExport", "Экспорт схемы в Microsoft Excel", "", "Схема"},
    {"LayoutCmpCalc", "Обновить", "", "Схема"},
    {"CardXlsExport", "Экспорт карты тиражей в Microsoft Excel", "", "Карта"},
    {"ScriptLibrary", "Online каталог сценариев", "Ctrl+L", "Библиотека"},
    {"ScriptLibraryRefresh", "Обновить", "", "Библиотека"},
    {"ScriptLibraryDownload", "Скачать из каталога", "", "Библиотека"},
    {"ScriptLibraryUpload", "Опубликовать", "", "Библиотека"},
    {"ScriptLibraryReplace", "Изменить", "", "Библиотека"},
    {"ScriptLibraryDelete", "Удалить", "", "Библиотека"},
    {"ScriptLibraryView", "Свойства сценария", "", "Библиотека"},
    {"ScriptLibraryRates", "Просмотр оценок", "", "Библиотека"},
    {"ScriptLibraryRate0", "Удалить оценку", "", "Библиотека"},
    {"ScriptLibraryRate1", "[ 1 ] - Бесполезно", "", "Библиотека"},
    {"ScriptLibraryRate2", "[ 2 ] - Плохо", "", "Библиотека"},
    {"ScriptLibraryRate3", "[ 3 ] - Удовлетворительно", "", "Библиотека"},
    {"ScriptLibraryRate4", "[ 4 ] - Хорошо", "", "Библиотека"},
    {"ScriptLibraryRate5", "[ 5 ] - Отлично", "", "Библиотека"},
    {"ScriptLibraryHide", "Скрыть сценарий", "", "Библиотека"},
    {"SystemsOn", "Системная игра", "Ctrl+J", "Системы"},
    {"SystemsRefresh", "Обновить", "", "Системы"},
    {"SystemsDownload", "Загрузить", "", "Системы"},
    {"SystemsAdd", "Добавить", "", "Системы"},
    {"SystemsProp", "Свойства", "", "Системы"},
    {"SystemsDel", "Удалить", "", "Системы"},
    {"SystemStakeAll", "Cистемная игра по списку системы", "Ctrl+Alt+J", "Системы"},
    {"SystemStakeFilter", "Cистемная игра по списку комбинаций", "Alt+J", "Системы"},
};

// The main menu as written: "|" a separator, "[Title" ... "]" a submenu.
const char* const kMainMenu[][2] = {
    {"Файл", "[Язык_интерфейса Language_ru ] | EditConfig EditShredding EditProxy | ExitProgram"},
    {"Архив тиражей",
     "DrawsInfo | DrawsDownload [Автозагрузка_при_запуске_программы AutoDownload0 AutoDownload1 "
     "AutoDownload2 ] | DrawsImport DrawsExport DrawsXlsExport | DrawsAdd DrawsEdit DrawsDel | "
     "DrawsSorted"},
    {"Комбинации",
     "CombsInfo CombsCheckNums CombsFindInDraws | CombsGen CombsDelExists CombsDelSelected | "
     "CombsCopy CombsPaste CombsSelectAll | CombsOpen CombsSave | CombsUndo | CombsXlsExport"},
    {"Статистика",
     "FiltersManager FiltersReset FiltersInfo | DrawsStatExportToExcel | AnalyzeRepeats "
     "TotalSumCombs"},
    {"Ставки",
     "StakeAdd StakeAddRandom StakeAddSelected StakeAddAll SystemStakeFilter SystemStakeAll | "
     "StakeDel StakeFilter StakeClear | StakesGraphDraws | StakesXlsExport | StakesCheckManual | "
     "LogStakes LogStakesDelete StakesScroll StakesCheckLine"},
    {"Рейтинг",
     "StakesGraphOverlap StakesGraphProfits RatingsGraphOverlap [Эффективность_(столбцы_E0..n) "
     "RatingsEffMode0 RatingsEffMode1 RatingsEffMode2 ] | RatingsRefresh | RatingsToScript | "
     "RatingsExport RatingsXlsExport"},
    {"Регуляры", "TablesAdd TablesDel | TablesStakeAdd TablesStakeTest"},
    {"Системы", "SystemsOn | SystemsDownload | SystemsRefresh | SystemsAdd SystemsProp SystemsDel"},
    {"Сценарий",
     "ScriptOpen ScriptSave | [Online-каталог_сценариев ScriptLibrary ScriptLibraryDownload "
     "ScriptLibraryView ScriptLibraryUpload ScriptLibraryReplace ScriptLibraryDelete "
     "ScriptLibraryRates ScriptLibraryRefresh ] | ScriptAdd ScriptEmpty ScriptLoad ScriptClone "
     "ScriptEdit ScriptDel ScriptClr | ScriptUp ScriptDown | ScriptRun ScriptTest ScriptStop | "
     "LogToggle LogsDelete StakesCheckLine"},
    {"Вид",
     "TabGraps TabCard TabLayout TabWeek TabTables SystemsOn | ViewColorDraws ViewColorCombs "
     "ViewColorCard ViewColorCardSequences ViewShemaGradient"},
    {"Справка",
     "GetHelp About | AutoSelfUpdate CheckUpdate | OpenLotoSite | HelpManual HelpArchive "
     "HelpStatistics HelpScenarios HelpStakes HelpSystems HelpOnline HelpCommandLine"},
};

const char* const kPopups[][2] = {
    {"lvDraws",
     "DrawsInfo | DrawsDownload DrawsImport DrawsExport DrawsXlsExport | DrawsAdd DrawsEdit "
     "DrawsDel | DrawsSorted"},
    {"lvCombs",
     "CombsInfo CombsCheckNums CombsFindInDraws | CombsGen CombsDelExists CombsDelSelected | "
     "CombsCopy CombsPaste CombsSelectAll | CombsOpen CombsSave | CombsUndo | CombsXlsExport | "
     "StakeAdd StakeAddRandom StakeAddSelected StakeAddAll SystemStakeFilter SystemStakeAll | "
     "TablesAdd"},
    {"lvDrawsStat",
     "StatFilter_Include StatFilter_Exclude | DrawsStatCalc | DrawsStatExportToExcel | "
     "DrawsStatePrefetchsEnabled"},
    {"chart", "DrawsStatShowTotalLine"},
    {"graphs", "DrawsGraphDraw"},
    {"sgCard", "CardFilter_Include CardFilter_Exclude | CardXlsExport"},
    {"sgLayout", "LayoutFilter_Include LayoutFilter_Exclude | LayoutXlsExport | ViewShemaGradient"},
    {"sgWeek", "WeekFilter_Include WeekFilter_Exclude | ViewWeekChartMode ViewWeekChartType"},
    {"crtWeek", "ViewWeekChartMode ViewWeekChartType"},
};

// A menu as the words of kMainMenu; submenu titles with "_" for blanks.
QString MenuWords(const QMenu* menu) {
    QStringList words;
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator())
            words << QStringLiteral("|");
        else if (a->menu())
            words << QStringLiteral("[") + QString(a->menu()->title()).replace(' ', '_')
                  << MenuWords(a->menu()) << QStringLiteral("]");
        else
            words << a->objectName();
    }
    return words.join(' ');
}

// The layout's entries in the same words.
QString LayoutWords(const QStringList& entries) {
    QStringList words;
    for (const QString& e : entries) {
        if (e.startsWith('{'))
            words << QStringLiteral("[") + e.mid(e.indexOf(':') + 1).replace(' ', '_');
        else if (e == QLatin1String("}"))
            words << QStringLiteral("]");
        else
            words << e;
    }
    return words.join(' ');
}

}  // namespace

class CommandTableTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<test::TempDir>();
        test::StartMainWindow(dir_->Path(), window_, prompts_);
    }
    void cleanup() {
        window_.reset();
        dir_.reset();
    }

    void EveryWrittenCommandWithCaptionKeyAndCategory();
    void MainMenuInTheWrittenOrder();
    void PopupsInTheWrittenOrder();
    void SharedKeysReachTheCommandOfTheFocusedList();
    void DesktopKeysHaveASecondKeyShownInTheMenu();
    void ListingHasEveryCommand();
    void FirstRunDialogUntilTicked();

  private:
    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void CommandTableTest::EveryWrittenCommandWithCaptionKeyAndCategory() {
    const CommandTable& commands = window_->Commands();
    QStringList missing;
    for (const WrittenCommand& w : kTable)
        if (!commands.Row(QString::fromLatin1(w.Name))) missing << QString::fromLatin1(w.Name);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
    for (const WrittenCommand& w : kTable) {
        const QString name = QString::fromLatin1(w.Name);
        const CommandRow* row = commands.Row(name);
        QCOMPARE(row->Caption, QString::fromUtf8(w.Caption));
        if (row->Category != QString::fromUtf8(w.Category))
            missing << name + QStringLiteral(": ") + row->Category;
        const QList<QKeySequence> keys = commands.Keys(name);
        if (*w.Key == 0) {
            QVERIFY2(keys.isEmpty(), w.Name);
        } else {
            QVERIFY2(!keys.isEmpty(), w.Name);
            // The written Enter is the main keyboard's, which Qt calls Return.
            QString key = QString::fromLatin1(w.Key);
            key.replace(QStringLiteral("Enter"), QStringLiteral("Return"));
            QCOMPARE(keys.first(), QKeySequence(key));
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral("; "))));
    // Every command, written or our own, says in the status bar what it does.
    QStringList silent;
    for (const QString& name : commands.Names())
        if (commands.Row(name)->Hint.trimmed().isEmpty()) silent << name;
    QVERIFY2(silent.isEmpty(), qPrintable(QStringLiteral("no hint: ") + silent.join(' ')));
}

void CommandTableTest::MainMenuInTheWrittenOrder() {
    const QList<QAction*> menus = window_->menuBar()->actions();
    QCOMPARE(menus.size(), qsizetype(std::size(kMainMenu)));
    for (int i = 0; i < menus.size(); ++i) {
        QCOMPARE(menus[i]->text(), QString::fromUtf8(kMainMenu[i][0]));
        QCOMPARE(MenuWords(menus[i]->menu()), QString::fromUtf8(kMainMenu[i][1]));
    }
}

void CommandTableTest::PopupsInTheWrittenOrder() {
    using menu_layout::Popup;
    const Popup popups[] = {Popup::Draws,  Popup::Combs,  Popup::StatTable,
                            Popup::StatChart, Popup::Graphs, Popup::Card,
                            Popup::Layout, Popup::WeekTable, Popup::WeekChart};
    for (size_t i = 0; i < std::size(popups); ++i) {
        const QStringList entries = menu_layout::PopupEntries(popups[i]);
        QCOMPARE(LayoutWords(entries), QString::fromUtf8(kPopups[i][1]));
        for (const QString& name : menu_layout::CommandNames(entries))
            QVERIFY2(window_->Commands().Action(name), qPrintable(name));
    }
}

void CommandTableTest::SharedKeysReachTheCommandOfTheFocusedList() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const CommandTable& commands = window_->Commands();
    struct Case {
        const char* Focus;  // objectName of the widget with the focus
        const char* Key;
        const char* Target;  // "" when no command takes the key there
    };
    const Case cases[] = {
        {"lvCombs", "Ctrl+Del", "CombsDelSelected"}, {"sgStakes", "Ctrl+Del", "StakeDel"},
        {"lvScript", "Ctrl+Del", "ScriptDel"},       {"lvDraws", "Ctrl+Del", ""},
        {"lvDrawsStat", "F7", "StatFilter_Include"}, {"lvDraws", "F7", "FiltersManager"},
        {"lvDrawsStat", "Ctrl+F7", "StatFilter_Exclude"},
        {"lvCombs", "Ctrl+F7", "FiltersReset"},     {"lvScript", "Ctrl+J", "ScriptOpen"},
        {"lvDraws", "Ctrl+J", "SystemsOn"},         {"lvCombs", "Alt+F4", "StakeAddSelected"},
        {"lvDraws", "Alt+F4", "ExitProgram"},
    };
    for (const Case& c : cases) {
        auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(c.Focus));
        QVERIFY2(widget, c.Focus);
        // The page of the widget comes forward, as a click on it would do.
        for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
            if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
                if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
                    tabs->setCurrentWidget(w);
        widget->setFocus();
        QApplication::processEvents();
        QCOMPARE(commands.RouteTarget(QKeySequence(QString::fromLatin1(c.Key))),
                 QString::fromLatin1(c.Target));
    }
    // A real key press: Ctrl+Del in the combination list deletes its
    // selected row.
    auto* combs = window_->findChild<QTableView*>(QStringLiteral("lvCombs"));
    window_->findChild<QTabWidget*>(QStringLiteral("pcLeft"))->setCurrentIndex(1);
    QApplication::setActiveWindow(window_.get());
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    combs->setFocus();
    combs->selectRow(0);
    const int before = window_->Work().CombsCount();
    QVERIFY(before > 0);
    QTest::keyClick(combs, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(window_->Work().CombsCount(), before - 1);
}

void CommandTableTest::DesktopKeysHaveASecondKeyShownInTheMenu() {
    const struct {
        const char* Name;
        const char* Second;
    } cases[] = {{"ExitProgram", "Ctrl+Q"},
                 {"StakeAddSelected", "Shift+F4"},
                 {"StakeAddAll", "Ctrl+Shift+F4"},
                 {"StakesGraphProfits", "Shift+F6"}};
    for (const auto& c : cases) {
        const QList<QKeySequence> keys = window_->Commands().Keys(QString::fromLatin1(c.Name));
        QCOMPARE(keys.size(), 2);
        QCOMPARE(keys[1], QKeySequence(QString::fromLatin1(c.Second)));
        // The menu shows the text after the tab as the keys.
        const QString text = window_->Commands().Action(QString::fromLatin1(c.Name))->text();
        QVERIFY2(text.endsWith(keys[0].toString(QKeySequence::NativeText) + QStringLiteral(", ") +
                               keys[1].toString(QKeySequence::NativeText)),
                 qPrintable(text));
    }
}

void CommandTableTest::ListingHasEveryCommand() {
    const QStringList lines = menu_layout::Listing(window_->Commands());
    QCOMPARE(lines.size(), window_->Commands().Names().size());
    QVERIFY(lines.contains(QStringLiteral(
        "AutoDownload1\tАвтоматически\t\tАрхив тиражей\tАрхив тиражей > Автозагрузка при запуске "
        "программы")));
    QVERIFY(lines.contains(QStringLiteral(
        "ExitProgram\tВыход\tAlt+F4, Ctrl+Q\tФайл\tФайл")));
    QVERIFY(lines.contains(QStringLiteral(
        "StatFilter_Include\tОставить выделенные\tF7\tФильтры\t")));
    // The main keyboard's Enter goes by the name on its key, in the list and
    // in the menus.
    QVERIFY(lines.contains(QStringLiteral("ScriptEdit\tИзменить\tCtrl+Enter\tСценарий\tСценарий")));
    QVERIFY(window_->Commands()
                .Action(QStringLiteral("ScriptEdit"))
                ->text()
                .endsWith(QStringLiteral("\tCtrl+Enter")));
}

// The first-run dialog shows while FirstRun is on, at the end of loading
// with its buttons into the help working; ticking "Больше не показывать
// данный диалог" switches it off.
void CommandTableTest::FirstRunDialogUntilTicked() {
    window_.reset();
    {
        test::RecordingHost host;
        Workspace ws(host, dir_->Path());
        ws.View().WriteBool(MainWindowSection, "FirstRun", true);
    }
    QStringList buttons;
    test::OnNextModal<TFormFirstRun>([&buttons](TFormFirstRun* form) {
        for (const QPushButton* b : form->findChildren<QPushButton*>())
            if (b->objectName().startsWith(QStringLiteral("btn")) && b->isEnabled())
                buttons << b->objectName();
        form->findChild<QCheckBox*>(QStringLiteral("cbDontShow"))->setChecked(true);
        form->reject();
    });
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    QCOMPARE(buttons.size(), 8);
    QCOMPARE(buttons.first(), QStringLiteral("btnHelpManual"));
    QVERIFY(!window_->Work().View().ReadBool(MainWindowSection, "FirstRun", true));
}

QTEST_MAIN(CommandTableTest)
#include "command_table_test.moc"
