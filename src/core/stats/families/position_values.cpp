#include "stats/families/position_values.h"

#include <algorithm>
#include <iterator>

#include "model/format.h"

namespace tessara {

bool KeyToTuple(const StatKey& key, int n, TTuple& t) {
    for (int i = 0; i < 4; ++i) {
        if (i >= n ? key.w[i] != 0 : key.w[i] > 0xFF) return false;
        t.v[i] = static_cast<uint8_t>(key.w[i]);
    }
    return true;
}

std::vector<TTuple> SelectedTuples(const TStatDrawArray& selected, int n) {
    std::vector<TTuple> tuples;
    for (const TStatDraw& r : selected) {
        TTuple t;
        if (KeyToTuple(r.Key, n, t)) tuples.push_back(t);
    }
    return tuples;
}

std::string JoinKeyWords(const StatKey& key, int n) {
    std::string s;
    for (int i = 0; i < n && i < 4; ++i) {
        if (i > 0) s += ':';
        s += std::to_string(key.w[i]);
    }
    return s;
}

std::string PairText(const StatKey& key) {
    return FormatTemplate("%0:d x %1:d", {int64_t{key.w[0]}, int64_t{key.w[1]}});
}

int ClassCount(const uint8_t* numbers, const uint8_t* classOf, int cls) {
    int count = 0;
    for (int k = 0; k < BallsInDraw; ++k)
        count += IsGameNumber(numbers[k]) && classOf[numbers[k]] == cls;
    return count;
}

bool ClassCountsMatch(const uint8_t* numbers, const uint8_t* classOf, const bool* listed,
                      const TStatDrawArray& selected) {
    // Classes that hold numbers, then the listed classes that hold none.
    for (int k = 0; k < BallsInDraw; ++k) {
        if (!IsGameNumber(numbers[k])) continue;
        const uint8_t c = classOf[numbers[k]];
        if (RowsHaveKey(selected, c, static_cast<uint16_t>(ClassCount(numbers, classOf, c)), 0, 0))
            return true;
    }
    for (const TStatDraw& r : selected)
        if (r.Key.w[1] == 0 && r.Key.w[2] == 0 && r.Key.w[3] == 0 && r.Key.w[0] < 256 &&
            listed[r.Key.w[0]] && ClassCount(numbers, classOf, r.Key.w[0]) == 0)
            return true;
    return false;
}

TClassCountFilter::TClassCountFilter(const TStatDrawArray& selected, const uint8_t* classOf,
                                     const bool* listed) {
    constexpr int PerWord = 21;
    int field[256];
    std::fill(std::begin(field), std::end(field), -1);
    int fieldCount = 0;
    for (int n = 1; n <= MaxNumber; ++n) {
        int& f = field[classOf[n]];
        if (f < 0) f = fieldCount++;
        add_[n][f / PerWord] = uint64_t{1} << (3 * (f % PerWord));
    }
    words_ = fieldCount > PerWord ? 2 : 1;
    int slot[BallsInDraw + 1];
    std::fill(std::begin(slot), std::end(slot), -1);
    for (const TStatDraw& r : selected) {
        const StatKey& k = r.Key;
        if (k.w[2] != 0 || k.w[3] != 0 || k.w[0] > 0xFF || k.w[1] > BallsInDraw) continue;
        if (k.w[1] == 0 && !listed[k.w[0]]) continue;
        const int f = field[k.w[0]];
        if (f < 0) {
            always_ = always_ || k.w[1] == 0;
            continue;
        }
        int& t = slot[k.w[1]];
        if (t < 0) {
            t = counts_++;
            for (int i = 0; i < PerWord; ++i) repeated_[t] |= uint64_t{k.w[1]} << (3 * i);
        }
        fields_[t][f / PerWord] |= uint64_t{1} << (3 * (f % PerWord));
    }
}

}  // namespace tessara

namespace tessara {

namespace {

// For every number of fields, the base-7 count vectors of at most six
// numbers in order, and the code of each.
struct TPatternTables {
    std::vector<uint16_t> Dense[TClassPatternCodes::MaxFields + 1];
    std::vector<std::array<uint8_t, TClassPatternCodes::MaxFields>> Patterns[TClassPatternCodes::MaxFields + 1];
    TPatternTables() {
        for (int f = 0; f <= TClassPatternCodes::MaxFields; ++f) {
            uint32_t size = 1;
            for (int i = 0; i < f; ++i) size *= 7;
            Dense[f].assign(size, 0);
            for (uint32_t p = 0; p < size; ++p) {
                std::array<uint8_t, TClassPatternCodes::MaxFields> digits{};
                int sum = 0;
                for (uint32_t q = p, i = 0; i < static_cast<uint32_t>(f); ++i, q /= 7) {
                    digits[i] = static_cast<uint8_t>(q % 7);
                    sum += digits[i];
                }
                if (sum > BallsInDraw) continue;
                Dense[f][p] = static_cast<uint16_t>(Patterns[f].size());
                Patterns[f].push_back(digits);
            }
        }
    }
};

const TPatternTables& PatternTables() {
    static const TPatternTables tables;
    return tables;
}

}  // namespace

TClassPatternCodes::TClassPatternCodes(const uint8_t* classOf) {
    std::fill(std::begin(field_), std::end(field_), -1);
    uint32_t power[256] = {};
    for (int n = 1; n <= MaxNumber; ++n) {
        int& f = field_[classOf[n]];
        if (f < 0) {
            f = fields_++;
            power[f] = f == 0 ? 1 : power[f - 1] * 7;
        }
        if (fields_ <= MaxFields) add_[n] = power[f];
    }
    if (!Valid()) return;
    dense_ = &PatternTables().Dense[fields_];
    patterns_ = &PatternTables().Patterns[fields_];
}

int TClassPatternCodes::CodeCount() const { return Valid() ? static_cast<int>(patterns_->size()) : 0; }

void TClassPatternCodes::Wanted(const TStatDrawArray& selected, const bool* listed, uint8_t* wanted) const {
    bool always = false;
    bool sel[MaxFields][BallsInDraw + 1] = {};
    for (const TStatDraw& r : selected) {
        const StatKey& k = r.Key;
        if (k.w[2] != 0 || k.w[3] != 0 || k.w[0] > 0xFF || k.w[1] > BallsInDraw) continue;
        if (k.w[1] == 0 && !listed[k.w[0]]) continue;
        const int f = field_[k.w[0]];
        if (f < 0) {
            always = always || k.w[1] == 0;
            continue;
        }
        sel[f][k.w[1]] = true;
    }
    for (size_t d = 0; d < patterns_->size(); ++d) {
        bool hit = always;
        for (int f = 0; f < fields_; ++f) hit = hit || sel[f][(*patterns_)[d][static_cast<size_t>(f)]];
        wanted[d] = hit;
    }
}

}  // namespace tessara
