#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/config.h"
#include "model/draw_archive.h"
#include "stakes/check_journal.h"
#include "stakes/stake_record.h"

namespace tessara {

class TStakesFile;

// An unchecked stake on a real draw with at least six numbers.
bool IsStakeCheckCandidate(const TStakeRecord& r);

// Checks a stake against its draw: the drawn numbers in draw order, the
// matched numbers ascending, the profit by the profit rule.
void CheckStakeRecord(TStakeRecord& r, const TDrawRecord& draw, const TConfigData& config);

// One reading pass over the stakes file: every candidate whose draw is in
// the archive (whatever the draws offset) is checked in memory, and the
// record as found and as checked are returned in file order; nothing is
// written, so the caller can first make its redo record. onProgress gets the
// percentage at every hundredth of the records after the first candidate.
// Throws Error.
std::vector<TCheckJournalEntry> CollectStakeChecks(const TStakesFile& file, const TDrawArchive& archive,
                                                   const TConfigData& config,
                                                   const std::function<void(double)>& onProgress);

}  // namespace tessara
