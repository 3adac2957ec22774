#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// Pairs, triples and quadruples of a draw's numbers as one value (group "num").
extern const TStatClass TstCombValMix2, TstCombValMix3, TstCombValMix4, TstCombValSeq2,
    TstCombValSeq3, TstCombValSeq4, TstCombValPos2, TstCombValPos3, TstCombValPos4, TstCombValSort2,
    TstCombValSort3, TstCombValSort4;

}  // namespace tessara
