#include "stats/families/matrix.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "model/format.h"
#include "model/game.h"
#include "stats/families/position_values.h"
#include "stats/stat_list.h"

namespace tessara {

TMatrixLayout::TMatrixLayout(const TStatList& list)
    : Cols(std::clamp(list.Config().MatrixCols, 1, MaxNumber)), Rows(CeilDiv(MaxNumber, Cols)) {
    for (int n = 1; n <= MaxNumber; ++n) {
        colOf_[static_cast<size_t>(n)] = static_cast<uint8_t>(MatrixColumn(n, Cols));
        rowOf_[static_cast<size_t>(n)] = static_cast<uint8_t>(MatrixRow(n, Cols));
    }
    for (int c = 1; c <= Cols; ++c) colListed_[static_cast<size_t>(c)] = true;
    for (int r = 1; r <= Rows; ++r) rowListed_[static_cast<size_t>(r)] = true;
}

namespace {

// Columns (or rows) of the numbers one by one.
template <bool Row>
class StLines : public TCustomMatrixStat {
public:
    using TCustomMatrixStat::TCustomMatrixStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int l = 1; l <= Lines<Row>(); ++l) AddEmpty(rows, MakeKey(static_cast<uint16_t>(l)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t n : c.n)
            if (RowsHaveWord(sel, 1, LineOf<Row>()[n])) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int v) { return RowsHaveWord(sel, 1, LineOf<Row>()[v]); });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int k = 0; k < BallsInDraw; ++k) Emit(rows, MakeKey(LineOf<Row>()[n[k]]), track);
    }
};

// Every column with the count of its numbers, "3 x 2".
template <bool Row>
class StLineValues : public TCustomMatrixStat {
public:
    StLineValues(const TStatClass& c, const TStatList& l, int p)
        : TCustomMatrixStat(c, l, p), patterns_(LineOf<Row>()) {}
    std::string ValueToText(const TStatDraw& row) const override { return PairText(row.Key); }
    void FillAllValues(int, TStatDrawArray& rows) override {
        // A column holds at most one number per row.
        const int most = std::min(Lines<!Row>(), BallsInDraw);
        for (int l = 1; l <= Lines<Row>(); ++l)
            for (int k = 0; k <= most; ++k)
                AddEmpty(rows, MakeKey(static_cast<uint16_t>(l), static_cast<uint16_t>(k)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return ClassCountsMatch(c.n, LineOf<Row>(), LineListed<Row>(), sel);
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return TClassCountFilter(sel, LineOf<Row>(), LineListed<Row>()).Filter(src, n, dst, exclude);
    }
    int CodeCount() const override { return patterns_.CodeCount(); }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        patterns_.Codes(src, n, codes);
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        patterns_.Wanted(sel, LineListed<Row>(), wanted);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int l = 1; l <= Lines<Row>(); ++l)
            Emit(rows,
                 MakeKey(static_cast<uint16_t>(l),
                         static_cast<uint16_t>(ClassCount(n, LineOf<Row>(), l))),
                 track);
    }

private:
    TClassPatternCodes patterns_;
};

template <bool Row>
class StLineCount : public TSmallValueStat<TCustomMatrixGraphStat, StLineCount<Row>> {
public:
    using TSmallValueStat<TCustomMatrixGraphStat, StLineCount<Row>>::TSmallValueStat;
    int Value(const uint8_t* n) const {
        uint8_t l[BallsInDraw];
        for (int k = 0; k < BallsInDraw; ++k) l[k] = this->template LineOf<Row>()[n[k]];
        return DistinctCount(l, BallsInDraw);
    }
    std::pair<int, int> FillRange() const {
        return {1, std::min(this->template Lines<Row>(), BallsInDraw)};
    }
};

template <bool Row>
class StLineValCnt : public TSmallValueStat<TCustomMatrixGraphStat, StLineValCnt<Row>> {
public:
    using TSmallValueStat<TCustomMatrixGraphStat, StLineValCnt<Row>>::TSmallValueStat;
    int Value(const uint8_t* n) const {
        return ClassCount(n, this->template LineOf<Row>(), this->Param);
    }
    // Up to the length of a column: the number of rows.
    std::pair<int, int> FillRange() const { return {1, this->template Lines<!Row>()}; }
};

