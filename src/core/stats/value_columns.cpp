#include "stats/value_columns.h"

#include <array>

#include "stats/custom_stat.h"

namespace tessara {

namespace {

// choose[n][k] for n < 43, k <= 6.
struct TChoose {
    std::array<std::array<int32_t, BallsInDraw + 1>, MaxNumber + 1> v{};
    constexpr TChoose() {
        for (int n = 0; n <= MaxNumber; ++n) {
            v[static_cast<size_t>(n)][0] = 1;
            for (int k = 1; k <= BallsInDraw; ++k)
                v[static_cast<size_t>(n)][static_cast<size_t>(k)] =
                    n == 0 ? 0
                           : v[static_cast<size_t>(n - 1)][static_cast<size_t>(k - 1)] +
                                 v[static_cast<size_t>(n - 1)][static_cast<size_t>(k)];
        }
    }
};
constexpr TChoose kChoose;
static_assert(kChoose.v[MaxNumber][BallsInDraw] == TValueColumns::CombCount);

}  // namespace

int64_t TValueColumns::Rank(const TCombination& c) {
    // Colex rank: the sum of choose(n_k - 1, k) over the sorted numbers.
    int64_t r = 0;
    int prev = 0;
    for (int k = 0; k < BallsInDraw; ++k) {
        const int x = c.n[k];
        if (x <= prev || x > MaxNumber) return -1;
        r += kChoose.v[static_cast<size_t>(x - 1)][static_cast<size_t>(k + 1)];
        prev = x;
    }
    return r;
}

const TValueColumns::TColumn* TValueColumns::Find(int method) const {
    for (const TColumn& c : columns_)
        if (c.Method == method) return &c;
    return nullptr;
}

void TValueColumns::Prepare(int method, const TCustomStat& stat) {
    if (!stat.CodesCostly() || Find(method)) return;
    const bool narrow = stat.CodeCount() <= 256;
    const size_t bytes = static_cast<size_t>(CombCount) * (narrow ? 1 : 2);
    if (bytes > budget_) return;
    while (!columns_.empty() && Bytes() + bytes > budget_) columns_.erase(columns_.begin());
    TColumn col;
    col.Method = method;
    if (narrow)
        col.Narrow.resize(static_cast<size_t>(CombCount));
    else
        col.Wide.resize(static_cast<size_t>(CombCount));
    // Every combination in lexicographic order, coded a block at a time.
    constexpr int kBlock = 4096;
    std::array<TCombination, kBlock> block;
    std::array<uint16_t, kBlock> codes;
    int used = 0;
    auto flush = [&] {
        stat.CombCodes(block.data(), used, codes.data());
        for (int i = 0; i < used; ++i) {
            const auto r = static_cast<size_t>(Rank(block[static_cast<size_t>(i)]));
            if (narrow)
                col.Narrow[r] = static_cast<uint8_t>(codes[static_cast<size_t>(i)]);
            else
                col.Wide[r] = codes[static_cast<size_t>(i)];
        }
        used = 0;
    };
    TCombination c;
    for (int a = 1; a <= MaxNumber; ++a)
        for (int b = a + 1; b <= MaxNumber; ++b)
            for (int d = b + 1; d <= MaxNumber; ++d)
                for (int e = d + 1; e <= MaxNumber; ++e)
                    for (int f = e + 1; f <= MaxNumber; ++f)
                        for (int g = f + 1; g <= MaxNumber; ++g) {
                            c.n[0] = static_cast<uint8_t>(a);
                            c.n[1] = static_cast<uint8_t>(b);
                            c.n[2] = static_cast<uint8_t>(d);
                            c.n[3] = static_cast<uint8_t>(e);
                            c.n[4] = static_cast<uint8_t>(f);
                            c.n[5] = static_cast<uint8_t>(g);
                            block[static_cast<size_t>(used++)] = c;
                            if (used == kBlock) flush();
                        }
    flush();
    columns_.push_back(std::move(col));
}

void TValueColumns::Codes(int method, const TCustomStat& stat, const TCombination* src, int64_t n,
                          uint16_t* codes) const {
    const TColumn* col = Find(method);
    if (!col) {
        stat.CombCodes(src, n, codes);
        return;
    }
    for (int64_t i = 0; i < n; ++i) {
        const int64_t r = Rank(src[i]);
        if (r < 0)
            stat.CombCodes(src + i, 1, codes + i);  // not a plain combination: coded directly
        else
            codes[i] = col->Narrow.empty() ? col->Wide[static_cast<size_t>(r)]
                                           : col->Narrow[static_cast<size_t>(r)];
    }
}

void TValueColumns::Clear() { columns_.clear(); }

size_t TValueColumns::Bytes() const {
    size_t total = 0;
    for (const TColumn& c : columns_) total += c.Bytes();
    return total;
}

}  // namespace tessara
