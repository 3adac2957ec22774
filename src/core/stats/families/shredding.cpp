#include "stats/families/shredding.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

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
    StShredding(const TStatClass& c, const TStatList& l, int p)
        : TCustomGraphStat(c, l, p), formula_(FormulaOf(l, p), PlacesOf(l, p)) {}
    // With five or more places a value passes 65535: the key holds it as
    // its whole first 32-bit integer, not as a word.
    std::string ValueToText(const TStatDraw& row) const override { return std::to_string(row.Key.i[0]); }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        const TDrawRecord p = GetDraw(refIndex, sorted), t = GetDraw(refIndex - 1, sorted);
        return RowsHaveInt(sel, 1, formula_.Value(c.n, p.Numbers, t.Numbers));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted,
                        bool exclude) override {
        const TDrawRecord p = GetDraw(refIndex, sorted), t = GetDraw(refIndex - 1, sorted);
        std::vector<int32_t> wanted;
        for (const auto& r : sel) wanted.push_back(r.Key.i[0]);
        std::sort(wanted.begin(), wanted.end());
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            return std::binary_search(wanted.begin(), wanted.end(),
                                      formula_.Value(c.n, p.Numbers, t.Numbers));
        });
    }
    int32_t GraphValue(const TCombination& c, int drawIndex, bool sorted, int) override {
        const TDrawRecord p = GetDraw(drawIndex - 1, sorted), t = GetDraw(drawIndex - 2, sorted);
        return formula_.Value(c.n, p.Numbers, t.Numbers);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        // A bare combination has no draws before it.
        const uint8_t zeros[BallsInDraw] = {};
        Emit(rows, MakeIntKey(formula_.Value(n, zeros, zeros)), track);
    }
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const TDrawRecord p = GetDraw(drawIndex - 1, sorted), t = GetDraw(drawIndex - 2, sorted);
        Emit(rows, MakeIntKey(formula_.Value(Draw.Numbers, p.Numbers, t.Numbers)), true);
    }

private:
    static std::string FormulaOf(const TStatList& l, int p) {
        return p >= 1 && p <= 3 ? l.Shredding().Formulas[static_cast<size_t>(p - 1)] : std::string();
    }
    static int PlacesOf(const TStatList& l, int p) {
        return p >= 1 && p <= 3 ? l.Shredding().Digits[static_cast<size_t>(p - 1)] : 0;
    }
    TShreddingFormula formula_;
};

std::pair<int, int> FormulaRange(const TStatList&) { return {1, 3}; }

}  // namespace

namespace {

std::string Substituted(const std::string& formula, const uint8_t* n, const uint8_t* p,
                        const uint8_t* t) {
    std::string text = formula;
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 'n', i, n[i - 1]);
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 'p', i, p[i - 1]);
    for (int i = 1; i <= BallsInDraw; ++i) ReplaceName(text, 't', i, t[i - 1]);
    return text;
}

// The formula with every name replaced by the mark of its variable (n1..n6,
// p1..p6, t1..t6 are variables 0..17), in the order of the text replacement;
// empty when a name sits where its digits would join neighbouring text.
std::string Marked(const std::string& formula) {
    for (char c : formula)
        if (static_cast<unsigned char>(c) >= 0x80) return {};
    std::string text = formula;
    const char letters[] = {'n', 'p', 't'};
    for (int l = 0; l < 3; ++l)
        for (int i = 1; i <= BallsInDraw; ++i) {
            const char mark = static_cast<char>(TCompiledExpression::FirstVariableMark + l * 6 + i - 1);
            for (size_t pos = 0; pos + 1 < text.size(); ++pos)
                if (std::tolower(static_cast<unsigned char>(text[pos])) == letters[l] &&
                    text[pos + 1] == '0' + i)
                    text.replace(pos, 2, 1, mark);
        }
    std::string s;
    for (char c : text)
        if (static_cast<unsigned char>(c) > 32) s += c;
    auto isMark = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    for (size_t i = 0; i < s.size(); ++i) {
        if (!isMark(s[i])) continue;
        const char prev = i > 0 ? s[i - 1] : '(';
        const char next = i + 1 < s.size() ? s[i + 1] : ')';
        if (std::isalnum(static_cast<unsigned char>(prev)) || std::strchr("$.,", prev) || isMark(prev))
            return {};
        if ((prev == '+' || prev == '-') && i >= 2 && std::toupper(static_cast<unsigned char>(s[i - 2])) == 'E')
            return {};
        if (std::isdigit(static_cast<unsigned char>(next)) || std::strchr(".,", next) ||
            std::toupper(static_cast<unsigned char>(next)) == 'E' || isMark(next))
            return {};
    }
    return text;
}

}  // namespace

TShreddingFormula::TShreddingFormula(std::string formula, int places)
    : formula_(std::move(formula)),
      // Places from a hand-edited file stay where the value fits 32 bits.
      scale_(std::pow(10.0L, std::clamp(places, 0, 9))) {
    const std::string marked = Marked(formula_);
    if (marked.empty() && !formula_.empty()) return;
    try {
        expr_ = TCompiledExpression::Compile(marked, 3 * BallsInDraw);
        mode_ = Mode::Compiled;
    } catch (const TRxParserError&) {
        mode_ = Mode::Zero;  // does not parse whatever the numbers are
    }
}

int32_t TShreddingFormula::Digits(long double f) const {
    f = std::fabs(f);
    return static_cast<int32_t>(std::trunc((f - std::trunc(f)) * scale_));
}

int32_t TShreddingFormula::Value(const uint8_t* n, const uint8_t* p, const uint8_t* t) const {
    if (mode_ == Mode::Zero) return 0;
    if (mode_ == Mode::Compiled) {
        long double v[3 * BallsInDraw];
        const uint8_t* sources[3] = {n, p, t};
        for (uint32_t used = expr_->UsedVariables(); used != 0; used &= used - 1) {
            const int k = std::countr_zero(used);
            v[k] = sources[k / BallsInDraw][k % BallsInDraw];
        }
        long double f;
        return expr_->Run(v, f) ? Digits(f) : 0;
    }
    return TextValue(n, p, t);
}

int32_t TShreddingFormula::TextValue(const uint8_t* n, const uint8_t* p, const uint8_t* t) const {
    try {
        return Digits(EvaluateExpression(Substituted(formula_, n, p, t)));
    } catch (const std::exception&) {
        return 0;
    }
}

int32_t ShreddingValue(const uint8_t* n, const uint8_t* p, const uint8_t* t, int places,
                       const std::string& formula) {
    return TShreddingFormula(formula, places).Value(n, p, t);
}

const TStatClass TstShreddingStat{"TstShreddingStat", "SHR%d", "Метод шинковки %0:d: %%s", "SHRx", 12,
                                  sfSorted | sfNorm, true, true, true, true, true, FormulaRange, nullptr,
                                  MakeStat<StShredding>};

}  // namespace tessara
