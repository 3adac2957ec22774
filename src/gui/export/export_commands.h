#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "export/sheet.h"

class CommandTable;
class NumberViews;
class QWidget;
class StatisticsTab;

namespace tessara {
class Workspace;
}

// The spreadsheet exports of the window's grids: each asks for the file
// (starting in the folder of the last export), writes the grid as the tab
// shows it, and opens the file with the desktop's program when asked to.
// The folder and that choice are saved in the view-state file.
class ExportCommands {
  public:
    ExportCommands(tessara::Workspace& ws, CommandTable& commands, StatisticsTab& stats,
                   NumberViews& views, QWidget* window);

    // The seven commands in the order of their tabs.
    static QStringList Names();

  private:
    void Register(CommandTable& commands);
    // Asks for the file, then builds the sheet and writes it; the
    // combination list shows a progress window with "Стоп".
    void Export(const QString& fileName, const std::function<tessara::TSheet()>& build,
                bool progressWindow);
    void ExportStats();
    void ExportLayout();

    tessara::Workspace& ws_;
    StatisticsTab& stats_;
    NumberViews& views_;
    QWidget* window_;
};
