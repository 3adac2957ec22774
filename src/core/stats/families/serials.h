#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// Runs of a value over consecutive draws (group "ser"): how many draws in a
// row a number, channel or segment kept coming out (groups) or stayed away
// (pauses). Only the values of the newest sample draw produce rows.
extern const TStatClass TstNumGroups, TstNumPauses, TstChnGroups, TstChnPauses, TstSgmGroups,
    TstSgmPauses;

}  // namespace tessara
