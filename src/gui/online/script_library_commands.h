#pragma once

class CommandTable;
class ScriptLibraryPanel;
class QWidget;

namespace tessara {
class ScriptLibrary;
}

// The commands of the "Библиотека" category over the online catalogue panel.
class ScriptLibraryCommands {
  public:
    ScriptLibraryCommands(tessara::ScriptLibrary& library, CommandTable& commands,
                          QWidget* dialogParent);
    // The panel is made after the commands its buttons show.
    void SetPanel(ScriptLibraryPanel* panel) { panel_ = panel; }

  private:
    void Register(CommandTable& commands);
    void Toggle();
    void Rate(int value);
    bool PanelShown() const;

    tessara::ScriptLibrary& library_;
    QWidget* parent_;
    ScriptLibraryPanel* panel_ = nullptr;
};
