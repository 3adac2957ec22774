#include "stakes/stake_cost.h"

#include <algorithm>

#include "model/game.h"
#include "stakes/stake_record.h"

namespace tessara {

TMoney StakeCost(const TConfigData& config, int count, int matches) {
    const int64_t tickets = count <= BallsInDraw ? 1 : Binomial(count, BallsInDraw);
    const TMoney base = -(tickets * config.Cost);
    if (matches >= 0)
        for (const TPrizeRow& row : config.Profits)
            if (row.Overlap == matches) return base + row.Profit;
    return base;
}

int MaxStakeLength(const TConfigData& config) {
    return std::clamp(config.MaxStake, BallsInDraw, MaxStakeNumbers);
}

}  // namespace tessara
