#include "stats/families/channels.h"

#include <algorithm>

#include "model/format.h"
#include "model/game.h"
#include "stats/families/position_values.h"
#include "stats/stat_list.h"

namespace tessara {

TChannelLayout::TChannelLayout(const TStatList& list)
    : ChannelSize(std::clamp(list.Config().ChannelSize, 1, MaxNumber)),
      Channels(NumberGroup(MaxNumber, ChannelSize)) {
    for (int n = 1; n <= MaxNumber; ++n)
        channelOf_[static_cast<size_t>(n)] = static_cast<uint8_t>(NumberGroup(n, ChannelSize));
    for (int c = 1; c <= Channels; ++c) listed_[static_cast<size_t>(c)] = true;
}

std::string TChannelLayout::ChannelText(int c) const {
    return FormatTemplate("%.2d [%s-%s]", {int64_t{c}, std::to_string(ChannelSize * (c - 1) + 1),
                                         std::to_string(c * ChannelSize)});
}

namespace {

class StChannels : public TCustomChannelsStat {
public:
    using TCustomChannelsStat::TCustomChannelsStat;
    std::string ValueToText(const TStatDraw& row) const override {
        return ChannelText(row.Key.w[0]);
    }
    int32_t TextToValue(const std::string& text) const override {
        return StrToIntDef(text.substr(0, text.find(' ')), 0);
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int c = 1; c <= Channels; ++c) AddEmpty(rows, MakeKey(static_cast<uint16_t>(c)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t n : c.n)
            if (RowsHaveByte(sel, 1, ChannelOf(n))) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int v) { return RowsHaveByte(sel, 1, ChannelOf(v)); });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int k = 0; k < BallsInDraw; ++k) Emit(rows, MakeKey(ChannelOf(n[k])), track);
    }
};

// Every channel with the count of its numbers, "02 [8-14] x 3".
class StChanValues : public TCustomChannelsStat {
public:
    using TCustomChannelsStat::TCustomChannelsStat;
    std::string ValueToText(const TStatDraw& row) const override {
        return FormatTemplate("%0:s x %1:d", {ChannelText(row.Key.w[0]), int64_t{row.Key.w[1]}});
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int c = 1; c <= Channels; ++c)
            for (int k = 0; k <= std::min(ChannelSize, BallsInDraw); ++k)
                AddEmpty(rows, MakeKey(static_cast<uint16_t>(c), static_cast<uint16_t>(k)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return ClassCountsMatch(c.n, channelOf_.data(), listed_.data(), sel);
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return TClassCountFilter(sel, channelOf_.data(), listed_.data()).Filter(src, n, dst, exclude);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int c = 1; c <= Channels; ++c)
            Emit(rows,
                 MakeKey(static_cast<uint16_t>(c),
                         static_cast<uint16_t>(ClassCount(n, channelOf_.data(), c))),
                 track);
    }
};

class StChanCount : public TSmallValueStat<TCustomChannelsGraphStat, StChanCount> {
public:
    using TSmallValueStat::TSmallValueStat;
    int Value(const uint8_t* n) const {
        uint8_t c[BallsInDraw];
        PositionValues(n, c);
        return DistinctCount(c, BallsInDraw);
    }
    // 1..min(w, 6), even where fewer channels exist.
    std::pair<int, int> FillRange() const { return {1, std::min(ChannelSize, BallsInDraw)}; }
};

class StChnValCnt : public TSmallValueStat<TCustomChannelsGraphStat, StChnValCnt> {
public:
    using TSmallValueStat::TSmallValueStat;
    int Value(const uint8_t* n) const { return ClassCount(n, channelOf_.data(), Param); }
    std::pair<int, int> FillRange() const { return {1, ChannelSize}; }
};

template <int N>
using StCombChnMix = TPositionTupleStat<TCustomChannelsStat, N, true>;
template <int N>
using StCombChnSeq = TPositionTupleStat<TCustomChannelsStat, N, false>;

std::pair<int, int> ChannelRange(const TStatList& list) {
    const int w = list.Config().ChannelSize;
    if (w <= 0) return {1, 0};
    return {1, NumberGroup(MaxNumber, std::min(w, MaxNumber))};
}

}  // namespace

const TStatClass TstChannels{"TstChannels", "CHAN", "Каналы", nullptr, 3,       sfNorm,  false,
                             false,         true,   true,     true,    nullptr, nullptr, MakeStat<StChannels>};
const TStatClass TstChanValues{"TstChanValues", "CHNV", "Количество чисел в канале", nullptr, 3,
                               sfNorm, false, false, false, true, true, nullptr, nullptr,
                               MakeStat<StChanValues>};
const TStatClass TstChanCount{"TstChanCount", "CHNC", "Количество каналов в тираже", nullptr, 3,
                              sfNorm, true, false, true, true, true, nullptr, nullptr,
                              MakeStat<StChanCount>};
const TStatClass TstCombChnMix2{"TstCombChnMix2", "KCM2",
                                "Сочетания из 2 каналов по всем числам тиража", nullptr, 3,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnMix<2>>};
const TStatClass TstCombChnMix3{"TstCombChnMix3", "KCM3",
                                "Сочетания из 3 каналов по всем числам тиража", nullptr, 3,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnMix<3>>};
const TStatClass TstCombChnMix4{"TstCombChnMix4", "KCM4",
                                "Сочетания из 4 каналов по всем числам тиража", nullptr, 3,
                                sfSorted, false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnMix<4>>};
const TStatClass TstCombChnSeq2{"TstCombChnSeq2", "KCS2",
                                "Сочетания из 2 каналов по соседним числам", nullptr, 3, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnSeq<2>>};
const TStatClass TstCombChnSeq3{"TstCombChnSeq3", "KCS3",
                                "Сочетания из 3 каналов по соседним числам", nullptr, 3, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnSeq<3>>};
const TStatClass TstCombChnSeq4{"TstCombChnSeq4", "KCS4",
                                "Сочетания из 4 каналов по соседним числам", nullptr, 3, sfSorted,
                                false, false, false, true, true, nullptr, nullptr,
                                MakeStat<StCombChnSeq<4>>};
const TStatClass TstChnValCnt{"TstChnValCnt", "CHN%d", "Количество чисел в %0:d канале", "CHNx", 3,
                              sfNorm, true, true, true, true, true, ChannelRange, nullptr,
                              MakeStat<StChnValCnt>};

}  // namespace tessara
