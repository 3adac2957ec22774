#include "views/number_filter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__x86_64__) && defined(__GNUC__)
#include <tmmintrin.h>
#define TESSARA_MASK_SHUFFLE 1
#endif

#include "app/workspace.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/game.h"
#include "stats/filter.h"
#include "stats/parallel_filter.h"

namespace tessara {

namespace {

// Whether a combination holds a number of the mask: bit n stands for n,
// and bit 63 stays clear, so any byte from 63 up reads as not in the set.
inline bool HoldsMasked(const TCombination& c, uint64_t mask) {
    uint64_t hit = 0;
    for (uint8_t x : c.n) hit |= mask >> std::min<uint8_t>(x, 63);
    return (hit & 1) != 0;
}

int64_t FilterByMask(const TCombination* src, int64_t n, TCombination* dst, uint64_t mask,
                     bool removes) {
    return FilterWith(src, n, dst, removes, [mask](const TCombination& c) { return HoldsMasked(c, mask); });
}

#if TESSARA_MASK_SHUFFLE
// For 16 bytes, a bit for each byte that is a number of the set: the mask
// byte of its upper three bits and the bit of its lower three are looked up
// with byte shuffles, so the cost does not grow with the size of the set.
__attribute__((target("ssse3"))) inline uint64_t HeldBytes(const uint8_t* p, __m128i maskBytes) {
    const __m128i bits = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 0, 0, 0, 0, 0, 0, 0, 0);
    const __m128i seven = _mm_set1_epi8(7);
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i inRange = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(63)), v);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(v, 3), seven);
    const __m128i low = _mm_and_si128(v, seven);
    const __m128i hit = _mm_and_si128(_mm_shuffle_epi8(maskBytes, high), _mm_shuffle_epi8(bits, low));
    const int missed = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(hit, inRange), _mm_setzero_si128()));
    return static_cast<uint64_t>(~missed & 0xFFFF);
}

// Eight combinations (48 bytes) at a time.
__attribute__((target("ssse3"))) int64_t FilterByMaskShuffled(const TCombination* src, int64_t n,
                                                              TCombination* dst, uint64_t mask,
                                                              bool removes) {
    const auto* s = reinterpret_cast<const uint8_t*>(src);
    auto* d = reinterpret_cast<uint8_t*>(dst);
    const __m128i maskBytes = _mm_set_epi64x(0, static_cast<long long>(mask));
    int64_t kept = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint8_t* p = s + i * 6;
        const uint64_t m = HeldBytes(p, maskBytes) | HeldBytes(p + 16, maskBytes) << 16 |
                           HeldBytes(p + 32, maskBytes) << 32;
        for (int t = 0; t < 8; ++t) {
            std::memcpy(d + kept * 6, p + t * 6, 6);
            kept += (((m >> (6 * t)) & 63) != 0) != removes;
        }
    }
    return kept + FilterByMask(src + i, n - i, dst + kept, mask, removes);
}
#endif

}  // namespace

std::vector<int> UniqueNumbers(const std::vector<int>& numbers) {
    std::vector<int> unique;
    for (int n : numbers)
        if (std::find(unique.begin(), unique.end(), n) == unique.end()) unique.push_back(n);
    return unique;
}

std::string NumbersValuesText(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) {
        if (!text.empty()) text += "; ";
        text += std::to_string(n);
    }
    return text;
}

bool FilterCombsByNumbers(Workspace& ws, const std::vector<int>& numbers, bool removes,
                          const std::string& caption) {
    Host& host = ws.GetHost();
    BusyGuard busy(host, "Фильтрация комбинаций...");
    const std::vector<int> set = UniqueNumbers(numbers);
    if (set.empty()) {
        host.ShowError(MsgNoFilterValues);
        return false;
    }
    // Bit n for each number 1..42 of the set (a loaded list may hold any byte).
    uint64_t mask = 0;
    for (int n : set)
        if (n >= 1 && n <= MaxNumber) mask |= uint64_t{1} << n;
    TCombList& list = ws.Combs();
    const TCombList& undo = ws.Undo();
    try {
        list.Reserve(undo.Capacity(), 0);
    } catch (const std::bad_alloc&) {
        host.ShowError("Недостаточно памяти для списка комбинаций");
        host.Notify(Change::List);
        return false;
    }
    if (undo.Count() == 0) {
        host.Notify(Change::List);
        return true;
    }
#if TESSARA_MASK_SHUFFLE
    static const bool shuffles = __builtin_cpu_supports("ssse3");
#else
    constexpr bool shuffles = false;
#endif
    const int64_t kept = FilterSlicesWithThreads(
        undo.Data(), undo.Count(), list.Data(), [&](const TCombination* s, int64_t n, TCombination* d) {
#if TESSARA_MASK_SHUFFLE
            if (shuffles) return FilterByMaskShuffled(s, n, d, mask, removes);
#endif
            return FilterByMask(s, n, d, mask, removes);
        });
    list.SetCount(kept);
    ws.AddFilterLogEntry(removes, caption, NumbersValuesText(set));
    return true;
}

bool ApplyNumberFilter(Workspace& ws, const std::vector<int>& numbers, bool removes,
                       const std::string& caption) {
    if (numbers.empty()) {
        ws.GetHost().ShowError(MsgNoFilterValues);
        return false;
    }
    try {
        ws.MakeUndoCopy(true);
    } catch (const Error& e) {
        ws.GetHost().ShowError(e.what());
        return false;
    }
    return FilterCombsByNumbers(ws, numbers, removes, caption);
}

void AppendLayoutCellNumbers(std::string_view text, std::vector<int>& numbers) {
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = std::min(text.find(',', pos), text.size());
        std::string word;
        for (char ch : text.substr(pos, end - pos))
            if (ch != '[' && ch != ']') word += ch;
        int32_t value = 0;
        if (!TryStrToInt(Trim(word), value)) value = 0;
        numbers.push_back(value);
        pos = end + 1;
    }
}

}  // namespace tessara
