#pragma once

#include <memory>
#include <string>
#include <utility>

#include "model/records.h"
#include "stats/parallel_filter.h"
#include "stats/stat_types.h"

namespace tessara {

class TStatList;
class TCustomStat;

// The class level of a statistic: everything that is asked without an
// instance, and the factory of instances.
struct TStatClass {
    const char* ClassName;
    const char* CodeFormat;     // "NUMS", "SUM%d"
    const char* CaptionFormat;  // "Число в %0:d позиции тиража"
    const char* HelpCodeFormat;  // nullptr: the code format
    int Group;
    TStatFeatures Features;
    bool HasGraph = false;
    bool HasParams = false;
    bool HasNumericValues = true;
    bool Listed = true;
    bool Available = true;
    // Parameter range of a class with parameters; may follow the configuration.
    std::pair<int, int> (*ParamRangeFn)(const TStatList&) = nullptr;
    // A caption that needs more than the parameter.
    std::string (*CaptionForFn)(int param) = nullptr;
    std::unique_ptr<TCustomStat> (*Create)(const TStatClass&, const TStatList&, int param) = nullptr;

    TStatFeatures AllFeatures() const {
        return HasGraph ? static_cast<TStatFeatures>(Features | sfGraph) : Features;
    }
    bool HasNorm() const { return (Features & sfNorm) != 0; }
    std::pair<int, int> ParamRange(const TStatList& list) const {
        return ParamRangeFn ? ParamRangeFn(list) : std::pair<int, int>{0, 0};
    }
    std::string CodeFor(int param) const;
    std::string CaptionFor(int param) const;
    std::string HelpCodeFor(int param) const;
    // The help page of the method ("Filters_1049_NUMS.htm"); the methods of
    // one class with parameters share the page of their help code.
    std::string HelpTopicFor(int param) const;
};

// Keeps the combinations with at least one number whose value the predicate
// accepts; the predicate is asked once per byte value, not per combination.
template <typename Wanted>
int64_t FilterAnyNumber(const TCombination* src, int64_t n, TCombination* dst, bool exclude,
                        Wanted wanted) {
    bool flags[256];
    for (int v = 0; v < 256; ++v) flags[v] = wanted(v);
    return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
        bool hit = false;
        for (uint8_t x : c.n) hit |= flags[x];
        return hit;
    });
}

// The bits of a row whose combinations are those with a number v for which
// matches(v) holds; false when such a number lies beyond the bits.
template <typename Matches>
bool NumberRowBits(uint64_t& bits, Matches matches) {
    bits = 0;
    for (int v = 0; v < 256; ++v)
        if (matches(v)) {
            if (v >= 64) return false;
            bits |= uint64_t{1} << v;
        }
    return true;
}

// The kinds of value bits: the statistics of one kind give every
// combination the same bits, so the bits worked out for a list serve them
// all.
enum class TValueBits {
    None,
    Numbers,      // the numbers of the combination, 1..MaxNumber
    Differences,  // the differences of neighbouring numbers, 1..MaxNumber - 1
};

template <class T>
std::unique_ptr<TCustomStat> MakeStat(const TStatClass& c, const TStatList& l, int param) {
    return std::make_unique<T>(c, l, param);
}

// An instance computes values for one computation and is freed after it.
class TCustomStat {
public:
    TCustomStat(const TStatClass& cls, const TStatList& list, int param);
    virtual ~TCustomStat() = default;
    TCustomStat(const TCustomStat&) = delete;
    TCustomStat& operator=(const TCustomStat&) = delete;

    const TStatClass& Class() const { return cls_; }
    std::string Caption() const { return cls_.CaptionFor(Param); }

    virtual std::string ValueToText(const TStatDraw& row) const = 0;
    virtual int32_t TextToValue(const std::string& text) const;
    int32_t ParseValue(const std::string& text) const;

    virtual void FillAllValues(int lastSampleIndex, TStatDrawArray& rows);
    virtual void LoadDraws(int drawIndex, int refIndex, bool sorted);
    virtual void AddCombValues(const TCombination& comb, TStatDrawArray& rows);
    virtual void AddDrawValues(int drawIndex, int lastSampleIndex, bool sorted,
                               TStatDrawArray& rows, TStatScratch& scratch,
                               TLastValueArray& lastValues);
    // Number of the first draw from firstDrawIndex on that carries the row's
    // value; -1 when none does.
    int32_t FindNextOccurrence(const TStatDraw& row, int firstDrawIndex, bool sorted,
                               int lastSampleIndex);
    // Whether the combination carries one of the selected values. Runs once
    // per combination of the working list: no allocation inside.
    virtual bool CombMatches(const TCombination& comb, const TStatDrawArray& selected,
                             int refIndex, bool sorted, bool exclude) = 0;