// Which columns are occupied: one bit per column, column 1 the most
// significant of C bits. A grid has up to 42 columns (or rows), so the mask
// is 64 bits held in the whole key, low half first; up to 32 columns the
// second half stays 0 and the key is the plain 32-bit mask of the first
// half, compared on that half alone.
template <bool Row>
class StLineMask : public TCustomMatrixStat {
public:
    StLineMask(const TStatClass& c, const TStatList& l, int p) : TCustomMatrixStat(c, l, p) {
        for (int n = 1; n <= MaxNumber; ++n) {
            const int line = LineOf<Row>()[n];
            bit_[static_cast<size_t>(n)] = uint64_t{1} << (Lines<Row>() - line);
        }
    }
    uint64_t Mask(const uint8_t* n) const {
        uint64_t m = 0;
        for (int k = 0; k < BallsInDraw; ++k) m |= bit_[n[k]];
        return m;
    }
    bool Wide() const { return Lines<Row>() > 32; }
    uint64_t KeyMask(const StatKey& k) const {
        const uint64_t low = static_cast<uint32_t>(k.i[0]);
        return Wide() ? low | uint64_t{static_cast<uint32_t>(k.i[1])} << 32 : low;
    }
    std::string ValueToText(const TStatDraw& row) const override {
        const uint64_t m = KeyMask(row.Key);
        std::string digits;
        for (int l = Lines<Row>() - 1; l >= 0; --l) digits += (m >> l) & 1 ? '1' : '0';
        return FormatTemplate("%s (%.3d)", {digits, static_cast<int64_t>(m)});
    }
    // The value is one 32-bit integer: a mask wider than that keeps its
    // low 32 bits, those of the first key half.
    int32_t TextToValue(const std::string& text) const override {
        uint64_t m = 0;
        for (size_t i = 0; i < static_cast<size_t>(Lines<Row>()); ++i)
            m = (m << 1) | (i < text.size() && text[i] == '1' ? 1 : 0);
        return static_cast<int32_t>(static_cast<uint32_t>(m));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        const uint64_t m = Mask(c.n);
        for (const TStatDraw& r : sel)
            if (KeyMask(r.Key) == m) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        std::vector<uint64_t> masks;
        for (const TStatDraw& r : sel) masks.push_back(KeyMask(r.Key));
        std::sort(masks.begin(), masks.end());
        masks.erase(std::unique(masks.begin(), masks.end()), masks.end());
        if (masks.size() <= 8)
            return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
                const uint64_t m = Mask(c.n);
                bool hit = false;
                for (uint64_t x : masks) hit |= x == m;
                return hit;
            });
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            return std::binary_search(masks.begin(), masks.end(), Mask(c.n));
        });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        const uint64_t m = Mask(n);
        Emit(rows,
             MakeIntKey(static_cast<int32_t>(static_cast<uint32_t>(m)),
                        static_cast<int32_t>(static_cast<uint32_t>(m >> 32))),
             track);
    }

private:
    std::array<uint64_t, 256> bit_{};  // 0 for a number outside 1..42
};

// Numbers that touch along a column (rows differing by 1), or along a row.
// Fills the columns in the order in which they first got a pair, with
// their pair counts; returns how many.
template <bool Row>
int AdjacentLines(const TMatrixLayout& m, const uint8_t* n, uint8_t* lines, int* pairs) {
    const uint8_t* lineOf = m.LineOf<Row>();
    const uint8_t* placeOf = m.PlaceOf<Row>();
    int count = 0;
    for (int i = 0; i < BallsInDraw; ++i)
        for (int j = i + 1; j < BallsInDraw; ++j) {
            const uint8_t l = lineOf[n[i]];
            if (l == 0 || l != lineOf[n[j]] || std::abs(placeOf[n[i]] - placeOf[n[j]]) != 1)
                continue;
            int t = 0;
            while (t < count && lines[t] != l) ++t;
            if (t == count) {
                lines[count] = l;
                pairs[count++] = 0;
            }
            ++pairs[t];
        }
    return count;
}

constexpr int MaxPairs = BallsInDraw * (BallsInDraw - 1) / 2;

