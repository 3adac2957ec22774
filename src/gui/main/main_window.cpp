#include "main/main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSplitter>
#include <QTableView>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <map>

#include "base/ini_file.h"
#include "base/platform.h"
#include "base/view_keys.h"
#include "combs/combs_tab.h"
#include "config/form_config.h"
#include "config/form_shredding.h"
#include "draws/draws_tab.h"
#include "help/help_commands.h"
#include "export/export_commands.h"
#include "main/command_table.h"
#include "main/file_dialogs.h"
#include "main/form_first_run.h"
#include "main/layout_state.h"
#include "main/menu_layout.h"
#include "main/shell_commands.h"
#include "main/status_panels.h"
#include "online/online_commands.h"
#include "online/script_library_commands.h"
#include "online/script_library_panel.h"
#include "ratings/ratings_commands.h"
#include "ratings/ratings_tab.h"
#include "regulars/regulars_commands.h"
#include "regulars/regulars_tab.h"
#include "online/update_commands.h"
#include "stats/graphs_tab.h"
#include "stats/stat_selectors.h"
#include "stats/statistics_tab.h"
#include "stats/stats_commands.h"
#include "scenario/scenario_commands.h"
#include "scenario/scenario_run_commands.h"
#include "scenario/scenario_tab.h"
#include "stakes/stakes_commands.h"
#include "stakes/stakes_tab.h"
#include "views/analysis_commands.h"
#include "stakes/stake_graph_commands.h"
#include "views/card_tab.h"
#include "views/layout_tab.h"
#include "views/number_views.h"
#include "views/week_tab.h"
#include "systems/systems_commands.h"
#include "systems/systems_tab.h"

namespace {

const QString kCaption = QStringLiteral("Анализ статистики лотереи \"Тессара 6 из 42\"");
constexpr int kInitDelayMs = 100;
constexpr int kLeftPanelWidth = 470;

// Pages of the right side; their views join later.
const char* const kRightTabs[] = {"Карта",   "Схема",    "Неделя",  "Ставки",
                                  "Рейтинг", "Регуляры", "Системы", "Сценарий"};
const QString kSystemsTab = QStringLiteral("Системы");

}  // namespace

MainWindow::MainWindow(const std::vector<std::string>& params, QWidget* parent)
    : QMainWindow(parent), switches_(tessara::ParseStartupSwitches(params)) {
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(kCaption);
    resize(1200, 760);

    panels_ = std::make_unique<StatusPanels>(statusBar());
    host_.SetWindow(this);
    host_.SetMessagePanel(panels_->Label(StatusPanels::Message));
    host_.OnNotify([this](tessara::Change change) { OnChange(change); });
    host_.OnBusyChanged([this](bool) {
        if (commands_) commands_->Update();
    });
    host_.OnRefreshViews([this](bool full) { RefreshViews(full); });

    const std::string dataDir =
        switches_.DataDir.empty() ? tessara::DefaultDataDir() : switches_.DataDir;
    ws_ = std::make_unique<tessara::Workspace>(host_, dataDir);
    SetDialogFolder(QString::fromStdString(ws_->DataDir()));

    commands_ = new CommandTable(host_, this);
    RegisterCommands();
    BuildTabs();
    exportCommands_ =
        std::make_unique<ExportCommands>(*ws_, *commands_, *statisticsTab_, *numberViews_, this);
    BuildMenu();
    ShellCommands::AddSecondKeys(*commands_);
    commands_->RouteSharedKeys();

    initTimer_.setSingleShot(true);
    initTimer_.setInterval(kInitDelayMs);
    connect(&initTimer_, &QTimer::timeout, this, &MainWindow::OnInitTimer);

    created_ = tessara::RunCreationStage(*ws_, switches_, *this);
    combsTab_->LoadViewOptions();
    numberViews_->LoadViewOptions();
    systemsCommands_->ApplyEnabled();
    commands_->Update();
}

MainWindow::~MainWindow() { Shutdown(); }

