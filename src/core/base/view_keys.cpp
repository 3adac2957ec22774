#include "base/view_keys.h"

#include "model/encoding.h"

namespace tessara {

const std::vector<TViewKey>& MainWindowViewKeys() {
    static const std::vector<TViewKey> keys = {
        {"LeftPanelWidth", -1},     {"DrawsExclude", 0},          {"DrawsStatLen", 1000},
        {"DrawsStatHeight", 131},   {"DrawsGraphLen", 100},       {"FiltersHeight", 127},
        {"LayoutLen", 100},         {"LayoutCompareLen1", 50},    {"LayoutCompareLen2", 100},
        {"LayoutCompareLen3", 200}, {"LayoutCompareLen4", 300},   {"LayoutCompareLen5", 400},
        {"LayoutCompareHeight", 257}, {"WeekLen", 1000},          {"WeekHeight", 131},
        {"WeekChartMode", 0},       {"WeekChartType", 0},         {"AutoUpdates", 1},
        {"DownloadDrawsOnStart", 0}, {"ScriptLogEnabled", 0},     {"StakesLogEnabled", 0},
        {"StakesScrollEnabled", 1}, {"StakesCheckOnLine", 1},     {"ColorDraws", 1},
        {"ColorCombs", 1},          {"ColorCard", 1},             {"ColorCardSequences", 1},
        {"LayoutGradient", 1},      {"SortedDraws", 0},           {"PrefetchsEnabled", 0},
        {"PrefetchsInit", 0},       {"ShowTotalLine", 1},         {"RatingsEffMode", 1},
        {"ScriptLibraryOn", 1},     {"ScriptLibraryHeight", 223}, {"ScriptLibraryFilter", 2},
        {"SystemsEnabled", 1},      {"TabGraphs", 1},             {"TabCard", 1},
        {"TabLayout", 1},           {"TabWeek", 1},               {"TabTables", 1},
        {"FirstRun", 0},            {"Language", 1049},           {"ExportOpenFile", 1},
    };
    return keys;
}

int32_t MainViewDefault(std::string_view name) {
    for (const TViewKey& k : MainWindowViewKeys())
        if (SameTextIgnoreCase(k.Name, name)) return k.Default;
    return 0;
}

}  // namespace tessara