    // Copies the combinations of src that match (or, with exclude, do not)
    // to dst in order and returns how many; dst may equal src. Families
    // with a cheap test override it to avoid a virtual call per combination.
    virtual int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                                const TStatDrawArray& selected, int refIndex, bool sorted,
                                bool exclude);

    // Statistics with one value per combination may code it: every
    // combination gets a code below CodeCount() that depends on its six
    // numbers alone, and WantedCodes marks the codes a selection keeps, so
    // that a filtering keeps exactly the combinations of marked codes. The
    // scenario counts a list by code once instead of filtering it row by
    // row. 0: no such codes.
    virtual int CodeCount() const { return 0; }
    // Whether a code costs more to compute than to look up by the rank of
    // the combination: such codes are kept in a value column for the run.
    virtual bool CodesCostly() const { return false; }
    virtual void CombCodes(const TCombination* /*src*/, int64_t /*n*/, uint16_t* /*codes*/) const {}
    // wanted has CodeCount() entries; may load the reference draw.
    virtual void WantedCodes(const TStatDrawArray& /*selected*/, int /*refIndex*/, bool /*sorted*/,
                             uint8_t* /*wanted*/) {}

    // Statistics with several values per combination may give them as bits
    // instead: every combination gets the bits of its kind (its numbers, or
    // the differences of its neighbouring numbers), and a row the bits for
    // which a filtering by that row alone keeps exactly the combinations
    // sharing one of them. False from RowBits: the row has no such bits (a
    // value beyond them), and the scenario filters by the row itself.
    virtual TValueBits ValueBitsKind() const { return TValueBits::None; }
    bool HasValueBits() const { return ValueBitsKind() != TValueBits::None; }
    virtual bool RowBits(const TStatDraw& /*row*/, uint64_t& /*bits*/) const { return false; }

    // Graph values (classes with a graph).
    virtual int32_t GraphValue(const TCombination& comb, int drawIndex, bool sorted,
                               int lastSampleIndex);
    int32_t DrawGraphValue(int drawIndex, int lastSampleIndex, bool sorted);

    // A copy of the archive draw, numbers sorted when asked; zeros outside
    // the archive.
    TDrawRecord GetDraw(int index, bool sorted) const;

    int32_t Param;
    const TDrawsArray& Archive;
    TDrawRecord Draw;
    TDrawRecord RefDraw;
    TStatDraw WorkRow;

protected:
    // The values of six numbers (a combination or Draw): merges one row per
    // value, in order. Used by the default AddCombValues and AddDrawValues.
    virtual void AddValues(const uint8_t* numbers, TStatDrawArray& rows, bool track);
    // The values of the loaded archive draw; by default those of its numbers.
    virtual void AddDrawRowValues(int drawIndex, int lastSampleIndex, bool sorted,
                                  TStatDrawArray& rows);
    void ClearWorkRow() { std::memset(&WorkRow, 0, sizeof WorkRow); }
    void Emit(TStatDrawArray& rows, const StatKey& key, bool track) {
        WorkRow.Key = key;
        AddStatDraw(rows, WorkRow, track);
    }
    // Adds a pre-filled value with count 0.
    void AddEmpty(TStatDrawArray& rows, const StatKey& key) {
        ClearWorkRow();
        Emit(rows, key, false);
    }
    const TStatList& list_;

private:
    const TStatClass& cls_;
};

// Values shown as key word 1 in decimal.
class TCustomGraphStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override;
};
class TCustomValuesStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override;
};
class TCustomNumbersStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override;
};

// k numbers with a property against 6 - k without: "4:2".
class TCustomRatioStat : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    std::string ValueToText(const TStatDraw& row) const override;
    int32_t TextToValue(const std::string& text) const override;
};

// One bit per position, position 1 the most significant of six.
class TCustomMaskStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    virtual const char* ZeroMark() const = 0;
    virtual const char* OneMark() const = 0;
    std::string ValueToText(const TStatDraw& row) const override;
    int32_t TextToValue(const std::string& text) const override;
    void FillAllValues(int lastSampleIndex, TStatDrawArray& rows) override;
};

}  // namespace tessara