void MainWindow::RegisterCommands() {
    commands_->Add({.Name = QStringLiteral("ExitProgram"),
                    .Caption = QStringLiteral("Выход"),
                    .Shortcut = QKeySequence(Qt::ALT | Qt::Key_F4),
                    .Category = QStringLiteral("Файл"),
                    .Handler = [this] { close(); }});
    commands_->Add({.Name = QStringLiteral("EditConfig"),
                    .Caption = QStringLiteral("Параметры"),
                    .Category = QStringLiteral("Файл"),
                    .Handler = [this] { EditConfig(); }});
    commands_->Add({.Name = QStringLiteral("EditShredding"),
                    .Caption = QStringLiteral("Формулы шинковки"),
                    .Category = QStringLiteral("Файл"),
                    .Handler = [this] { EditShredding(); }});
    shellCommands_ = new ShellCommands(*ws_, *commands_, this);
    // Before the tabs: the draws panel carries the download button.
    onlineCommands_ = std::make_unique<OnlineCommands>(*ws_, *commands_, this);
    updateCommands_ = new UpdateCommands(*ws_, *commands_, this, [this] { RestartAfterUpdate(); });
    helpCommands_ = std::make_unique<HelpCommands>(*commands_, this, [this] { return ActiveHelpPage(); });
}

QString MainWindow::ActiveHelpPage() const {
    QWidget* focus = QApplication::focusWidget();
    QTabWidget* tabs = leftTabs_ && focus && leftTabs_->isAncestorOf(focus) ? leftTabs_ : rightTabs_;
    if (!tabs) return {};
    return HelpCommands::PageOfTab(tabs->tabText(tabs->currentIndex()));
}

