#pragma once

#include <array>
#include <vector>

#include "stats/custom_stat.h"

namespace tessara {

// User-defined regions of the number matrix (group "sgm").
extern const TStatClass TstSegments, TstSegmValues, TstSegmCount, TstCombSegmMix2, TstCombSegmMix3,
    TstCombSegmMix4, TstCombSegmSeq2, TstCombSegmSeq3, TstCombSegmSeq4, TstSgmValCnt;

// The segment of every number, copied from the configuration when an
// instance is made.
class TSegmentLayout {
public:
    explicit TSegmentLayout(const TStatList& list);

    std::array<uint8_t, MaxNumber> Segments;  // number n at n - 1
    // The distinct segments of the table in the order of their first number.
    std::vector<uint8_t> InUse;

    // 0 for a number outside 1..42.
    uint8_t SegmentOf(int n) const { return segmentOf_[static_cast<uint8_t>(n)]; }
    void PositionValues(const uint8_t* numbers, uint8_t* segments) const {
        for (int k = 0; k < BallsInDraw; ++k) segments[k] = segmentOf_[numbers[k]];
    }

protected:
    std::array<uint8_t, 256> segmentOf_{};
    std::array<bool, 256> listed_{};  // the segments in use
};

class TCustomSegmentsStat : public TCustomNumbersStat, public TSegmentLayout {
public:
    TCustomSegmentsStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomNumbersStat(c, l, p), TSegmentLayout(l) {}
};

class TCustomSegmentsGraphStat : public TCustomGraphStat, public TSegmentLayout {
public:
    TCustomSegmentsGraphStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomGraphStat(c, l, p), TSegmentLayout(l) {}
};

}  // namespace tessara