// Columns with touching numbers: the column and its pair count + 1, "3 x 3".
template <bool Row>
class StLineAdjacent : public TCustomMatrixStat {
public:
    using TCustomMatrixStat::TCustomMatrixStat;
    std::string ValueToText(const TStatDraw& row) const override { return PairText(row.Key); }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        uint8_t lines[MaxPairs];
        int pairs[MaxPairs];
        const int count = AdjacentLines<Row>(*this, c.n, lines, pairs);
        for (int t = 0; t < count; ++t)
            if (RowsHaveKey(sel, lines[t], static_cast<uint16_t>(pairs[t] + 1), 0, 0)) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[256][MaxPairs + 2] = {};
        for (const TStatDraw& r : sel)
            if (r.Key.w[0] < 256 && r.Key.w[1] <= MaxPairs + 1 && r.Key.w[2] == 0 &&
                r.Key.w[3] == 0)
                wanted[r.Key.w[0]][r.Key.w[1]] = true;
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint8_t lines[MaxPairs];
            int pairs[MaxPairs];
            const int count = AdjacentLines<Row>(*this, c.n, lines, pairs);
            bool hit = false;
            for (int t = 0; t < count; ++t) hit |= wanted[lines[t]][pairs[t] + 1];
            return hit;
        });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        uint8_t lines[MaxPairs];
        int pairs[MaxPairs];
        const int count = AdjacentLines<Row>(*this, n, lines, pairs);
        for (int t = 0; t < count; ++t)
            Emit(rows, MakeKey(lines[t], static_cast<uint16_t>(pairs[t] + 1)), track);
    }
};

template <bool Row>
class StLineAdjacentCnt : public TSmallValueStat<TCustomMatrixGraphStat, StLineAdjacentCnt<Row>> {
public:
    using TSmallValueStat<TCustomMatrixGraphStat, StLineAdjacentCnt<Row>>::TSmallValueStat;
    int Value(const uint8_t* n) const {
        uint8_t lines[MaxPairs];
        int pairs[MaxPairs];
        return AdjacentLines<Row>(*this, n, lines, pairs);
    }
    std::pair<int, int> FillRange() const { return {1, 0}; }
};

// The column (or row) of every position, for the tuple members.
template <bool Row>
class StMatrixAxis : public TCustomMatrixStat {
public:
    using TCustomMatrixStat::TCustomMatrixStat;
    void PositionValues(const uint8_t* n, uint8_t* lines) const {
        for (int k = 0; k < BallsInDraw; ++k) lines[k] = LineOf<Row>()[n[k]];
    }
};

template <bool Row, int N>
using StCombMix = TPositionTupleStat<StMatrixAxis<Row>, N, true>;
template <bool Row, int N>
using StCombSeq = TPositionTupleStat<StMatrixAxis<Row>, N, false>;

std::pair<int, int> ColumnRange(const TStatList& list) {
    const int c = list.Config().MatrixCols;
    if (c <= 0) return {1, 0};
    return {1, std::min(c, MaxNumber)};
}
std::pair<int, int> RowRange(const TStatList& list) {
    const int c = list.Config().MatrixCols;
    if (c <= 0) return {1, 0};
    return {1, CeilDiv(MaxNumber, std::min(c, MaxNumber))};
}

}  // namespace

const TStatClass TstColumns{"TstColumns", "COLS", "Столбцы матрицы (не пустые)", nullptr, 4, sfNorm,
                            false, false, true, true, true, nullptr, nullptr,
                            MakeStat<StLines<false>>};
const TStatClass TstRows{"TstRows", "ROWS", "Строки матрицы (не пустые)", nullptr, 4, sfNorm, false,
                         false, true, true, true, nullptr, nullptr, MakeStat<StLines<true>>};
const TStatClass TstColValues{"TstColValues", "COLV", "Количество чисел в столбце матрицы", nullptr,
                              4, sfNorm, false, false, false, true, true, nullptr, nullptr,
                              MakeStat<StLineValues<false>>};
const TStatClass TstRowValues{"TstRowValues", "ROWV", "Количество чисел в строке матрицы", nullptr,
                              4, sfNorm, false, false, false, true, true, nullptr, nullptr,
                              MakeStat<StLineValues<true>>};
const TStatClass TstColCount{"TstColCount", "COLN", "Количество не пустых столбцов в матрице",
                             nullptr, 4, sfNorm, true, false, true, true, true, nullptr, nullptr,
                             MakeStat<StLineCount<false>>};
const TStatClass TstRowCount{"TstRowCount", "ROWN", "Количество не пустых строк в матрице", nullptr,
                             4, sfNorm, true, false, true, true, true, nullptr, nullptr,
                             MakeStat<StLineCount<true>>};
const TStatClass TstColMask{"TstColMask", "COLM", "Сочетания столбцов матрицы", nullptr, 4, sfNorm,
                            false, false, true, true, true, nullptr, nullptr,
                            MakeStat<StLineMask<false>>};