void MainWindow::BuildTabs() {
    leftTabs_ = new QTabWidget;
    leftTabs_->setObjectName(QStringLiteral("pcLeft"));
    drawsTab_ = new DrawsTab(*ws_, *commands_, leftTabs_);
    leftTabs_->addTab(drawsTab_, QStringLiteral("Архив тиражей"));
    combsTab_ = new CombsTab(*ws_, *commands_, leftTabs_);
    leftTabs_->addTab(combsTab_, QStringLiteral("Комбинации"));

    rightTabs_ = new QTabWidget;
    rightTabs_->setObjectName(QStringLiteral("pcRight"));
    statSelectors_ = std::make_unique<StatSelectors>(*ws_);
    statsCommands_ = std::make_unique<StatsCommands>(*ws_, *statSelectors_, *commands_, this);
    statisticsTab_ = new StatisticsTab(*ws_, host_, *statSelectors_, *commands_);
    rightTabs_->addTab(statisticsTab_, QStringLiteral("Статистика"));
    graphsTab_ = new GraphsTab(*ws_, *statSelectors_, *commands_);
    rightTabs_->addTab(graphsTab_, QStringLiteral("Графики"));
    commands_->Add({.Name = QStringLiteral("TabGraps"),
                    .Caption = QStringLiteral("Вкладка \"Графики\""),
                    .Category = QStringLiteral("Вид"),
                    .Handler = [this] { ShowGraphsTab(!graphsTab_->Shown(), true); },
                    .Checked = [this] { return graphsTab_->Shown(); }});
    analysisCommands_ = std::make_unique<AnalysisCommands>(*ws_, *commands_, this);
    scenarioTab_ = new ScenarioTab(*ws_, *commands_, statSelectors_->StatBox(),
                                   [this] { return combsTab_->ExcludeDraws(); });
    runCommands_ = std::make_unique<ScenarioRunCommands>(*ws_, host_, *scenarioTab_, *commands_,
                                                         [this](bool locked) { LockForRun(locked); });
    scenarioTab_->AddRunButtons();
    // The online scenario catalogue under the scenario lines.
    libraryCommands_ =
        std::make_unique<ScriptLibraryCommands>(ws_->Library(), *commands_, this);
    libraryPanel_ = new ScriptLibraryPanel(ws_->Library(), *commands_);
    libraryCommands_->SetPanel(libraryPanel_);
    scenarioTab_->AddBottomPanel(libraryPanel_, ws_->Library().PanelHeight());
    libraryPanel_->setVisible(ws_->Library().PanelOn());
    libraryHeightTimer_.setSingleShot(true);
    libraryHeightTimer_.setInterval(500);
    connect(&libraryHeightTimer_, &QTimer::timeout, this,
            [this] { ws_->Library().SetPanelHeight(libraryPanel_->height()); });
    connect(scenarioTab_->Splitter(), &QSplitter::splitterMoved, this,
            [this] { libraryHeightTimer_.start(); });
    // Ctrl+Del deletes combinations or scenario lines, whichever has the focus.
    ScopeShortcut(commands_->Action(QStringLiteral("CombsDelSelected")), combsTab_);
    stakesTab_ = new StakesTab(*ws_, *commands_, *combsTab_);
    ratingsTab_ = new RatingsTab(*ws_, *commands_,
                                 [this] { rightTabs_->setCurrentWidget(scenarioTab_); });
    graphCommands_ = std::make_unique<StakeGraphCommands>(*ws_, *ratingsTab_, *commands_, this);
    regularsTab_ = new RegularsTab(*ws_, *commands_, *combsTab_,
                                   [this](bool on) { ShowRegularsTab(on); });
    numberViews_ = std::make_unique<NumberViews>(*ws_, *commands_, rightTabs_);
    systemsCommands_ = std::make_unique<SystemsCommands>(
        *ws_, *commands_, this, [this](bool on, bool activate) {
            rightTabs_->setTabVisible(systemsTab_, on);
            if (on && activate) rightTabs_->setCurrentIndex(systemsTab_);
        });
    systemsPage_ = new SystemsTab(ws_->Systems(), *commands_);
    systemsCommands_->SetTab(systemsPage_);
    const std::map<QString, QWidget*> built = {{QStringLiteral("Карта"), numberViews_->Card()},
                                               {QStringLiteral("Схема"), numberViews_->Layout()},
                                               {QStringLiteral("Неделя"), numberViews_->Week()},
                                               {QStringLiteral("Ставки"), stakesTab_},
                                               {QStringLiteral("Рейтинг"), ratingsTab_},
                                               {QStringLiteral("Регуляры"), regularsTab_},
                                               {QStringLiteral("Сценарий"), scenarioTab_},
                                               {kSystemsTab, systemsPage_}};
    for (const char* caption : kRightTabs) {
        const auto it = built.find(QString::fromUtf8(caption));
        QWidget* page = it != built.end() ? it->second : new QWidget;
        const int index = rightTabs_->addTab(page, QString::fromUtf8(caption));
        if (rightTabs_->tabText(index) == kSystemsTab) systemsTab_ = index;
    }
    // A view shown again recomputes only when its inputs changed meanwhile.
    connect(rightTabs_, &QTabWidget::currentChanged, this, [this] { RefreshViews(false); });

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitterMain"));
    splitter->addWidget(leftTabs_);
    splitter->addWidget(rightTabs_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({kLeftPanelWidth, width() - kLeftPanelWidth});
    setCentralWidget(splitter);
}

void MainWindow::BuildMenu() {
    for (const menu_layout::Menu& layout : menu_layout::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(layout.Title);
        commands_->FillMenu(menu, layout.Entries);
        connect(menu, &QMenu::aboutToShow, commands_, &CommandTable::Update);
    }
}

void MainWindow::RefreshDrawsStatus(bool force) {
    drawsTab_->RefreshList(force);
    panels_->SetText(StatusPanels::ArchiveSize, QString::fromStdString(ws_->ArchiveStatusText()));
    panels_->SetText(StatusPanels::NextDraw, QString::fromStdString(ws_->NextDrawStatusText()));
    panels_->SetText(StatusPanels::NextDrawResult,
                     QString::fromStdString(ws_->NextDrawResultText()));
}

void MainWindow::OnChange(tessara::Change change) {
    switch (change) {
        case tessara::Change::Archive:
            RefreshDrawsStatus(true);
            break;
        case tessara::Change::Offset:
            RefreshDrawsStatus(false);
            drawsTab_->Repaint();
            break;
        case tessara::Change::List:
            combsTab_->Refresh();
            panels_->SetText(StatusPanels::CombsCount,
                             QString::fromStdString(ws_->CombsStatusText()));
            break;
        case tessara::Change::Stakes:
            if (stakesTab_) stakesTab_->Refresh();
            panels_->SetText(StatusPanels::StakesCount,
                             QString::fromStdString(ws_->StakesGrid().StatusText));
            break;
        case tessara::Change::Ratings:
            if (ratingsTab_) ratingsTab_->Refresh();
            panels_->SetText(StatusPanels::RatingCount,
                             QString::fromStdString(ws_->RatingsStatusText()));
            break;
        case tessara::Change::Scenario:
            if (scenarioTab_) scenarioTab_->Refresh();
            break;
        case tessara::Change::Library:
            if (libraryPanel_) libraryPanel_->Refresh();
            break;
        case tessara::Change::Systems:
            if (systemsPage_) systemsPage_->Refresh();
            break;
        case tessara::Change::Options:
            drawsTab_->Repaint();
            commands_->Update();
            break;
        default:
            break;
    }
}

void MainWindow::ShowFirstRunDialog() {
    // The dialog is the last step of loading: everything is read, so the
    // commands are ready and its buttons into the help work.
    commands_->SetReady(true);
    const QStringList& pages = menu_layout::HelpPages();
    if (!TFormFirstRun::Run(*commands_, pages.constFirst(), pages.mid(1), this)) return;
    try {
        ws_->View().WriteBool(tessara::MainWindowSection, "FirstRun", false);
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
}

void MainWindow::HideSystemsTab() { rightTabs_->setTabVisible(systemsTab_, false); }

void MainWindow::StartInitTimer() { initTimer_.start(); }

void MainWindow::SetupStakesGrid() {
    ws_->ResetStakesGrid();
    stakesTab_->ResetColumns();
}

void MainWindow::SetupRatingsSorting() { ratingsTab_->Refresh(); }

void MainWindow::RestoreTabsVisibility() {
    bool tables = true;
    try {
        tables = ws_->View().ReadBool(tessara::MainWindowSection, "TabTables",
                                      tessara::MainViewDefault("TabTables"));
    } catch (const std::exception&) {
        // An unreadable view-state file is reported when the options load.
    }
    ws_->Regulars().SetTabVisible(tables);
    rightTabs_->setTabVisible(rightTabs_->indexOf(regularsTab_), tables);
    bool graphs = tessara::MainViewDefault("TabGraphs") != 0;
    try {
        graphs = ws_->View().ReadBool(tessara::MainWindowSection, "TabGraphs", graphs);
    } catch (const std::exception&) {
        // An unreadable view-state file is reported when the options load.
    }
    ShowGraphsTab(graphs, false);
}

void MainWindow::ShowRegularsTab(bool on) {
    const int index = rightTabs_->indexOf(regularsTab_);
    rightTabs_->setTabVisible(index, on);
    if (on) rightTabs_->setCurrentIndex(index);
}

void MainWindow::RestoreLayout() {
    const LayoutState layout(ws_->View().Path(), tessara::MainWindowSection);
    layout.RestoreGeometry(this);
    layout.RestorePane(findChild<QSplitter*>(QStringLiteral("splitterMain")), 0, "LeftPanelWidth");
    layout.RestorePane(findChild<QSplitter*>(QStringLiteral("splitterCombs")), 1, "FiltersHeight");
    layout.RestorePane(findChild<QSplitter*>(QStringLiteral("splitterDrawsStat")), 1,
                       "DrawsStatHeight");
    for (const QString& name : LayoutState::MainLists())
        if (auto* list = findChild<QAbstractItemView*>(name)) layout.RestoreColumns(list);
}

void MainWindow::SaveLayout() {
    try {
        LayoutState layout(ws_->View().Path(), tessara::MainWindowSection);
        layout.StoreGeometry(this);
        const auto splitter = [this](const char* name) {
            return findChild<QSplitter*>(QString::fromLatin1(name));
        };
        layout.StorePane(splitter("splitterMain"), 0, "LeftPanelWidth");
        layout.StorePane(splitter("splitterCombs"), 1, "FiltersHeight");
        layout.StorePane(splitter("splitterDrawsStat"), 1, "DrawsStatHeight");
        for (const QString& name : LayoutState::MainLists())
            if (auto* list = findChild<QAbstractItemView*>(name)) layout.StoreColumns(list);
        layout.Save();
    } catch (const std::exception&) {
        // The window is going away: a layout that cannot be kept is not worth
        // a message the user can no longer act on.
    }
}

void MainWindow::ResetStatisticsTab() {
    statSelectors_->Refill(false, false);
    statisticsTab_->LoadViewOptions();
    graphsTab_->LoadViewOptions();
}

void MainWindow::ShowGraphsTab(bool on, bool byUser) {
    graphsTab_->SetShown(on);
    rightTabs_->setTabVisible(rightTabs_->indexOf(graphsTab_), on);
    if (!byUser) return;
    try {
        ws_->View().WriteBool(tessara::MainWindowSection, "TabGraphs", on);
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
    if (!on) return;
    rightTabs_->setCurrentWidget(graphsTab_);
    graphsTab_->RefreshGraphs(true);
}

void MainWindow::RefreshViews(bool full) {
    if (!statisticsTab_) return;
    statisticsTab_->RefreshView(rightTabs_->currentWidget() == statisticsTab_, full);
    graphsTab_->RefreshView(rightTabs_->currentWidget() == graphsTab_, full);
    if (numberViews_) numberViews_->RefreshViews(full);
}

void MainWindow::EditConfig() {
    if (!TFormConfig::Edit(this, *ws_)) return;
    // New channel widths recolour the lists; changed families were
    // registered anew while the configuration was applied.
    drawsTab_->Repaint();
    combsTab_->Repaint();
    statSelectors_->Refill(false, true);
}

void MainWindow::EditShredding() {
    if (!TFormShredding::Edit(this, *ws_)) return;
    // The formulas are part of the captions of the shredding methods.
    statSelectors_->Refill(false, true);
}

void MainWindow::SetVersionCaption(const std::string& version) {
    setWindowTitle(kCaption + QStringLiteral(" версия ") + QString::fromStdString(version));
}

tessara::InitOutcome MainWindow::InitTick() {
    initTimer_.stop();
    const tessara::InitOutcome outcome = tessara::RunInitTick(*ws_, switches_, *this);
    initialized_ = true;
    commands_->SetReady(true);
    return outcome;
}

void MainWindow::OnInitTimer() {
    switch (InitTick()) {
        case tessara::InitOutcome::Ready:
            return;
        case tessara::InitOutcome::Restart:
            if (!RestartProgram()) return;
            break;
        case tessara::InitOutcome::Exit:
            break;
    }
    close();
    QCoreApplication::exit(0);
}

int MainWindow::AutoSelfUpdate() { return updateCommands_->CheckOnStart(); }

void MainWindow::RestartAfterUpdate() {
    if (!RestartProgram()) return;
    close();
    QCoreApplication::exit(0);
}

bool MainWindow::RestartProgram() {
    QStringList args{QStringLiteral("restart")};
    if (!switches_.DataDir.empty())
        args << QStringLiteral("--data-dir") << QString::fromStdString(switches_.DataDir);
    QProcess process;
    process.setProgram(QString::fromStdString(tessara::ExecutablePath()));
    process.setArguments(args);
    process.setWorkingDirectory(QString::fromStdString(tessara::ExecutableDir()));
    if (process.startDetached()) return true;
    host_.ShowError(tessara::MsgInitError + process.errorString().toStdString());
    return false;
}

bool MainWindow::event(QEvent* e) {
    // Hints go to the message panel, not over the whole status bar, and never
    // replace a progress text.
    if (e->type() == QEvent::StatusTip) {
        if (!host_.Busy())
            panels_->SetText(StatusPanels::Message, static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // A running scenario winds down first; the window closes when it has.
    if (runCommands_ && runCommands_->Running()) {
        runCommands_->Runner().RequestStop();
        closePending_ = true;
        e->ignore();
        return;
    }
    Shutdown();
    e->accept();
}

void MainWindow::LockForRun(bool locked) {
    for (int i = 0; i < leftTabs_->count(); ++i) leftTabs_->setTabEnabled(i, !locked);
    rightTabs_->setTabEnabled(rightTabs_->indexOf(statisticsTab_), !locked);
    scenarioTab_->List()->setEnabled(!locked);
    if (!locked && closePending_) QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::Shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    initTimer_.stop();
    if (created_) SaveLayout();
    tessara::RunShutdown(*ws_);
}
