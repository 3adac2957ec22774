#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessara {

class Workspace;

// The journal captions of the three views whose cells filter the list.
inline constexpr const char* CardCaption = "Карта";
inline constexpr const char* LayoutCaption = "Схема";
inline constexpr const char* WeekCaption = "Неделя";

// The numbers picked on a view, duplicates dropped, in order of first
// appearance.
std::vector<int> UniqueNumbers(const std::vector<int>& numbers);
// The journal's values text: the numbers joined by "; ".
std::string NumbersValuesText(const std::vector<int>& numbers);

// The number filter of the views over the undo copy, which the caller has
// taken: keeps the combinations holding at least one of the numbers, or with
// removes the combinations holding none of them, in their order, and logs the
// step under caption. No numbers: the message "В выделенном диапазоне нет
// значений для фильтра!" and the list is left alone. False after a message.
bool FilterCombsByNumbers(Workspace& ws, const std::vector<int>& numbers, bool removes,
                          const std::string& caption);

// The whole command of a view: the numbers are checked first, so an empty
// pick neither filters nor takes an undo copy; then the undo copy with its
// status, then the filter.
bool ApplyNumberFilter(Workspace& ws, const std::vector<int>& numbers, bool removes,
                       const std::string& caption);

// The numbers of a layout cell: its text split at ",", each part without
// "[" and "]", trimmed and read as an integer (0 when it is not one).
void AppendLayoutCellNumbers(std::string_view text, std::vector<int>& numbers);

}  // namespace tessara
