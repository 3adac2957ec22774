#pragma once

#include <string>

#include "base/config.h"
#include "model/records.h"

namespace tessara {

// The profit rule. A stake of count numbers covers C(count, 6) six-number
// tickets (one when count is 6 or less) and pays the prize of one ticket
// with its number of matches: the first prize row for that number. With
// matches -1 (unchecked) it is the cost alone, as a negative amount.
TMoney StakeCost(const TConfigData& config, int count, int matches);

// The longest merged stake the configuration allows, within what a stake
// record can hold (a hand-edited MaxStake may exceed it).
int MaxStakeLength(const TConfigData& config);

// A number shown with a fixed count of decimals and the display separator;
// a value that rounds to zero shows without a minus sign.
std::string FormatShownNumber(double value, int decimals);
// "%.2f" of a money amount for display.
std::string FormatShownMoney(TMoney value);

}  // namespace tessara
