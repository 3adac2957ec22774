#include "main/menu_layout.h"

#include <QAction>
#include <QHash>

#include "main/command_table.h"

namespace menu_layout {

namespace {

QStringList Split(const char* text) {
    QStringList names;
    for (const QString& name : QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        names << name;
    return names;
}

// Submenus carry titles with blanks, so they are spliced in whole.
QStringList Sub(const char* object, const char* title, const char* names) {
    return QStringList{QStringLiteral("{") + QString::fromLatin1(object) + QLatin1Char(':') +
                       QString::fromUtf8(title)} +
           Split(names) + QStringList{QStringLiteral("}")};
}

QList<Menu> BuildMainMenu() {
    QList<Menu> menus;
    menus.append({QStringLiteral("Файл"),
                  Sub("miLanguage", "Язык интерфейса", "Language_ru") +
                      Split("| EditConfig EditShredding EditProxy | ExitProgram")});
    menus.append({QStringLiteral("Архив тиражей"),
                  Split("DrawsInfo | DrawsDownload") +
                      Sub("mnAutoDownload", "Автозагрузка при запуске программы",
                          "AutoDownload0 AutoDownload1 AutoDownload2") +
                      Split("| DrawsImport DrawsExport DrawsXlsExport | DrawsAdd DrawsEdit "
                            "DrawsDel | DrawsSorted")});
    menus.append({QStringLiteral("Комбинации"),
                  Split("CombsInfo CombsCheckNums CombsFindInDraws | CombsGen CombsDelExists "
                        "CombsDelSelected | CombsCopy CombsPaste CombsSelectAll | CombsOpen "
                        "CombsSave | CombsUndo | CombsXlsExport")});
    menus.append({QStringLiteral("Статистика"),
                  Split("FiltersManager FiltersReset FiltersInfo | DrawsStatExportToExcel | "
                        "AnalyzeRepeats TotalSumCombs")});
    menus.append({QStringLiteral("Ставки"),
                  Split("StakeAdd StakeAddRandom StakeAddSelected StakeAddAll SystemStakeFilter "
                        "SystemStakeAll | StakeDel StakeFilter StakeClear | StakesGraphDraws | "
                        "StakesXlsExport | StakesCheckManual | LogStakes LogStakesDelete "
                        "StakesScroll StakesCheckLine")});
    menus.append({QStringLiteral("Рейтинг"),
                  Split("StakesGraphOverlap StakesGraphProfits RatingsGraphOverlap") +
                      Sub("miRatingsEffMode", "Эффективность (столбцы E0..n)",
                          "RatingsEffMode0 RatingsEffMode1 RatingsEffMode2") +
                      Split("| RatingsRefresh | RatingsToScript | RatingsExport RatingsXlsExport")});
    menus.append({QStringLiteral("Регуляры"),
                  Split("TablesAdd TablesDel | TablesStakeAdd TablesStakeTest")});
    menus.append({QStringLiteral("Системы"),
                  Split("SystemsOn | SystemsDownload | SystemsRefresh | SystemsAdd SystemsProp "
                        "SystemsDel")});
    menus.append({QStringLiteral("Сценарий"),
                  Split("ScriptOpen ScriptSave |") +
                      Sub("miScriptLibrary", "Online-каталог сценариев",
                          "ScriptLibrary ScriptLibraryDownload ScriptLibraryView "
                          "ScriptLibraryUpload ScriptLibraryReplace ScriptLibraryDelete "
                          "ScriptLibraryRates ScriptLibraryRefresh") +
                      Split("| ScriptAdd ScriptEmpty ScriptLoad ScriptClone ScriptEdit ScriptDel "
                            "ScriptClr | ScriptUp ScriptDown | ScriptRun ScriptTest ScriptStop | "
                            "LogToggle LogsDelete StakesCheckLine")});
    menus.append({QStringLiteral("Вид"),
                  Split("TabGraps TabCard TabLayout TabWeek TabTables SystemsOn | ViewColorDraws "
                        "ViewColorCombs ViewColorCard ViewColorCardSequences ViewShemaGradient")});
    // There is no maker's site: its eight pages are pages of the help.
    menus.append({QStringLiteral("Справка"),
                  Split("GetHelp About | AutoSelfUpdate CheckUpdate | OpenLotoSite |") +
                      HelpPages()});
    return menus;
}

}  // namespace

const QStringList& HelpPages() {
    static const QStringList names =
        Split("HelpManual HelpArchive HelpStatistics HelpScenarios HelpStakes HelpSystems "
              "HelpOnline HelpCommandLine");
    return names;
}

const QList<Menu>& MainMenu() {
    static const QList<Menu> menus = BuildMainMenu();
    return menus;
}

const QStringList& PopupEntries(Popup popup) {
    static const QHash<int, QStringList> popups = {
        {int(Popup::Draws),
         Split("DrawsInfo | DrawsDownload DrawsImport DrawsExport DrawsXlsExport | DrawsAdd "
               "DrawsEdit DrawsDel | DrawsSorted")},
        {int(Popup::Combs),
         Split("CombsInfo CombsCheckNums CombsFindInDraws | CombsGen CombsDelExists "
               "CombsDelSelected | CombsCopy CombsPaste CombsSelectAll | CombsOpen CombsSave | "
               "CombsUndo | CombsXlsExport | StakeAdd StakeAddRandom StakeAddSelected StakeAddAll "
               "SystemStakeFilter SystemStakeAll | TablesAdd")},
        {int(Popup::StatTable),
         Split("StatFilter_Include StatFilter_Exclude | DrawsStatCalc | DrawsStatExportToExcel | "
               "DrawsStatePrefetchsEnabled")},
        {int(Popup::StatChart), Split("DrawsStatShowTotalLine")},
        {int(Popup::Graphs), Split("DrawsGraphDraw")},
        {int(Popup::Card), Split("CardFilter_Include CardFilter_Exclude | CardXlsExport")},
        {int(Popup::Layout),
         Split("LayoutFilter_Include LayoutFilter_Exclude | LayoutXlsExport | ViewShemaGradient")},
        {int(Popup::WeekTable),
         Split("WeekFilter_Include WeekFilter_Exclude | ViewWeekChartMode ViewWeekChartType")},
        {int(Popup::WeekChart), Split("ViewWeekChartMode ViewWeekChartType")},
    };
    return *popups.find(int(popup));
}

QStringList CommandNames(const QStringList& entries) {
    QStringList names;
    for (const QString& e : entries)
        if (e != QLatin1String("|") && e != QLatin1String("}") && !e.startsWith(QLatin1Char('{')))
            names << e;
    return names;
}

QString MenuPath(const QString& command) {
    for (const Menu& menu : MainMenu()) {
        QStringList path{menu.Title};
        for (const QString& e : menu.Entries) {
            if (e.startsWith(QLatin1Char('{')))
                path << e.mid(e.indexOf(QLatin1Char(':')) + 1);
            else if (e == QLatin1String("}"))
                path.removeLast();
            else if (e == command)
                return path.join(QStringLiteral(" > "));
        }
    }
    return {};
}

QStringList Listing(const CommandTable& commands) {
    QStringList lines;
    for (const QString& name : commands.Names()) {
        const CommandRow* row = commands.Row(name);
        QStringList keys;
        for (const QKeySequence& key : commands.Keys(name))
            keys << key.toString(QKeySequence::PortableText)
                        .replace(QLatin1String("Return"), QLatin1String("Enter"));
        lines << QStringList{name, row->Caption, keys.join(QStringLiteral(", ")), row->Category,
                             MenuPath(name)}
                     .join(QLatin1Char('\t'));
    }
    return lines;
}

}  // namespace menu_layout
