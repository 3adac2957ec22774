#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// The numbers of a draw one by one (group "num").
extern const TStatClass TstValues, TstDigits, TstEvenCount, TstEvenValues, TstSmallCount,
    TstSmallValues, TstPrimeCount, TstPrimeValues, TstPosVal, TstPosExt;

// 1 counts as prime here.
constexpr bool IsPrimeNumber(int n) {
    constexpr uint64_t primes = (1ull << 1) | (1ull << 2) | (1ull << 3) | (1ull << 5) | (1ull << 7) |
                                (1ull << 11) | (1ull << 13) | (1ull << 17) | (1ull << 19) |
                                (1ull << 23) | (1ull << 29) | (1ull << 31) | (1ull << 37) |
                                (1ull << 41);
    return n >= 0 && n < 64 && ((primes >> n) & 1);
}
constexpr bool IsEvenNumber(int n) { return n % 2 == 0; }
constexpr bool IsSmallNumber(int n) { return n <= 21; }

}  // namespace tessara
