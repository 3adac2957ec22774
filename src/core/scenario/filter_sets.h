#pragma once

#include <cstdint>
#include <vector>

#include "model/records.h"
#include "scenario/script_line.h"

namespace tessara {

// Expands the filter items of a line into their concrete filter sets, one at
// a time: a line with millions of sets costs no memory for them and its first
// set runs at once. Sets come in lexicographic order: the last item's choices
// change fastest, and within an item the level value changes faster than the
// draws length.
// Sets are numbered with 32-bit integers in the logs and stake notes.
inline constexpr uint64_t MaxFilterSets = 2147483647;

class TFilterSetGenerator {
public:
    // items: the used filters of the line in written order. Throws Error
    // "Некорректное описание фильтра: %s!" for the first invalid item, and
    // the too-many-variants message past MaxFilterSets.
    explicit TFilterSetGenerator(const std::vector<TFilterItem>& items);

    // Number of sets (saturates at the largest 64-bit value).
    uint64_t Count() const { return count_; }
    // The next set; false when all were produced.
    bool Next(TFilterRec& rec);
    uint64_t Produced() const { return produced_; }

private:
    struct TChoices {
        const TFilterItem* Item;
        TIntArray Draws;
        TIntArray Levels;  // expanded modes only
        std::string JoinedLevels;
        uint64_t Size() const {
            return static_cast<uint64_t>(Draws.size()) * (Levels.empty() ? 1 : Levels.size());
        }
    };
    void Fill(TFilterRec& rec) const;

    std::vector<TFilterItem> items_;
    std::vector<TChoices> choices_;
    std::vector<uint64_t> odometer_;
    uint64_t count_ = 0;
    uint64_t produced_ = 0;
};

// All sets at once, for small lines and tests.
std::vector<TFilterRec> BuildFilterSets(const std::vector<TFilterItem>& items);

}  // namespace tessara
