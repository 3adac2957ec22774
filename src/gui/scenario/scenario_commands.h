#pragma once

#include <QString>
#include <functional>

class CommandTable;
class QAction;
class QComboBox;
class QWidget;
class ScenarioTab;

namespace tessara {
class Workspace;
}

// The commands of the scenario: their rows in the command table and the
// dialogs they run before handing the work to the workspace.
class ScenarioCommands {
  public:
    ScenarioCommands(tessara::Workspace& ws, ScenarioTab& tab, CommandTable& commands,
                     const QComboBox* methods, std::function<int()> startCount);

    // The commands in menu order; "|" separates groups.
    static const QStringList& MenuNames();

  private:
    void Register(CommandTable& commands);
    void Open(bool append);
    void Save();
    void Add(const QString& title, const std::string& line);
    void AppendLine(const std::string& line);
    void Edit();
    void Delete();
    void Move(bool up);
    bool LineSelected() const;
    QWidget* DialogParent() const;

    tessara::Workspace& ws_;
    ScenarioTab& tab_;
    const QComboBox* methods_;
    std::function<int()> startCount_;
};

// Limits an action's shortcut to a widget and its children, so that one key
// can serve different commands on different tabs.
void ScopeShortcut(QAction* action, QWidget* scope);
