#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// Runs of consecutive numbers inside one draw (group "seq").
extern const TStatClass TstSequenceLen, TstSequenceCnt, TstSequenceLenMax;

}  // namespace tessara
