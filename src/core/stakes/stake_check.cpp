#include "stakes/stake_check.h"

#include <cstring>

#include "model/game.h"
#include "stakes/stake_cost.h"
#include "stakes/stakes_file.h"

namespace tessara {

bool IsStakeCheckCandidate(const TStakeRecord& r) {
    return r.Checked == 0 && r.Draw > 0 && r.Numbers.Count >= BallsInDraw &&
           r.Numbers.Count <= MaxStakeNumbers && !StakeIsDamaged(r);
}

void CheckStakeRecord(TStakeRecord& r, const TDrawRecord& draw, const TConfigData& config) {
    r.Checked = 1;
    std::memcpy(r.Result, draw.Numbers, sizeof r.Result);
    r.Matches = MatchedNumbers(draw, r.Numbers);
    r.Profit = StakeCost(config, StakeNumberCount(r), r.Matches.Count);
}

std::vector<TCheckJournalEntry> CollectStakeChecks(const TStakesFile& file, const TDrawArchive& archive,
                                                   const TConfigData& config,
                                                   const std::function<void(double)>& onProgress) {
    const int64_t count = file.Count();
    int64_t first = -1, total = 0, step = 1;
    std::vector<TCheckJournalEntry> checks;
    file.ForEach(0, [&](int64_t i, const TStakeRecord& read) {
        if (IsStakeCheckCandidate(read)) {
            if (first < 0) {
                first = i;
                total = count - (i + 1);
                step = std::max<int64_t>(total / 100, 1);
            }
            const int index = archive.FindDrawIndex(read.Draw);
            if (index >= 0) {
                TCheckJournalEntry e{i, read, read};
                CheckStakeRecord(e.After, archive[index], config);
                checks.push_back(e);
            }
        }
        if (first >= 0) {
            const int64_t p = i - first;
            if (total > 0 && p > 0 && p % step == 0 && onProgress)
                onProgress(100.0 * static_cast<double>(p) / static_cast<double>(total));
        }
        return true;
    });
    return checks;
}

}  // namespace tessara
