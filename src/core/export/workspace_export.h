#pragma once

#include <string>
#include <vector>

#include "export/sheet.h"
#include "export/xlsx_writer.h"
#include "stats/value_table.h"

namespace tessara {

class Host;
class Workspace;

// The saved export parameters, kept in the main window's section of the
// view-state file: the folder of the last export (the data folder until
// then, or when that folder is gone) and whether the file is opened after
// saving.
struct TExportParams {
    std::string Folder;
    bool OpenFile = true;
};
TExportParams LoadExportParams(const Workspace& ws);
// Throws Error when the view-state file cannot be written.
void SaveExportParams(const Workspace& ws, const TExportParams& params);

// The grids of the workspace as the window shows them, with the view
// options of the view-state file.
TSheet WorkspaceDrawsSheet(const Workspace& ws);
TSheet WorkspaceCombsSheet(const Workspace& ws);
TSheet WorkspaceStakesSheet(const Workspace& ws);
TSheet WorkspaceRatingsSheet(const Workspace& ws);
TSheet WorkspaceCardSheet(const Workspace& ws);
// The scheme over the length draws up to the draws offset.
TSheet WorkspaceLayoutSheet(const Workspace& ws, int length, bool gradient);
// A computed value table of method (its rows in their present order),
// titled with the tab, the statistic and the draws of the sample.
TSheet WorkspaceStatsSheet(const Workspace& ws, int method, const TValueTable& table, bool norms);

// Writes the sheets with the busy state and progress in the status bar.
// The outcome: 1 written, 0 cancelled, -1 failed (the message was shown).
int ExportSheets(Host& host, const std::string& path, const std::vector<TSheet>& sheets,
                 TXlsxOptions options = {});

}  // namespace tessara
