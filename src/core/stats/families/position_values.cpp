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
