#pragma once

#include <cstdint>
#include <functional>

#include "base/config.h"
#include "model/draw_archive.h"
#include "stakes/stake_record.h"

namespace tessara {

class TStakesFile;

// An unchecked stake on a real draw with at least six numbers.
bool IsStakeCheckCandidate(const TStakeRecord& r);

// Checks a stake against its draw: the drawn numbers in draw order, the
// matched numbers ascending, the profit by the profit rule.
void CheckStakeRecord(TStakeRecord& r, const TDrawRecord& draw, const TConfigData& config);

// One pass over the stakes file: every candidate whose draw is in the archive
// (whatever the draws offset) is checked and written back in place, then
// handed to onChecked. onProgress gets the percentage at every hundredth of
// the records after the first candidate. Returns the number of stakes
// checked; throws Error, keeping the stakes checked before the failure.
int CheckStakesFile(TStakesFile& file, const TDrawArchive& archive, const TConfigData& config,
                    const std::function<void(const TStakeRecord&)>& onChecked,
                    const std::function<void(double)>& onProgress);

}  // namespace tessara
