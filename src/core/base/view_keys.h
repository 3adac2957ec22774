#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tessara {

// The keys of the main window's section of the view-state file with their
// defaults. Sizes "from the layout" carry the layout's own value; -1 means the
// window decides (the left panel's width).
struct TViewKey {
    const char* Name;
    int32_t Default;
};

const std::vector<TViewKey>& MainWindowViewKeys();
// The default of a key of the table; 0 for a key that is not in it.
int32_t MainViewDefault(std::string_view name);

// The saved export parameters: the folder of the last spreadsheet export
// (a text key) and whether the file is opened after saving.
inline constexpr const char* ExportFolderKey = "ExportFolder";
inline constexpr const char* ExportOpenFileKey = "ExportOpenFile";

}  // namespace tessara
