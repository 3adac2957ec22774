#include "views/repeats.h"

#include <algorithm>

#include "model/format.h"
#include "model/game.h"

namespace tessara {

TRepeatsAnalysis AnalyzeRepeats(const TDrawsArray& draws, int length, int deep,
                                const TProgressFn& progress) {
    TRepeatsAnalysis a;
    const int last = static_cast<int>(draws.size()) - 1;
    if (last < 0 || length < 1 || deep < 1) return a;
    const int first = std::max(0, last - length + 1);
    const int total = last - first + 1;
    for (int p = last; p >= first; --p) {
        const size_t start = a.Rows.size();
        const TDrawRecord& newer = draws[static_cast<size_t>(p)];
        const int stop = std::max(0, p - deep);
        for (int q = p - 1; q >= stop; --q) {
            const TDrawRecord& older = draws[static_cast<size_t>(q)];
            const int m = CountDrawMatches(newer, older);
            a.MaxMatches = std::max(a.MaxMatches, m);
            if (m <= 0) continue;
            const auto it = std::find_if(a.Rows.begin() + static_cast<std::ptrdiff_t>(start),
                                         a.Rows.end(),
                                         [m](const TRepeatsRow& r) { return r.Matches == m; });
            if (it == a.Rows.end()) {
                a.Rows.push_back({newer.DrawNo, m, 1, std::to_string(older.DrawNo)});
            } else {
                ++it->Repeats;
                it->Draws += ' ';
                it->Draws += std::to_string(older.DrawNo);
            }
        }
        if (progress) progress(last - p + 1, total);
    }
    return a;
}

std::vector<TGraphSeries> RepeatsSeries(const TRepeatsAnalysis& analysis,
                                        const TProgressFn& progress) {
    std::vector<TGraphSeries> series;
    for (int m = 1; m <= analysis.MaxMatches; ++m)
        series.push_back({FormatTemplate("Совпадений: %d", {int64_t{m}}), -1, {}});
    const int total = static_cast<int>(analysis.Rows.size());
    int done = 0;
    for (auto it = analysis.Rows.rbegin(); it != analysis.Rows.rend(); ++it) {
        // Counts outside 1..MaxMatches cannot come from AnalyzeRepeats; rows
        // put together by hand must not index past the series.
        if (it->Matches >= 1 && it->Matches <= analysis.MaxMatches)
            series[static_cast<size_t>(it->Matches - 1)].Points.push_back(
                {static_cast<double>(it->DrawNo), static_cast<double>(it->Repeats),
                 std::to_string(it->DrawNo)});
        if (progress) progress(++done, total);
    }
    return series;
}

}  // namespace tessara
