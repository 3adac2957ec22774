#pragma once

#include <array>
#include <string>

#include "stats/custom_stat.h"

namespace tessara {

// Blocks of consecutive numbers of a configured width (group "grp").
extern const TStatClass TstChannels, TstChanValues, TstChanCount, TstCombChnMix2, TstCombChnMix3,
    TstCombChnMix4, TstCombChnSeq2, TstCombChnSeq3, TstCombChnSeq4, TstChnValCnt;

// The channel width, copied from the configuration when an instance is
// made, so a later change takes effect with the next computation.
class TChannelLayout {
public:
    explicit TChannelLayout(const TStatList& list);

    // A width outside 1..42 (possible only in a hand-edited configuration
    // file) is taken as the nearest of these.
    int32_t ChannelSize;
    int32_t Channels;  // channels of the numbers 1..42

    // 0 for a number outside 1..42.
    uint8_t ChannelOf(int n) const { return channelOf_[static_cast<uint8_t>(n)]; }
    // "01 [1-7]"; the last channel may reach past 42.
    std::string ChannelText(int c) const;
    void PositionValues(const uint8_t* numbers, uint8_t* channels) const {
        for (int k = 0; k < BallsInDraw; ++k) channels[k] = channelOf_[numbers[k]];
    }

protected:
    std::array<uint8_t, 256> channelOf_{};
    std::array<bool, 256> listed_{};  // channels 1..Channels
};

class TCustomChannelsStat : public TCustomNumbersStat, public TChannelLayout {
public:
    TCustomChannelsStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomNumbersStat(c, l, p), TChannelLayout(l) {}
};

class TCustomChannelsGraphStat : public TCustomGraphStat, public TChannelLayout {
public:
    TCustomChannelsGraphStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomGraphStat(c, l, p), TChannelLayout(l) {}
};

}  // namespace tessara
