#pragma once

#include <optional>
#include <string>

#include "stats/custom_stat.h"
#include "stats/families/math_parser.h"

namespace tessara {

// The user's own formulas over the numbers of a draw (n1..n6), the draw
// before it (p1..p6) and the one before that (t1..t6) (group "shr").
extern const TStatClass TstShreddingStat;

// The first `places` decimal places of |F| as an integer, F being the
// formula with the numbers put in; 0 when the formula cannot be evaluated.
int32_t ShreddingValue(const uint8_t* n, const uint8_t* p, const uint8_t* t, int places,
                       const std::string& formula);

// The same value for one formula over many draws: the formula is parsed
// once, with the numbers as variables, wherever putting a number's digits in
// cannot change how the text reads (a name next to other digits, letters or
// a decimal point is not such a place); otherwise the text is built and
// parsed for every value.
class TShreddingFormula {
public:
    TShreddingFormula(std::string formula, int places);
    int32_t Value(const uint8_t* n, const uint8_t* p, const uint8_t* t) const;
    // False when the text is parsed for every value.
    bool ParsedOnce() const { return mode_ != Mode::Text; }
    // The value by putting the numbers' digits into the text and parsing it.
    int32_t TextValue(const uint8_t* n, const uint8_t* p, const uint8_t* t) const;

private:
    enum class Mode { Compiled, Text, Zero };
    int32_t Digits(long double f) const;

    std::string formula_;
    Mode mode_ = Mode::Text;
    std::optional<TCompiledExpression> expr_;
    long double scale_;
};

}  // namespace tessara
