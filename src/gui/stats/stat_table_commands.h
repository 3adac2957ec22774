#pragma once

class CommandTable;
class GuiHost;
class StatisticsTab;

namespace tessara {
class Workspace;
}

// The commands of the statistics tab's value table and chart: filtering the
// combination list by the selected values, recomputing, the full-set
// comparison and the ideal line of the chart.
class StatTableCommands {
  public:
    StatTableCommands(tessara::Workspace& ws, GuiHost& host, StatisticsTab& tab,
                      CommandTable& commands);

  private:
    void Register(CommandTable& commands);
    void TogglePrefetchs();
    void ToggleTotalLine();
    // Builds the missing full-set files with a progress window.
    void BuildPrefetchFiles();

    tessara::Workspace& ws_;
    GuiHost& host_;
    StatisticsTab& tab_;
};
