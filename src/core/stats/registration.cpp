// The registration table: every statistic class in the order in which the
// registry offers them. Each family adds its rows at their places.
#include "stats/families/numbers.h"
#include "stats/families/sums.h"
#include "stats/stat_list.h"

namespace tessara {

const std::vector<const TStatClass*>& RegistrationTable() {
    static const std::vector<const TStatClass*> table = {
        &TstValues,        &TstDigits,      &TstEvenCount,     &TstEvenValues,
        &TstSmallCount,    &TstSmallValues, &TstPrimeCount,    &TstPrimeValues,
        &TstSumValues,     &TstSumRanges,   &TstSumChange,     &TstSumChangeSome,
        &TstSumTrend,      &TstSumEvenValues, &TstSumPrimeValues, &TstSum2To3,
        // differences, channels, matrix, segments, sequences, repeats and
        // combination values come here
        &TstPosVal,        &TstPosExt,
        // channel, column, row and segment counts, serials, periods,
        // transitions, characteristic numbers and shredding come here
    };
    return table;
}

}  // namespace tessara
