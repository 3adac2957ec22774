#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class CommandTable;
class FlowLayout;
class QComboBox;
class QLabel;
class QSplitter;
class QStatusBar;
class QTableView;
class ScenarioCommands;
class ScenarioModel;

namespace tessara {
class Workspace;
}

// The "Сценарий" tab: the button panel, the table of the scenario's lines and
// the tab's status bar. Registers the scenario commands in the command table.
class ScenarioTab : public QWidget {
    Q_OBJECT
  public:
    static constexpr int PanelCount = 5;

    // methods: the statistics tab's method list (the filter editor's
    // choices); startCount: the line editor's default start count.
    ScenarioTab(tessara::Workspace& ws, CommandTable& commands, const QComboBox* methods,
                std::function<int()> startCount, QWidget* parent = nullptr);
    ~ScenarioTab() override;

    QTableView* List() const { return lvScript_; }
    ScenarioModel* Model() const { return model_; }
    QStatusBar* StatusBar() const { return sbScript_; }
    QLabel* Panel(int i) const { return panels_[static_cast<size_t>(i)]; }

    // The first selected row from the top, or -1.
    int FirstSelectedRow() const;
    std::vector<int> SelectedRows() const;
    // Makes a row the only selected one and scrolls to it.
    void SelectRow(int row);
    void ClearSelection();

    // A panel under the lines, behind a splitter, with its starting height.
    void AddBottomPanel(QWidget* panel, int height);
    QSplitter* Splitter() const { return splitter_; }

    // The lines changed: rows and the line count follow them.
    void Refresh();
    // The buttons of the forecast, the test and the stop, once their
    // commands exist; they come last, as in the menu.
    void AddRunButtons();

  private:
    void ShowPopup(const QPoint& pos);
    void AddButtons(std::initializer_list<const char*> names);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    ScenarioModel* model_;
    QTableView* lvScript_;
    QStatusBar* sbScript_;
    QSplitter* splitter_;
    std::array<QLabel*, PanelCount> panels_{};
    std::unique_ptr<ScenarioCommands> scenarioCommands_;
    FlowLayout* buttons_ = nullptr;
};
