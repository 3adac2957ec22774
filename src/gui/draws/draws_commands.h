#pragma once

class CommandTable;
class DrawsTab;
class QString;
class QWidget;

namespace tessara {
class Workspace;
}

// The commands of the draw archive: their rows in the command table and the
// dialogs they run before handing the work to the workspace.
class DrawsCommands {
  public:
    DrawsCommands(tessara::Workspace& ws, DrawsTab& tab, CommandTable& commands);

  private:
    void Register(CommandTable& commands);
    void Add();
    void Edit();
    void Delete();
    void Info();
    void Import();
    void Export();
    // The chosen file, or an empty string when the dialog was cancelled.
    QString ChooseCsvFile(bool save) const;
    QWidget* DialogParent() const;
    // The archive list row of the first selected row, or -1.
    int SelectedListRow() const;

    tessara::Workspace& ws_;
    DrawsTab& tab_;
};
