#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "stats/stat_list.h"

namespace tessara::test {

// A selected row of a value table: only the key matters for filtering.
inline TStatDraw Selected(StatKey key) {
    TStatDraw r{};
    r.Count = 1;
    r.Key = key;
    return r;
}

// Archive draws of six distinct numbers in drawn order, the same every run.
inline TDrawsArray RandomDraws(int count, unsigned seed) {
    std::mt19937 rng(seed);
    TDrawsArray draws;
    for (int no = 1; no <= count; ++no) {
        int numbers[MaxNumber];
        std::iota(numbers, numbers + MaxNumber, 1);
        TDrawRecord d{};
        d.DrawNo = no;
        for (int k = 0; k < BallsInDraw; ++k) {
            std::swap(numbers[k],
                      numbers[k + static_cast<int>(rng() % static_cast<unsigned>(MaxNumber - k))]);
            d.Numbers[k] = static_cast<uint8_t>(numbers[k]);
        }
        draws.push_back(d);
    }
    return draws;
}

// Every n-th combination of the full list, in its order.
inline std::vector<TCombination> SampledCombinations(int64_t every) {
    std::vector<TCombination> combs;
    int64_t index = 0;
    for (uint8_t a = 1; a <= 37; ++a)
        for (uint8_t b = a + 1; b <= 38; ++b)
            for (uint8_t c = b + 1; c <= 39; ++c)
                for (uint8_t d = c + 1; d <= 40; ++d)
                    for (uint8_t e = d + 1; e <= 41; ++e)
                        for (uint8_t f = e + 1; f <= 42; ++f)
                            if (index++ % every == 0) combs.push_back({{a, b, c, d, e, f}});
    return combs;
}

// Numbers 1..21 in segment 1, 22..42 in segment 2.
inline void TwoSegments(TConfigData& c) {
    for (int n = 1; n <= MaxNumber; ++n)
        c.MatrixSegments[static_cast<size_t>(n - 1)] = n <= 21 ? 1 : 2;
}

// A registry over an archive and configuration of the test's own, with the
// value texts of draws and combinations as one string.
class StatFixture : public ::testing::Test {
protected:
    StatFixture() : list(archive, config, shredding) { list.Register(); }

    // The default configuration changed by `change`, registered anew.
    void Configure(const std::function<void(TConfigData&)>& change) {
        config = TConfigData{};
        if (change) change(config);
        list.Register();
    }
    // The rows of a method over the draws 0..last, after its pre-filled rows
    // when fill is set.
    static TStatDrawArray SampleRows(TCustomStat& stat, int last, bool sorted, bool fill) {
        TStatDrawArray rows;
        TStatScratch scratch{};
        TLastValueArray lastValues;
        if (fill) stat.FillAllValues(last, rows);
        for (int i = 0; i <= last; ++i) stat.AddDrawValues(i, last, sorted, rows, scratch, lastValues);
        return rows;
    }
    // Filters the combinations through the method's fast path and expects
    // exactly those that CombMatches accepts. Returns how many were kept.
    static int64_t ExpectFilterAgrees(TCustomStat& stat, const std::vector<TCombination>& combs,
                                      const TStatDrawArray& sel, int last, bool exclude,
                                      const std::string& label) {
        std::vector<TCombination> out(combs.size()), expected;
        const int64_t kept = stat.FilterCombs(combs.data(), static_cast<int64_t>(combs.size()),
                                              out.data(), sel, last, false, exclude);
        for (const TCombination& c : combs)
            if (stat.CombMatches(c, sel, last, false, exclude) != exclude) expected.push_back(c);
        out.resize(static_cast<size_t>(kept));
        EXPECT_TRUE(out == expected) << label << " " << exclude << " " << kept << " " << expected.size();
        return kept;
    }

    std::unique_ptr<TCustomStat> Make(const char* code) {
        const int i = list.FindMethod(code);
        EXPECT_GE(i, 0) << code;
        return i < 0 ? nullptr : list.CreateStat(i);
    }
    // Values of archive draw i in a sample that ends at draw index `last`.
    std::string DrawValues(const char* code, int i, int last, bool sorted = false) {
        auto s = Make(code);
        TStatDrawArray rows;
        TStatScratch scratch{};
        TLastValueArray lastValues;
        s->AddDrawValues(i, last, sorted, rows, scratch, lastValues);
        return Texts(*s, rows);
    }
    std::string CombValues(const char* code, TCombination c) {
        auto s = Make(code);
        TStatDrawArray rows;
        s->AddCombValues(c, rows);
        return Texts(*s, rows);
    }
    std::string FilledValues(const char* code, int last) {
        auto s = Make(code);
        TStatDrawArray rows;
        s->FillAllValues(last, rows);
        return Texts(*s, rows);
    }
    // "text" for a count of 1, "text*n" otherwise, joined by "|".
    static std::string Texts(const TCustomStat& s, const TStatDrawArray& rows) {
        std::string out;
        for (const auto& r : rows) {
            if (!out.empty()) out += "|";
            out += s.ValueToText(r);
            if (r.Count != 1) out += "*" + std::to_string(r.Count);
        }
        return out;
    }

    TDrawsArray archive;
    TConfigData config;
    TShreddingConfig shredding;
    TStatList list;
};

}  // namespace tessara::test
