#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// Numbers of one draw that come back in a later one (group "rep").
extern const TStatClass TstRepValues2, TstRepValues3, TstRepValues2B3, TstRepValues2over1,
    TstRepValues2over2, TstRepValues2over3, TstRepValues2P1, TstRepValues2N1, TstRepValues2P2,
    TstRepValues2N2, TstRepCount2, TstRepCount3, TstRepCount2B3, TstRepCount2over1,
    TstRepCount2over2, TstRepCount2over3, TstRepCount2P1, TstRepCount2N1, TstRepCount2P2,
    TstRepCount2N2;

}  // namespace tessara
