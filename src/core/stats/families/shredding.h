#pragma once

#include <string>

#include "stats/custom_stat.h"

namespace tessara {

// The user's own formulas over the numbers of a draw (n1..n6), the draw
// before it (p1..p6) and the one before that (t1..t6) (group "shr").
extern const TStatClass TstShreddingStat;

// The first `places` decimal places of |F| as an integer, F being the
// formula with the numbers put in; 0 when the formula cannot be evaluated.
int32_t ShreddingValue(const uint8_t* n, const uint8_t* p, const uint8_t* t, int places,
                       const std::string& formula);

}  // namespace tessara
