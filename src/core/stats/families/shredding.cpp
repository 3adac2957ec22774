#include "stats/families/shredding.h"

#include <algorithm>
#include <cmath>

#include "model/encoding.h"
#include "model/game.h"
#include "stats/families/math_parser.h"
#include "stats/stat_list.h"

namespace tessara {

namespace {

// Replaces every name (letter then digit, any case) by the number's text.
void ReplaceName(std::string& text, char letter, int digit, int value) {
    const std::string v = std::to_string(value);
    const char upper = static_cast<char>(letter - 32);
    for (size_t pos = 0; pos + 1 < text.size();) {
        if ((text[pos] == letter || text[pos] == upper) && text[pos + 1] == '0' + digit) {
            text.replace(pos, 2, v);
            pos += v.size();
        } else {
            ++pos;
        }
    }
}

class StShredding : public TCustomGraphStat {
public:
    StShredding(const TStatClass& c, const TStatList& l, int p) : TCustomGraphStat(c, l, p) {
        if (p >= 1 && p <= 3) {
            formula_ = l.Shredding().Formulas[static_cast<size_t>(p - 1)];
            places_ = l.Shredding().Digits[static_cast<size_t>(p - 1)];
        }
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        const TDrawRecord p = GetDraw(refIndex, sorted), t = GetDraw(refIndex - 1, sorted);
        return RowsHaveInt(sel, 1, ShreddingValue(c.n, p.Numbers, t.Numbers, places_, formula_));
    }
    int32_t GraphValue(const TCombination& c, int drawIndex, bool sorted, int) override {
        const TDrawRecord p = GetDraw(drawIndex - 1, sorted), t = GetDraw(drawIndex - 2, sorted);
        return ShreddingValue(c.n, p.Numbers, t.Numbers, places_, formula_);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        // A bare combination has no draws before it.
        const uint8_t zeros[BallsInDraw] = {};
        Emit(rows, MakeIntKey(ShreddingValue(n, zeros, zeros, places_, formula_)), track);
    }
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const TDrawRecord p = GetDraw(drawIndex - 1, sorted), t = GetDraw(drawIndex - 2, sorted);
        Emit(rows, MakeIntKey(ShreddingValue(Draw.Numbers, p.Numbers, t.Numbers, places_, formula_)), true);
    }

private:
    std::string formula_;
    int places_ = 0;
};

std::pair<int, int> FormulaRange(const TStatList&) { return {1, 3}; }

}  // namespace

int32_t ShreddingValue(const uint8_t* n, const uint8_t* p, const uint8_t* t, int places,
                       const std::string& formula) {
    std::string text = formula;
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 'n', i, n[i - 1]);
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 'p', i, p[i - 1]);
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 't', i, t[i - 1]);
    try {
        const long double f = std::fabs(EvaluateExpression(text));
        // Places from a hand-edited file stay where the value fits 32 bits.
        const int d = std::clamp(places, 0, 9);
        const long double frac = f - std::trunc(f);
        return static_cast<int32_t>(std::trunc(frac * std::pow(10.0L, d)));
    } catch (const std::exception&) {
        return 0;
    }
}

const TStatClass TstShreddingStat{"TstShreddingStat", "SHR%d", "Метод шинковки %0:d: %%s", "SHRx", 12,
                                  sfSorted | sfNorm, true, true, true, true, true, FormulaRange, nullptr,
                                  MakeStat<StShredding>};

}  // namespace tessara
