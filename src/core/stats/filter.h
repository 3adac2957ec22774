#pragma once

#include <string>
#include <vector>

#include "stats/custom_stat.h"

namespace tessara {

class Workspace;

// The filtering step over the undo copy (which holds the list before the
// command): keeps the combinations that carry one of the selected values,
// or with exclude removes them, in their order, and logs the step. An empty
// undo copy changes nothing and logs nothing.
void FilterCombsStep(Workspace& ws, TCustomStat& stat, const TStatDrawArray& selected, bool exclude,
                     const std::string& caption, const std::string& valuesText);

// Filters by rows of a value table. With no instance given, one of the
// method is created for the step. Nothing happens for an empty selection.
// The caller has taken the undo copy. False after an error (shown).
bool FilterBySelectedRows(Workspace& ws, TCustomStat* stat, int method,
                          const TStatDrawArray& selected, const std::vector<std::string>& texts,
                          bool exclude, const std::string& caption);

// The whole command: the undo copy with its status, then the filter.
bool ApplyStatFilter(Workspace& ws, int method, const TStatDrawArray& selected,
                     const std::vector<std::string>& texts, bool exclude, const std::string& caption);

// Filters by numbers with the number statistic (the card, layout and week
// views). Throws Error "В выделенном диапазоне нет значений для фильтра!"
// for no values. The caller has taken the undo copy.
void FilterByNumbers(Workspace& ws, const std::vector<int>& numbers, const std::string& valuesText,
                     bool exclude, const std::string& caption);

inline constexpr const char* MsgNoFilterValues = "В выделенном диапазоне нет значений для фильтра!";

}  // namespace tessara
