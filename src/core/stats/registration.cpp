// The registration table: every statistic class in the order in which the
// registry offers them. Each family adds its rows at their places.
#include "stats/families/channels.h"
#include "stats/families/comb_values.h"
#include "stats/families/differences.h"
#include "stats/families/matrix.h"
#include "stats/families/numbers.h"
#include "stats/families/periods.h"
#include "stats/families/repeats.h"
#include "stats/families/segments.h"
#include "stats/families/serials.h"
#include "stats/families/sequences.h"
#include "stats/families/shredding.h"
#include "stats/families/sums.h"
#include "stats/families/transitions.h"
#include "stats/families/varlen.h"
#include "stats/stat_list.h"

namespace tessara {

const std::vector<const TStatClass*>& RegistrationTable() {
    static const std::vector<const TStatClass*> table = {
        &TstValues,        &TstDigits,      &TstEvenCount,     &TstEvenValues,
        &TstSmallCount,    &TstSmallValues, &TstPrimeCount,    &TstPrimeValues,
        &TstSumValues,     &TstSumRanges,   &TstSumChange,     &TstSumChangeSome,
        &TstSumTrend,      &TstSumEvenValues, &TstSumPrimeValues, &TstSum2To3,
        &TstDiffTotal,     &TstDiffMax,     &TstMinMaxDiffs,   &TstDiffSame,
        &TstDiffSameCnt,
        &TstChannels,      &TstChanValues,  &TstChanCount,
        &TstColumns,       &TstRows,        &TstColValues,     &TstRowValues,
        &TstColCount,      &TstRowCount,    &TstColMask,       &TstRowMask,
        &TstColAjacent,    &TstRowAjacent,  &TstColAjacentCnt, &TstRowAjacentCnt,
        &TstSegments,      &TstSegmValues,  &TstSegmCount,
        &TstSequenceLen,   &TstSequenceCnt, &TstSequenceLenMax,
        &TstRepValues2,    &TstRepValues3,  &TstRepValues2B3,
        &TstRepValues2over1, &TstRepValues2over2, &TstRepValues2over3,
        &TstRepValues2P1,  &TstRepValues2N1, &TstRepValues2P2,  &TstRepValues2N2,
        &TstRepCount2,     &TstRepCount3,   &TstRepCount2B3,
        &TstRepCount2over1, &TstRepCount2over2, &TstRepCount2over3,
        &TstRepCount2P1,   &TstRepCount2N1, &TstRepCount2P2,   &TstRepCount2N2,
        &TstCombValMix2,   &TstCombValMix3, &TstCombValMix4,
        &TstCombValSeq2,   &TstCombValSeq3, &TstCombValSeq4,
        &TstCombValPos2,   &TstCombValPos3, &TstCombValPos4,
        &TstCombValSort2,  &TstCombValSort3, &TstCombValSort4,  // never available
        &TstCombDiffSeq2,  &TstCombDiffSeq3, &TstCombDiffSeq4,
        &TstCombChnMix2,   &TstCombChnMix3, &TstCombChnMix4,
        &TstCombChnSeq2,   &TstCombChnSeq3, &TstCombChnSeq4,
        &TstCombColMix2,   &TstCombColMix3, &TstCombColMix4,
        &TstCombColSeq2,   &TstCombColSeq3, &TstCombColSeq4,
        &TstCombRowMix2,   &TstCombRowMix3, &TstCombRowMix4,
        &TstCombRowSeq2,   &TstCombRowSeq3, &TstCombRowSeq4,
        &TstCombSegmMix2,  &TstCombSegmMix3, &TstCombSegmMix4,
        &TstCombSegmSeq2,  &TstCombSegmSeq3, &TstCombSegmSeq4,
        &TstPosVal,        &TstPosExt,
        &TstChnValCnt,     &TstColValCnt,   &TstRowValCnt,     &TstSgmValCnt,
        &TstNumGroups,     &TstNumPauses,   &TstChnGroups,     &TstChnPauses,
        &TstSgmGroups,     &TstSgmPauses,
        &TstNumPeriods,    &TstChnPeriods,  &TstSgmPeriods,
        &TstChain2DrawsAll, &TstChain2DrawsPos, &TstChain2Pos,
        &TstChain3DrawsPos, &TstChain3Pos,
        &TstChain2ChannelsAll, &TstChain2ChannelsPos, &TstChain2Channel,
        &TstChain3ChannelsPos, &TstChain3Channel,
        &TstChain2CnlCnt,  &TstChain3CnlCnt,
        &TstChainChannels2InsideAll, &TstChainChannels2InsideSuc,
        &TstChainChannels2InsideBad, &TstChainChannels2InsideCnt,
        &TstChain2SegmentsAll, &TstChain2SegmentsPos, &TstChain2Segment,
        &TstChain3SegmentsPos, &TstChain3Segment,
        &TstChain2SgmCnt,  &TstChain3SgmCnt,
        &TstVarlen1,       &TstVarlen2,     &TstVarlen3,
        &TstShreddingStat,
    };
    return table;
}

}  // namespace tessara
