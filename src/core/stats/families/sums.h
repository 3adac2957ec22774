#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// The sum of the six numbers (group "sum").
extern const TStatClass TstSumValues, TstSumRanges, TstSumChange, TstSumChangeSome, TstSumTrend,
    TstSumEvenValues, TstSumPrimeValues, TstSum2To3;

struct TSumBand {
    int Low, High;
    int CaptionArgs[3];
};
// Bands 1..3, each centred on 129.
const TSumBand& SumBand(int band);

}  // namespace tessara
