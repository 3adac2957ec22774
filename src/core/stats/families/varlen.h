#pragma once

#include <cstdint>

#include "stats/custom_stat.h"

namespace tessara {

// The characteristic number of a draw (group "vrl").
extern const TStatClass TstVarlen1, TstVarlen2, TstVarlen3;

// Mode 0: the last difference; mode 1: a + b instead of 0 or 1; mode 2: a + b
// instead of 0, and the pair (1, a + b) instead of 1.
struct TVarlenResult {
    uint8_t Value;
    bool TwoPart;  // mode 2 with a last difference of 1
};
TVarlenResult VarlenReduce(const uint8_t* numbers, int mode);

}  // namespace tessara
