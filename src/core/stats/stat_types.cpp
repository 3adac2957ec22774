#include "stats/stat_types.h"

#include <cstdlib>
#include <limits>

#include "model/format.h"

namespace tessara {

namespace {

constexpr const char* kGroupIds[StatGroupCount] = {"num", "sum", "dif", "grp", "mtx", "sgm", "seq",
                                                   "rep", "ser", "per", "mov", "vrl", "shr"};
constexpr const char* kGroupCaptions[StatGroupCount] = {
    "Числа тиража",
    "Сумма чисел тиража",
    "Разности между числами тиража",
    "Каналы (группы чисел)",
    "Матрица тиража",
    "Сегменты матрицы тиража",
    "Последовательности чисел в одном тираже",
    "Повторяющиеся числа в нескольких тиражах",
    "Серии (цепочки) значений",
    "Периоды повторения значений",
    "Переходы (изменения) значений между тиражами",
    "Характеристическое число Варлена",
    "Методы шинковки",
};

}  // namespace

std::string FeatureLetters(TStatFeatures f) {
    std::string s;
    const std::pair<TStatFeature, const char*> letters[] = {
        {sfSorted, "S"}, {sfNorm, "N"}, {sfRefDraw, "D"}, {sfPeriod, "P"}, {sfGraph, "G"}};
    for (const auto& [bit, letter] : letters)
        if (f & bit) s += letter;
    return s;
}

const char* StatGroupId(int group) {
    return group >= 0 && group < StatGroupCount ? kGroupIds[group] : "";
}

const char* StatGroupCaption(int group) {
    return group >= 0 && group < StatGroupCount ? kGroupCaptions[group] : "";
}

std::string StatGroupDisplayText(int group) {
    if (group < 0 || group >= StatGroupCount) return "#ERROR#";
    return FormatTemplate("{ %1:s } %0:s",
                        {std::string(kGroupCaptions[group]), std::string(kGroupIds[group])});
}

void AddStatDraw(TStatDrawArray& rows, const TStatDraw& row, bool trackPeriods) {
    for (TStatDraw& r : rows) {
        if (!(r.Key == row.Key)) continue;
        r.Count += row.Count;
        if (r.Depth == 0 || (row.Depth > 0 && row.Depth <= r.Depth)) {
            r.LastDraw = row.LastDraw;
            r.Depth = row.Depth;
        }
        if (trackPeriods && row.LastDraw > 0 && r.PrevDraw > 0) {
            const int64_t d = std::llabs(static_cast<int64_t>(r.PrevDraw) - row.LastDraw);
            const auto p = static_cast<uint16_t>(d);
            if (p < r.PeriodMin || r.PeriodMin == 0) r.PeriodMin = p;
            if (p > r.PeriodMax || r.PeriodMax == 0) r.PeriodMax = p;
        }
        r.PrevDraw = row.LastDraw;
        return;
    }
    TStatDraw added = row;
    added.Norm = 0;
    rows.push_back(added);
}

int32_t UpdateLastValue(int32_t drawNo, const StatKey& key, TLastValueArray& list) {
    for (TLastValue& e : list)
        if (e.Key == key) {
            const int32_t d = drawNo - e.DrawNo;
            e.DrawNo = drawNo;
            return d;
        }
    list.push_back({drawNo, key});
    return -1;
}

void SortStatDraws(TStatDrawArray& rows) {
    for (size_t i = 1; i < rows.size(); ++i) {
        const TStatDraw v = rows[i];
        size_t j = i;
        while (j > 0 && KeyLess(v.Key, rows[j - 1].Key)) {
            rows[j] = rows[j - 1];
            --j;
        }
        rows[j] = v;
    }
}

TStatSummary SummarizeStatDraws(const TStatDrawArray& rows) {
    TStatSummary s{std::numeric_limits<int32_t>::max(), 0, 0, 0};
    for (const TStatDraw& r : rows) {
        if (r.Count < s.MinCount) s.MinCount = r.Count;
        if (r.Count > s.MaxCount) s.MaxCount = r.Count;
        if (r.Depth > s.MaxDepth) s.MaxDepth = r.Depth;
        s.TotalCount += r.Count;
    }
    return s;
}

bool RowsHaveKey(const TStatDrawArray& rows, uint16_t w1, uint16_t w2, uint16_t w3, uint16_t w4) {
    for (const TStatDraw& r : rows)
        if (r.Key.w[0] == w1 && r.Key.w[1] == w2 && r.Key.w[2] == w3 && r.Key.w[3] == w4)
            return true;
    return false;
}

bool RowsHaveWord(const TStatDrawArray& rows, int n, uint16_t v) {
    if (n < 1 || n > 4) return false;
    for (const TStatDraw& r : rows)
        if (r.Key.w[n - 1] == v) return true;
    return false;
}

bool RowsHaveByte(const TStatDrawArray& rows, int n, uint8_t v) {
    if (n < 1 || n > 8) return false;
    for (const TStatDraw& r : rows)
        if (r.Key.b[n - 1] == v) return true;
    return false;
}

bool RowsHaveInt(const TStatDrawArray& rows, int n, int32_t v) {
    if (n < 1 || n > 2) return false;
    for (const TStatDraw& r : rows)
        if (r.Key.i[n - 1] == v) return true;
    return false;
}

bool RowsHaveWordPair(const TStatDrawArray& rows, uint16_t a, uint16_t b) {
    for (const TStatDraw& r : rows)
        if (r.Key.w[0] == a && r.Key.w[2] == b) return true;
    return false;
}

}  // namespace tessara
