#include "views/number_filter.h"

#include <algorithm>
#include <cstdint>

#include "app/workspace.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/game.h"
#include "stats/filter.h"
#include "stats/parallel_filter.h"

namespace tessara {

std::vector<int> UniqueNumbers(const std::vector<int>& numbers) {
    std::vector<int> unique;
    for (int n : numbers)
        if (std::find(unique.begin(), unique.end(), n) == unique.end()) unique.push_back(n);
    return unique;
}

std::string NumbersValuesText(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) {
        if (!text.empty()) text += "; ";
        text += std::to_string(n);
    }
    return text;
}

bool FilterCombsByNumbers(Workspace& ws, const std::vector<int>& numbers, bool removes,
                          const std::string& caption) {
    Host& host = ws.GetHost();
    BusyGuard busy(host, "Фильтрация комбинаций...");
    const std::vector<int> set = UniqueNumbers(numbers);
    if (set.empty()) {
        host.ShowError(MsgNoFilterValues);
        return false;
    }
    // Bit n for each number 1..42 of the set; bit 63 stays clear, so any
    // byte from 63 up (a loaded list may hold one) reads as not in the set.
    uint64_t mask = 0;
    for (int n : set)
        if (n >= 1 && n <= MaxNumber) mask |= uint64_t{1} << n;
    TCombList& list = ws.Combs();
    const TCombList& undo = ws.Undo();
    try {
        list.Reserve(undo.Capacity(), 0);
    } catch (const std::bad_alloc&) {
        host.ShowError("Недостаточно памяти для списка комбинаций");
        host.Notify(Change::List);
        return false;
    }
    if (undo.Count() == 0) {
        host.Notify(Change::List);
        return true;
    }
    const int64_t kept =
        FilterWithThreads(undo.Data(), undo.Count(), list.Data(), removes, [mask](const TCombination& c) {
            uint64_t hit = 0;
            for (uint8_t x : c.n) hit |= mask >> std::min<uint8_t>(x, 63);
            return (hit & 1) != 0;
        });
    list.SetCount(kept);
    ws.AddFilterLogEntry(removes, caption, NumbersValuesText(set));
    return true;
}

bool ApplyNumberFilter(Workspace& ws, const std::vector<int>& numbers, bool removes,
                       const std::string& caption) {
    if (numbers.empty()) {
        ws.GetHost().ShowError(MsgNoFilterValues);
        return false;
    }
    try {
        ws.MakeUndoCopy(true);
    } catch (const Error& e) {
        ws.GetHost().ShowError(e.what());
        return false;
    }
    return FilterCombsByNumbers(ws, numbers, removes, caption);
}

void AppendLayoutCellNumbers(std::string_view text, std::vector<int>& numbers) {
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find(',', pos), text.size());
        std::string word;
        for (char ch : text.substr(pos, end - pos))
            if (ch != '[' && ch != ']') word += ch;
        int32_t value = 0;
        if (!TryStrToInt(Trim(word), value)) value = 0;
        numbers.push_back(value);
        pos = end + 1;
    }
}

}  // namespace tessara