const TStatClass TstRowMask{"TstRowMask", "ROWM", "Сочетания строк матрицы", nullptr, 4, sfNorm,
                            false, false, true, true, true, nullptr, nullptr,
                            MakeStat<StLineMask<true>>};
const TStatClass TstColAjacent{"TstColAjacent", "COLA", "Столбцы матрицы со смежными числами",
                               nullptr, 4, sfNorm, false, false, true, true, true, nullptr, nullptr,
                               MakeStat<StLineAdjacent<false>>};
const TStatClass TstRowAjacent{"TstRowAjacent", "ROWA", "Строки матрицы со смежными числами",
                               nullptr, 4, sfNorm, false, false, true, true, true, nullptr, nullptr,
                               MakeStat<StLineAdjacent<true>>};
const TStatClass TstColAjacentCnt{"TstColAjacentCnt", "COLC",
                                  "Количество столбцов матрицы со смежными числами", nullptr, 4,
                                  sfNorm, true, false, true, true, true, nullptr, nullptr,
                                  MakeStat<StLineAdjacentCnt<false>>};
const TStatClass TstRowAjacentCnt{"TstRowAjacentCnt", "ROWC",
                                  "Количество строк матрицы со смежными числами", nullptr, 4,
                                  sfNorm, true, false, true, true, true, nullptr, nullptr,
                                  MakeStat<StLineAdjacentCnt<true>>};
const TStatClass TstCombColMix2{"TstCombColMix2", "KFM2",
                                "Сочетания из 2 столбцов по всем числам тиража", nullptr, 4,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<false, 2>>};
const TStatClass TstCombColMix3{"TstCombColMix3", "KFM3",
                                "Сочетания из 3 столбцов по всем числам тиража", nullptr, 4,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<false, 3>>};
const TStatClass TstCombColMix4{"TstCombColMix4", "KFM4",
                                "Сочетания из 4 столбцов по всем числам тиража", nullptr, 4,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<false, 4>>};
const TStatClass TstCombColSeq2{"TstCombColSeq2", "KFS2",
                                "Сочетания из 2 столбцов по соседним числам", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombSeq<false, 2>>};
const TStatClass TstCombColSeq3{"TstCombColSeq3", "KFS3",
                                "Сочетания из 3 столбцов по соседним числам", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombSeq<false, 3>>};
const TStatClass TstCombColSeq4{"TstCombColSeq4", "KFS4",
                                "Сочетания из 4 столбцов по соседним числам", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombSeq<false, 4>>};
const TStatClass TstCombRowMix2{"TstCombRowMix2", "KRM2",
                                "Сочетания из 2 строк по всем числам тиража", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<true, 2>>};
const TStatClass TstCombRowMix3{"TstCombRowMix3", "KRM3",
                                "Сочетания из 3 строк по всем числам тиража", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<true, 3>>};
const TStatClass TstCombRowMix4{"TstCombRowMix4", "KRM4",
                                "Сочетания из 4 строк по всем числам тиража", nullptr, 4, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombMix<true, 4>>};
const TStatClass TstCombRowSeq2{"TstCombRowSeq2", "KRS2", "Сочетания из 2 строк по соседним числам",
                                nullptr, 4, sfSorted, false, false, false, true, true, nullptr,
                                nullptr, MakeStat<StCombSeq<true, 2>>};
const TStatClass TstCombRowSeq3{"TstCombRowSeq3", "KRS3", "Сочетания из 3 строк по соседним числам",
                                nullptr, 4, sfSorted, false, false, false, true, true, nullptr,
                                nullptr, MakeStat<StCombSeq<true, 3>>};
const TStatClass TstCombRowSeq4{"TstCombRowSeq4", "KRS4", "Сочетания из 4 строк по соседним числам",
                                nullptr, 4, sfSorted, false, false, false, true, true, nullptr,
                                nullptr, MakeStat<StCombSeq<true, 4>>};
const TStatClass TstColValCnt{"TstColValCnt", "COL%d", "Количество чисел в %0:d столбце матрицы",
                              "COLx", 4, sfNorm, true, true, true, true, true, ColumnRange, nullptr,
                              MakeStat<StLineValCnt<false>>};
const TStatClass TstRowValCnt{"TstRowValCnt", "ROW%d", "Количество чисел в %0:d строке матрицы",
                              "ROWx", 4, sfNorm, true, true, true, true, true, RowRange, nullptr,
                              MakeStat<StLineValCnt<true>>};

}  // namespace tessara
