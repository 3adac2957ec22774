#pragma once

#include <QStringList>

class CommandTable;
class QWidget;

namespace tessara {
class Workspace;
}

// The analyses of the "Статистика" menu that open windows of their own:
// the repeats per draw and the distribution of sums.
class AnalysisCommands {
  public:
    AnalysisCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window);

  private:
    void AnalyzeRepeats();
    void TotalSumCombs();

    tessara::Workspace& ws_;
    QWidget* window_;
};
