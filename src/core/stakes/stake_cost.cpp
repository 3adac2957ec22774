#include "stakes/stake_cost.h"

#include <algorithm>

#include "model/format.h"
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

std::string FormatShownNumber(double value, int decimals) {
    std::string s = FormatFixed(value, decimals);
    if (!s.empty() && s[0] == '-' && s.find_first_of("123456789") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string FormatShownMoney(TMoney value) {
    return FormatShownNumber(static_cast<double>(value) / MoneyScale, 2);
}

}  // namespace tessara
