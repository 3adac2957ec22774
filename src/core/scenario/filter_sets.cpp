#include "scenario/filter_sets.h"

#include <fmt/format.h>
#include <limits>

#include "model/error.h"
#include "model/game.h"
#include "stats/value_table.h"

namespace tessara {

namespace {

// Lines also come from other players' catalogues: every field that the run
// uses as an index or a length must be in its range before anything runs.
bool FieldsInRange(const TFilterItem& item, const TIntArray& draws) {
    if (item.SortOrder < 0 || item.SortOrder >= ValueColumnCount) return false;
    if (item.LevelMode >= LevelModeCount || item.StopMode >= StopModeCount) return false;
    for (int32_t d : draws)
        if (d < 1) return false;
    return true;
}

}  // namespace

TFilterSetGenerator::TFilterSetGenerator(const std::vector<TFilterItem>& items) : items_(items) {
    count_ = items_.empty() ? 0 : 1;
    for (const TFilterItem& item : items_) {
        TChoices c{&item, ParseIntList(item.DrawsLen), {}, {}};
        const TIntArray levels = item.LevelMode != 0 ? ParseIntList(item.LevelValue) : TIntArray{};
        if (c.Draws.empty() || (item.LevelMode != 0 && levels.empty()) || !FieldsInRange(item, c.Draws))
            throw Error(fmt::format("Некорректное описание фильтра: {}!", FormatFilterItem(item)));
        if (IsExpandedLevelMode(item.LevelMode))
            c.Levels = levels;
        else
            c.JoinedLevels = IsListLevelMode(item.LevelMode) && !levels.empty()
                                 ? JoinIntList(levels, ",")
                                 : item.LevelValue;
        const uint64_t size = c.Size();
        count_ = count_ > std::numeric_limits<uint64_t>::max() / size ? std::numeric_limits<uint64_t>::max()
                                                                      : count_ * size;
        choices_.push_back(std::move(c));
    }
    if (count_ > MaxFilterSets)
        throw Error(fmt::format(
            "Вы задали слишком много вариантов фильтров - программа не сможет обработать их все!\r"
            "Пожалуйста, уменьшите в каждом из фильтров количество вариантов длины выборки и глубины, "
            "а затем повторите попытку.\r\rВариантов фильтров: {}{}, допустимо не более {}.",
            count_ == std::numeric_limits<uint64_t>::max() ? "более " : "", count_, MaxFilterSets));
    odometer_.assign(choices_.size(), 0);
}

void TFilterSetGenerator::Fill(TFilterRec& rec) const {
    rec = TFilterRec{};
    for (size_t d = 0; d < choices_.size(); ++d) {
        const TChoices& c = choices_[d];
        const TFilterItem& item = *c.Item;
        const uint64_t levels = c.Levels.empty() ? 1 : c.Levels.size();
        TFilterPart& p = rec[d];
        p.Used = item.Used;
        p.Method = item.Method;
        p.MethodCode = item.MethodCode;
        p.DrawsLen = c.Draws[static_cast<size_t>(odometer_[d] / levels)];
        p.SortOrder = item.SortOrder;
        p.BottomUp = item.BottomUp;
        p.MultiSelect = item.MultiSelect;
        p.KeepSelected = item.KeepSelected;
        p.LevelMode = item.LevelMode;
        if (!c.Levels.empty()) {
            p.LevelValue = p.LevelText = std::to_string(c.Levels[static_cast<size_t>(odometer_[d] % levels)]);
        } else {
            p.LevelValue = c.JoinedLevels;
            p.LevelText = item.LevelValue;
        }
        p.Coefs = item.Coefs;
        p.StopMode = item.StopMode;
        p.StopValue = item.StopValue;
    }
}

bool TFilterSetGenerator::Next(TFilterRec& rec) {
    if (produced_ >= count_) return false;
    if (produced_ > 0) {
        // Advance the odometer: the last item turns fastest.
        for (size_t d = choices_.size(); d-- > 0;) {
            if (++odometer_[d] < choices_[d].Size()) break;
            odometer_[d] = 0;
        }
    }
    Fill(rec);
    ++produced_;
    return true;
}

std::vector<TFilterRec> BuildFilterSets(const std::vector<TFilterItem>& items) {
    TFilterSetGenerator g(items);
    std::vector<TFilterRec> sets;
    TFilterRec rec;
    while (g.Next(rec)) sets.push_back(rec);
    return sets;
}

}  // namespace tessara
