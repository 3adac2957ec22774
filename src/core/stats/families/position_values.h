#pragma once

// Helpers shared by the families that turn every number of a draw into a
// small value (a difference, a channel, a column, a row, a segment) and
// describe the draw by those values.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "model/records.h"
#include "stats/custom_stat.h"

namespace tessara {

// Numbers outside 1..42 (the zeros of a missing draw) belong to no channel,
// column, row or segment.
constexpr bool IsGameNumber(int n) { return n >= 1 && n <= MaxNumber; }

// Calls f(key) for every choice of n of the len values, positions in
// lexicographic order: 15, 20 or 15 tuples of six values for n = 2, 3, 4.
template <typename F>
void ForEachMixTuple(const uint8_t* v, int len, int n, F f) {
    int idx[4] = {0, 1, 2, 3};
    for (;;) {
        StatKey k = MakeKey(0);
        for (int t = 0; t < n; ++t) k.w[t] = v[idx[t]];
        f(k);
        int i = n - 1;
        while (i >= 0 && idx[i] == len - n + i) --i;
        if (i < 0) return;
        ++idx[i];
        for (int j = i + 1; j < n; ++j) idx[j] = idx[j - 1] + 1;
    }
}

// Calls f(key) for every n neighbouring values, left to right.
template <typename F>
void ForEachWindow(const uint8_t* v, int len, int n, F f) {
    for (int i = 0; i + n <= len; ++i) {
        StatKey k = MakeKey(0);
        for (int t = 0; t < n; ++t) k.w[t] = v[i + t];
        f(k);
    }
}

// A selected tuple of n values, when a key can be one (the words past n
// zero, the values bytes).
struct TTuple {
    uint8_t v[4];
};
bool KeyToTuple(const StatKey& key, int n, TTuple& t);
std::vector<TTuple> SelectedTuples(const TStatDrawArray& selected, int n);

// Some choice of n positions carries the tuple exactly when the tuple is a
// subsequence of the values, which a greedy scan finds.
inline bool HasSubsequence(const uint8_t* v, int len, const TTuple& t, int n) {
    int j = 0;
    for (int i = 0; i < len && j < n; ++i) j += v[i] == t.v[j];
    return j == n;
}
inline bool HasWindow(const uint8_t* v, int len, const TTuple& t, int n) {
    for (int i = 0; i + n <= len; ++i) {
        bool same = true;
        for (int k = 0; k < n; ++k) same = same && v[i + k] == t.v[k];
        if (same) return true;
    }
    return false;
}
template <bool Mix>
bool HasTuple(const uint8_t* v, int len, const TTuple& t, int n) {
    return Mix ? HasSubsequence(v, len, t, n) : HasWindow(v, len, t, n);
}
template <bool Mix>
bool RowsHaveTuple(const uint8_t* v, int len, const TStatDrawArray& selected, int n) {
    for (const TStatDraw& r : selected) {
        TTuple t;
        if (KeyToTuple(r.Key, n, t) && HasTuple<Mix>(v, len, t, n)) return true;
    }
    return false;
}

// "1:3:3": the first n key words.
std::string JoinKeyWords(const StatKey& key, int n);
// "3 x 2": key words 1 and 2.
std::string PairText(const StatKey& key);

// Tuples of the values of the six positions: every choice of N positions
// (Mix) or every N neighbouring positions. Draws only: a combination has no
// such values, so there is no norm either. Base provides
// PositionValues(numbers, values).
template <class Base, int N, bool Mix>
class TPositionTupleStat : public Base {
public:
    using Base::Base;
    std::string ValueToText(const TStatDraw& row) const override {
        return JoinKeyWords(row.Key, N);
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        uint8_t v[BallsInDraw];
        this->PositionValues(c.n, v);
        return RowsHaveTuple<Mix>(v, BallsInDraw, sel, N);
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const std::vector<TTuple> tuples = SelectedTuples(sel, N);
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint8_t v[BallsInDraw];
            this->PositionValues(c.n, v);
            for (const TTuple& t : tuples)
                if (HasTuple<Mix>(v, BallsInDraw, t, N)) return true;
            return false;
        });
    }

protected:
    void AddDrawRowValues(int, int, bool, TStatDrawArray& rows) override {
        uint8_t v[BallsInDraw];
        this->PositionValues(this->Draw.Numbers, v);
        const auto emit = [&](const StatKey& k) { this->Emit(rows, k, true); };
        if (Mix)
            ForEachMixTuple(v, BallsInDraw, N, emit);
        else
            ForEachWindow(v, BallsInDraw, N, emit);
    }
};

// The (class, count) members: for every listed class (channel, column, row,
// segment) the number of the six numbers in it, 0 included. classOf maps
// every byte value to its class; listed says which classes yield rows.
int ClassCount(const uint8_t* numbers, const uint8_t* classOf, int cls);
// Whether some (class, count) pair of the numbers equals a selected key.
bool ClassCountsMatch(const uint8_t* numbers, const uint8_t* classOf, const bool* listed,
                      const TStatDrawArray& selected);

