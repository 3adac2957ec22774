#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// The gaps between the numbers of neighbouring positions (group "dif").
extern const TStatClass TstDiffTotal, TstDiffMax, TstMinMaxDiffs, TstDiffSame, TstDiffSameCnt,
    TstCombDiffSeq2, TstCombDiffSeq3, TstCombDiffSeq4;

inline constexpr int DiffsInDraw = 5;

// d1..d5: |number(k + 1) - number(k)| in position order.
inline void NeighbourDiffs(const uint8_t* n, uint8_t* d) {
    for (int k = 0; k < DiffsInDraw; ++k)
        d[k] = static_cast<uint8_t>(n[k + 1] > n[k] ? n[k + 1] - n[k] : n[k] - n[k + 1]);
}

}  // namespace tessara
