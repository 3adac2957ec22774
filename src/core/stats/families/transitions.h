#pragma once

#include "stats/custom_stat.h"

namespace tessara {

// What followed what (group "mov"): for the situation of the newest draws,
// the numbers, channels, segments or counts that came next whenever the
// same situation occurred before. Pairs (from, to) in key words 1-2,
// triples (first, second, next) in words 1-3.
extern const TStatClass TstChain2DrawsAll, TstChain2DrawsPos, TstChain2Pos, TstChain3DrawsPos,
    TstChain3Pos, TstChain2ChannelsAll, TstChain2ChannelsPos, TstChain2Channel,
    TstChain3ChannelsPos, TstChain3Channel, TstChain2CnlCnt, TstChain3CnlCnt,
    TstChainChannels2InsideAll, TstChainChannels2InsideSuc, TstChainChannels2InsideBad,
    TstChainChannels2InsideCnt, TstChain2SegmentsAll, TstChain2SegmentsPos, TstChain2Segment,
    TstChain3SegmentsPos, TstChain3Segment, TstChain2SgmCnt, TstChain3SgmCnt;

}  // namespace tessara
