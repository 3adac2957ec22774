#include "stats/value_table.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_map>
#include <cmath>
#include <limits>

#include "stats/stat_source.h"
#include "model/format.h"
#include "stats/prefetch.h"

namespace tessara {

namespace {

// For each row of which (all of whose last draws are followed by the draw
// at firstDrawIndex), the draw of its value's first occurrence from there
// on, as TCustomStat::FindNextOccurrence finds it; -1 when there is none.
void FindNextOccurrences(TCustomStat& stat, const TStatDrawArray& rows, const std::vector<size_t>& which,
                         int firstDrawIndex, bool sorted, int lastSampleIndex, std::vector<int32_t>& facts) {
    const int high = static_cast<int>(stat.Archive.size()) - 1;
    std::unordered_map<uint64_t, size_t> open;
    const auto bitsOf = [](const StatKey& key) {
        uint64_t b = 0;
        std::memcpy(&b, &key, sizeof b);
        return b;
    };
    for (size_t k : which) open.emplace(bitsOf(rows[k].Key), k);
    TStatScratch scratch{};
    TStatDrawArray values;
    TLastValueArray lastValues;
    for (int i = std::max(firstDrawIndex, 0); i <= high && !open.empty(); ++i) {
        values.clear();
        lastValues.clear();
        stat.AddDrawValues(i, lastSampleIndex, sorted, values, scratch, lastValues);
        for (const TStatDraw& r : values) {
            const auto it = open.find(bitsOf(r.Key));
            if (it == open.end()) continue;
            facts[it->second] = r.LastDraw;
            open.erase(it);
        }
    }
}

constexpr const char* kCaptions[ValueColumnCount] = {
    "Значение", "Количество", "Кол-во в %", "Норма",   "Отклонение", "Откл-ие в %", "Глубина",
    "Глубина в %", "Вес",    "Посл. тираж", "Период min", "Период", "Период max", "Ожд. ПРД",
    "Ожд. СТФ", "Ожд. КРН",  "Факт",       "+/- ПРД", "+/- СТФ", "+/- КРН"};

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

void SetCell(TValueTableRow& r, int col, std::string text, double number) {
    r.Cells[static_cast<size_t>(col)] = std::move(text);
    r.Numbers[static_cast<size_t>(col)] = number;
}
void SetDash(TValueTableRow& r, int col) { SetCell(r, col, "-", kNone); }
void SetInt(TValueTableRow& r, int col, int64_t v) { SetCell(r, col, std::to_string(v), static_cast<double>(v)); }

void SetDifference(TValueTableRow& r, int col, int expectedCol, int64_t fact, bool hasFact) {
    const double expected = r.Numbers[static_cast<size_t>(expectedCol)];
    if (!hasFact || std::isnan(expected) || expected < 0) {
        SetDash(r, col);
        return;
    }
    const int64_t d = static_cast<int64_t>(expected) - fact;
    SetCell(r, col, d > 0 ? "+" + std::to_string(d) : std::to_string(d), static_cast<double>(d));
}

}  // namespace

const char* ValueColumnCaption(int column) {
    return column >= 0 && column < ValueColumnCount ? kCaptions[column] : "";
}

bool ValueColumnCentred(int column) {
    return column == vcLastDraw || column >= vcExpectedPrd;
}

TStatValues RowValues(const TValueTableRow* row) {
    TStatValues v{};
    if (!row) return v;
    static constexpr int kColumns[11] = {vcValue,  vcCount,          vcCountPercent, vcDeviation,
                                         vcDeviationPercent, vcDepth, vcDepthPercent, vcWeight,
                                         vcPeriodMin, vcPeriod,      vcPeriodMax};
    for (size_t i = 0; i < v.size(); ++i) v[i] = row->Cells[static_cast<size_t>(kColumns[i])];
    return v;
}

double RowWeight(const TStatDraw& row, bool hasNorm, const TStatSummary& s, const TCDLCoefs& c) {
    const long double count = row.Count, norm = row.Norm, depth = row.Depth;
    const long double t = hasNorm ? count - norm : 0;
    long double r = count, o = t, m = depth;
    if (c.UsePercents) {
        r = s.TotalCount != 0 ? count * 100 / s.TotalCount : 0;
        o = hasNorm && norm != 0 ? t * 100 / norm : 0;
        m = s.MaxDepth != 0 ? depth * 100 / s.MaxDepth : 0;
    }
    if (c.UseAbsValues) {
        r = std::fabs(r);
        o = std::fabs(o);
        m = std::fabs(m);
    }
    const long double w = static_cast<long double>(c.Count) * r +
                          static_cast<long double>(c.Deviation) * o +
                          static_cast<long double>(c.Level) * m;
    if (!std::isfinite(static_cast<double>(w))) return -999.99;
    return static_cast<double>(w);
}

TValueTable ComputeValueTable(const TStatSource& ws, int method, const TValueTableOptions& opt) {
    TValueTable table;
    const TDrawArchive& archive = ws.Archive();
    if (archive.Empty() || method < 0 || method >= ws.Stats().Count()) return table;
    Host& host = ws.GetHost();
    BusyGuard busy(host, "Анализ тиражей и расчет статистики...");

    auto stat = ws.Stats().CreateStat(method);
    TPrefetchData prefetch;
    const bool havePrefetchFile =
        opt.Prefetch && ws.Stats().HasNorm(method) && OpenPrefetch(ws, method, prefetch);

    table.Last = archive.High() - opt.Offset;
    table.First = std::max(0, table.Last - opt.SampleLength + 1);
    table.SampleSize = std::max(0, table.Last - table.First + 1);
    TStatDrawArray rows;
    if (table.First <= table.Last) {
        stat->FillAllValues(table.Last, rows);
        TStatScratch scratch{};
        TLastValueArray lastValues;
        for (int i = table.First; i <= table.Last; ++i)
            stat->AddDrawValues(i, table.Last, opt.Sorted, rows, scratch, lastValues);
    }
    const TStatSummary s = SummarizeStatDraws(rows);
    table.Summary = s;

    if (havePrefetchFile && prefetch.MaxCount > 0) {
        table.Scale = prefetch.MinCount == prefetch.MaxCount
                          ? (static_cast<double>(s.MaxCount) + s.MinCount) / 2.0 / prefetch.MaxCount
                          : static_cast<double>(s.MaxCount) / prefetch.MaxCount;
        table.HasPrefetch = true;
        for (const TPrefetchRecord& rec : prefetch.Records)
            for (TStatDraw& r : rows)
                if (r.Key == rec.Key) r.Norm = static_cast<int32_t>(RoundHalfEven(rec.Count * table.Scale));
    }

    // The next occurrence of each value of the sample after its last one,
    // anywhere in the archive: the rows whose search starts at the same draw
    // share one walk over the draws that follow.
    std::vector<int32_t> facts(rows.size(), -1);
    {
        std::map<int, std::vector<size_t>> byStart;
        for (size_t k = 0; k < rows.size(); ++k) {
            if (rows[k].Depth == 0) continue;
            const int from = archive.FindDrawIndex(rows[k].LastDraw + 1);
            if (from >= 0) byStart[from].push_back(k);
        }
        for (const auto& [from, members] : byStart)
            FindNextOccurrences(*stat, rows, members, from, opt.Sorted, table.Last, facts);
    }

    const int n = table.SampleSize;
    table.Rows.reserve(rows.size());
    for (size_t index = 0; index < rows.size(); ++index) {
        const TStatDraw& row = rows[index];
        TValueTableRow item;
        item.Row = row;
        item.Numbers.fill(kNone);
        const int64_t c = row.Count;
        SetCell(item, vcValue, stat->ValueToText(row), kNone);
        SetInt(item, vcCount, c);
        if (s.TotalCount == 0)
            SetDash(item, vcCountPercent);
        else
            SetCell(item, vcCountPercent, FormatFixed(c * 100.0 / s.TotalCount, 5), c * 100.0 / s.TotalCount);
        if (table.HasPrefetch) {
            SetInt(item, vcNorm, row.Norm);
            SetInt(item, vcDeviation, c - row.Norm);
            const double p = row.Norm != 0 ? (c - row.Norm) * 100.0 / row.Norm : (c != 0 ? 100.0 : 0.0);
            SetCell(item, vcDeviationPercent, FormatFixed(p, 5), p);
        } else {
            SetDash(item, vcNorm);
            SetDash(item, vcDeviation);
            SetDash(item, vcDeviationPercent);
        }
        if (row.Depth == 0) {
            for (int col = vcDepth; col < ValueColumnCount; ++col) SetDash(item, col);
            table.Rows.push_back(std::move(item));
            continue;
        }
        SetInt(item, vcDepth, row.Depth);
        const double depthPercent = s.MaxDepth != 0 ? row.Depth * 100.0 / s.MaxDepth : 0;
        SetCell(item, vcDepthPercent, FormatFixed(depthPercent, 2), depthPercent);
        const double w = RowWeight(row, table.HasPrefetch, s, opt.Coefs);
        SetCell(item, vcWeight, FormatFixed(w, 2), w);
        SetInt(item, vcLastDraw, row.LastDraw);
        if (c < 2) {
            SetDash(item, vcPeriodMin);
            SetDash(item, vcPeriod);
            SetDash(item, vcPeriodMax);
            SetDash(item, vcExpectedPrd);
        } else {
            SetInt(item, vcPeriodMin, row.PeriodMin);
            SetCell(item, vcPeriod, FormatFixed(static_cast<double>(n) / c, 4), static_cast<double>(n) / c);
            SetInt(item, vcPeriodMax, row.PeriodMax);
            SetInt(item, vcExpectedPrd, RoundHalfEven(static_cast<double>(n) / c + row.LastDraw));
        }
        if (c > 0) {
            SetInt(item, vcExpectedStf, RoundHalfEven((c + 1.0) * row.LastDraw / c));
        } else {
            SetDash(item, vcExpectedStf);
        }
        SetInt(item, vcExpectedKrn, RoundHalfEven((c + 2.0) * (row.LastDraw + 1.0) / (c + 1.0)));
        // A last draw with no successor in the archive has none.
        const int32_t fact = facts[index];
        if (fact < 0)
            SetDash(item, vcFact);
        else
            SetInt(item, vcFact, fact);
        SetDifference(item, vcDiffPrd, vcExpectedPrd, fact, fact >= 0);
        SetDifference(item, vcDiffStf, vcExpectedStf, fact, fact >= 0);
        SetDifference(item, vcDiffKrn, vcExpectedKrn, fact, fact >= 0);
        table.Rows.push_back(std::move(item));
    }

    // The chart.
    if (rows.size() >= 2) {
        TStatDraw probe{};
        if (table.HasPrefetch) {
            int k = 0;
            for (const TPrefetchRecord& rec : prefetch.Records) {
                ++k;
                probe.Key = rec.Key;
                const std::string label = stat->ValueToText(probe);
                if (opt.ShowTotalLine) table.Ideal.push_back({double(k), rec.Count * table.Scale, label});
                for (const TStatDraw& r : rows)
                    if (r.Key == rec.Key) table.Actual.push_back({double(k), double(r.Count), label});
            }
        } else {
            TStatDrawArray sorted = rows;
            SortStatDraws(sorted);
            int k = 0;
            for (const TStatDraw& r : sorted) table.Actual.push_back({double(++k), double(r.Count), stat->ValueToText(r)});
        }
    }
    SortValueTable(table, vcCount, false);
    return table;
}

void SortValueTable(TValueTable& table, int column, bool descending) {
    if (column < 0 || column >= ValueColumnCount) return;
    const auto less = [&](const TValueTableRow& a, const TValueTableRow& b) {
        if (column == vcValue) return descending ? KeyLess(b.Row.Key, a.Row.Key) : KeyLess(a.Row.Key, b.Row.Key);
        const double x = a.Numbers[static_cast<size_t>(column)], y = b.Numbers[static_cast<size_t>(column)];
        // Dashes go last whichever way the column sorts.
        if (std::isnan(x) || std::isnan(y)) return !std::isnan(x) && std::isnan(y);
        return descending ? y < x : x < y;
    };
    std::stable_sort(table.Rows.begin(), table.Rows.end(), less);
}

}  // namespace tessara
