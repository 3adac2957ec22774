#include "stats/filter.h"

#include "app/workspace.h"
#include "model/error.h"
#include "stats/families/numbers.h"

namespace tessara {

void FilterCombsStep(Workspace& ws, TCustomStat& stat, const TStatDrawArray& selected, bool exclude,
                     const std::string& caption, const std::string& valuesText) {
    TCombList& list = ws.Combs();
    const TCombList& undo = ws.Undo();
    list.Reserve(undo.Capacity(), 0);
    if (undo.Count() == 0) {
        ws.GetHost().Notify(Change::List);
        return;
    }
    const int high = ws.Archive().High();
    const int ref = high < ws.DrawsOffset() ? 0 : high - ws.DrawsOffset();
    stat.LoadDraws(-1, ref, ws.SortedDraws());
    const int64_t kept = stat.FilterCombs(undo.Data(), undo.Count(), list.Data(), selected, ref,
                                          ws.SortedDraws(), exclude);
    list.SetCount(kept);
    ws.AddFilterLogEntry(exclude, caption, valuesText);
}

bool FilterBySelectedRows(Workspace& ws, TCustomStat* stat, int method,
                          const TStatDrawArray& selected, const std::vector<std::string>& texts,
                          bool exclude, const std::string& caption) {
    Host& host = ws.GetHost();
    BusyGuard busy(host, "Фильтрация комбинаций...");
    if (selected.empty()) return true;
    std::string valuesText;
    for (const auto& t : texts) valuesText += (valuesText.empty() ? "" : "; ") + t;
    try {
        std::unique_ptr<TCustomStat> own;
        if (!stat) {
            own = ws.Stats().CreateSelectedStat(method, "cbDrawsStat");
            stat = own.get();
        }
        FilterCombsStep(ws, *stat, selected, exclude, caption, valuesText);
        return true;
    } catch (const std::exception& e) {
        host.ShowError(e.what());
        host.Notify(Change::List);
        return false;
    }
}

bool ApplyStatFilter(Workspace& ws, int method, const TStatDrawArray& selected,
                     const std::vector<std::string>& texts, bool exclude, const std::string& caption) {
    try {
        ws.MakeUndoCopy(true);
    } catch (const Error& e) {
        ws.GetHost().ShowError(e.what());
        return false;
    }
    return FilterBySelectedRows(ws, nullptr, method, selected, texts, exclude, caption);
}

void FilterByNumbers(Workspace& ws, const std::vector<int>& numbers, const std::string& valuesText,
                     bool exclude, const std::string& caption) {
    if (numbers.empty()) throw Error(MsgNoFilterValues);
    TStatDrawArray selected;
    for (int n : numbers) {
        TStatDraw r{};
        r.Key = MakeKey(static_cast<uint16_t>(n));
        selected.push_back(r);
    }
    BusyGuard busy(ws.GetHost(), "Фильтрация комбинаций...");
    auto stat = TstValues.Create(TstValues, ws.Stats(), 0);
    FilterCombsStep(ws, *stat, selected, exclude, caption, valuesText);
}

}  // namespace tessara
