#pragma once

class CombsTab;
class CommandTable;
class QWidget;

namespace tessara {
class Workspace;
}

// The commands of the combination list: their rows in the command table and
// the dialogs they run before handing the work to the workspace.
class CombsCommands {
  public:
    CombsCommands(tessara::Workspace& ws, CombsTab& tab, CommandTable& commands);

  private:
    void Register(CommandTable& commands);
    void Generate();
    void Open();
    void Save();
    void Copy();
    void Paste();
    void DeleteSelected();
    void FindInDraws();
    void Info();
    QWidget* DialogParent() const;

    tessara::Workspace& ws_;
    CombsTab& tab_;
    // Asking the clipboard on every idle update is slow under X11: the
    // answer is kept and renewed when the clipboard changes.
    bool clipboardHasText_ = false;
};