// The same test with the selection turned into tables once per filtering.
// The 42 numbers fall into at most 42 classes, so the counts of one
// combination fit in two words as 3-bit fields (21 per word); a selected
// count is then found in all fields at once.
class TClassCountFilter {
public:
    TClassCountFilter(const TStatDrawArray& selected, const uint8_t* classOf, const bool* listed);
    // Up to 21 classes (all but the narrowest layouts) need one word.
    template <int Words>
    bool Matches(const uint8_t* numbers) const {
        uint64_t a[Words] = {};
        for (int k = 0; k < BallsInDraw; ++k)
            for (int w = 0; w < Words; ++w) a[w] += add_[numbers[k]][w];
        bool hit = always_;
        for (int t = 0; t < counts_; ++t)
            for (int w = 0; w < Words; ++w) {
                const uint64_t x = a[w] ^ repeated_[t];
                hit |= (~(x | x >> 1 | x >> 2) & fields_[t][w]) != 0;
            }
        return hit;
    }
    int64_t Filter(const TCombination* src, int64_t n, TCombination* dst, bool exclude) const {
        if (words_ == 1)
            return FilterWithThreads(src, n, dst, exclude,
                                     [this](const TCombination& c) { return Matches<1>(c.n); });
        return FilterWithThreads(src, n, dst, exclude,
                                 [this](const TCombination& c) { return Matches<2>(c.n); });
    }

private:
    uint64_t add_[256][2] = {};                 // the field of a number's class, as 1
    uint64_t repeated_[BallsInDraw + 1] = {};   // a selected count in every field
    uint64_t fields_[BallsInDraw + 1][2] = {};  // the fields selected with that count
    int counts_ = 0;
    int words_ = 1;
    bool always_ = false;  // a listed class without numbers is selected with count 0
};

// The counts of a combination's numbers by class as one code, for layouts
// of at most seven classes: a (class, count) selection matches by the
// counts alone, so a combination's code tells every filtering's answer
// (the same answers as TClassCountFilter).
class TClassPatternCodes {
public:
    static constexpr int MaxFields = 7;
    explicit TClassPatternCodes(const uint8_t* classOf);
    bool Valid() const { return fields_ <= MaxFields; }
    int CodeCount() const;
    void Codes(const TCombination* src, int64_t n, uint16_t* codes) const {
        for (int64_t i = 0; i < n; ++i) {
            uint32_t p = 0;
            for (uint8_t x : src[i].n) p += add_[x];
            codes[i] = (*dense_)[p];
        }
    }
    void Wanted(const TStatDrawArray& selected, const bool* listed, uint8_t* wanted) const;

private:
    int field_[256];
    int fields_ = 0;
    uint32_t add_[256] = {};  // 7 to the power of the number's field; 0 outside 1..42
    const std::vector<uint16_t>* dense_ = nullptr;                     // base-7 counts to code
    const std::vector<std::array<uint8_t, MaxFields>>* patterns_ = nullptr;  // code to counts
};

// The number of different values among len.
inline int DistinctCount(const uint8_t* v, int len) {
    int count = 0;
    for (int i = 0; i < len; ++i) {
        bool seen = false;
        for (int j = 0; j < i; ++j) seen = seen || v[j] == v[i];
        count += !seen;
    }
    return count;
}

// A table of 256 flags, one per byte value, from a test of the value.
template <typename F>
std::array<bool, 256> ByteFlags(F f) {
    std::array<bool, 256> t{};
    for (int v = 0; v < 256; ++v) t[static_cast<size_t>(v)] = f(v);
    return t;
}

// One small integer (0..255) per draw in word 1, also its graph value,
// filtered through a table of the selected values. Derived provides
// Value(numbers) and FillRange() (empty when high < low).
template <class Base, class Derived>
class TSmallValueStat : public Base {
public:
    using Base::Base;
    void FillAllValues(int, TStatDrawArray& rows) override {
        const auto [low, high] = Self().FillRange();
        for (int v = low; v <= high; ++v) this->AddEmpty(rows, MakeKey(static_cast<uint16_t>(v)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, static_cast<uint16_t>(Self().Value(c.n)));
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return Self().Value(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const auto wanted =
            ByteFlags([&](int v) { return RowsHaveWord(sel, 1, static_cast<uint16_t>(v)); });
        const Derived& self = Self();
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            return wanted[static_cast<uint8_t>(self.Value(c.n))];
        });
    }
    int CodeCount() const override { return 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        const Derived& self = Self();
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint8_t>(self.Value(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int v = 0; v < 256; ++v) wanted[v] = RowsHaveWord(sel, 1, static_cast<uint16_t>(v));
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        this->Emit(rows, MakeKey(static_cast<uint16_t>(Self().Value(n))), track);
    }

private:
    const Derived& Self() const { return static_cast<const Derived&>(*this); }
};

}  // namespace tessara
