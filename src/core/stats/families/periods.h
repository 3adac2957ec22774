#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// After how many draws a number, channel or segment came back (group "per").
extern const TStatClass TstNumPeriods, TstChnPeriods, TstSgmPeriods;

}  // namespace tessara
