#include "stats/families/transitions.h"

#include <algorithm>
#include <array>
#include <string>

#include "model/format.h"
#include "model/game.h"
#include "stats/families/channels.h"
#include "stats/families/position_values.h"
#include "stats/families/segments.h"
#include "stats/stat_list.h"

namespace tessara {

namespace {

// What a transition follows: the numbers themselves, their channels or their
// segments.
enum class TChainKind { Numbers, Channels, Segments };

// The base of the family: the value f(n) of every number under the
// configuration of the moment the instance is made, and the value texts.
class TCustomChainStat : public TCustomStat {
public:
    // length: 2 for pairs, 3 for triples; twoDigit shows every part as "07".
    TCustomChainStat(const TStatClass& c, const TStatList& l, int p, TChainKind kind, int length,
                     bool twoDigit)
        : TCustomStat(c, l, p), length_(length), twoDigit_(twoDigit) {
        const TChannelLayout channels(l);
        channelSize_ = channels.ChannelSize;
        const TSegmentLayout segments(l);
        for (int n = 1; n <= MaxNumber; ++n) {
            const size_t i = static_cast<size_t>(n);
            channelOf_[i] = channels.ChannelOf(n);
            valueOf_[i] = kind == TChainKind::Numbers    ? static_cast<uint8_t>(n)
                          : kind == TChainKind::Channels ? channels.ChannelOf(n)
                                                         : segments.SegmentOf(n);
        }
    }

    // "7 -> 12", "3-7 -> 12", or with two digits "01-02 -> 03".
    std::string ValueToText(const TStatDraw& row) const override {
        const auto part = [&](int w) {
            const int v = row.Key.w[w];
            return twoDigit_ ? FormatTemplate("%.2d", {int64_t{v}}) : std::to_string(v);
        };
        if (length_ == 2) return part(0) + " -> " + part(1);
        return part(0) + "-" + part(1) + " -> " + part(2);
    }

protected:
    // f(n): 0 for the zeros of a missing draw and anything else outside 1..42.
    uint8_t F(uint8_t n) const { return valueOf_[n]; }
    uint8_t ChannelOf(uint8_t n) const { return channelOf_[n]; }
    // How many numbers lie in the channel or segment of the parameter.
    int CountIn(const uint8_t* numbers) const {
        int k = 0;
        for (int i = 0; i < BallsInDraw; ++i) k += F(numbers[i]) == Param;
        return k;
    }
    // A transition needs the draw before the analysed one; the first draw
    // of the archive has none.
    static bool Exists(const TDrawRecord& d) { return d.DrawNo > 0; }
    void Record(TStatDrawArray& rows, int a, int b, int c = 0) {
        Emit(rows,
             MakeKey(static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c)),
             true);
    }

    int length_;
    int32_t channelSize_ = 0;

private:
    bool twoDigit_;
    std::array<uint8_t, 256> valueOf_{};
    std::array<uint8_t, 256> channelOf_{};
};

// Pairs and triples of values: a combination matches when f of one of its
// numbers is the last value ("to") of a selected row; where the transition
// came from plays no part.
class TCustomChainValuesStat : public TCustomChainStat {
public:
    using TCustomChainStat::TCustomChainStat;
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t q : c.n)
            if (NumberMatches(q, sel)) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude, [&](int v) {
            return NumberMatches(static_cast<uint8_t>(v), sel);
        });
    }
    TValueBits ValueBitsKind() const override { return TValueBits::Numbers; }
    bool RowBits(const TStatDraw& row, uint64_t& bits) const override {
        const TStatDrawArray sel{row};
        return NumberRowBits(bits, [&](int v) { return NumberMatches(static_cast<uint8_t>(v), sel); });
    }

private:
    bool NumberMatches(uint8_t q, const TStatDrawArray& sel) const {
        return RowsHaveWord(sel, length_, F(q));
    }
};

// Without positions: every number of the previous draw whose value is
// among the newest draw's values leads to each of the six values of the
// analysed draw.
template <TChainKind Kind>
class StChainAll final : public TCustomChainValuesStat {
public:
    StChainAll(const TStatClass& c, const TStatList& l, int p)
        : TCustomChainValuesStat(c, l, p, Kind, 2, Kind == TChainKind::Channels) {}

protected:
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const TDrawRecord p1 = GetDraw(drawIndex - 1, sorted);
        if (!Exists(p1)) return;
        for (uint8_t from : p1.Numbers) {
            bool current = false;
            for (uint8_t r : RefDraw.Numbers) current = current || F(r) == F(from);
            if (!current) continue;
            for (uint8_t to : Draw.Numbers) Record(rows, F(from), F(to));
        }
    }
};

// By position: at every position (or at the position of the parameter)
// where the previous draw (and, for triples, the one before it) holds what
// the newest draws hold there, the value that came next at that position.
template <TChainKind Kind, int Len>
class StChainPos final : public TCustomChainValuesStat {
public:
    StChainPos(const TStatClass& c, const TStatList& l, int p)
        : TCustomChainValuesStat(c, l, p, Kind, Len, Kind == TChainKind::Channels) {
        if (c.HasParams) {
            // A position outside 1..6 has nothing to read.
            first_ = p - 1;
            last_ = p >= 1 && p <= BallsInDraw ? p - 1 : -1;
        }
    }

protected:
    void AddDrawRowValues(int drawIndex, int lastSampleIndex, bool sorted,
                          TStatDrawArray& rows) override {
        const TDrawRecord p1 = GetDraw(drawIndex - 1, sorted);
        if (!Exists(p1)) return;
        TDrawRecord p2{}, x{};
        if (Len == 3) {
            p2 = GetDraw(drawIndex - 2, sorted);
            if (!Exists(p2)) return;
            x = GetDraw(lastSampleIndex - 1, sorted);
        }
        for (int i = first_; i <= last_; ++i) {
            const uint8_t v1 = F(p1.Numbers[i]), next = F(Draw.Numbers[i]);
            if (v1 != F(RefDraw.Numbers[i])) continue;
            if (Len == 2) {
                Record(rows, v1, next);
            } else {
                const uint8_t v2 = F(p2.Numbers[i]);
                if (v2 == F(x.Numbers[i])) Record(rows, v2, v1, next);
            }
        }
    }

private:
    int first_ = 0, last_ = BallsInDraw - 1;
};

// How many numbers lie in one channel or segment: when the previous draws
// had the count the newest draws have, the count that came next. Counts do
// not depend on the order of the numbers, so draws are read as stored.
template <TChainKind Kind, int Len>
class StChainCount final : public TCustomChainStat {
public:
    StChainCount(const TStatClass& c, const TStatList& l, int p)
        : TCustomChainStat(c, l, p, Kind, Len, false) {}

    // Every count the next draw may bring from the current situation; the
    // segment members list only its first.
    void FillAllValues(int last, TStatDrawArray& rows) override {
        ClearWorkRow();
        const int k0 = CountIn(GetDraw(last, false).Numbers);
        const int k1 = Len == 3 ? CountIn(GetDraw(last - 1, false).Numbers) : 0;
        const int high = Kind == TChainKind::Channels ? channelSize_ : 0;
        for (int m = 0; m <= high; ++m) {
            const StatKey key =
                Len == 2 ? MakeKey(static_cast<uint16_t>(k0), static_cast<uint16_t>(m))
                         : MakeKey(static_cast<uint16_t>(k1), static_cast<uint16_t>(k0),
                                   static_cast<uint16_t>(m));
            AddEmpty(rows, key);
        }
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, Len, static_cast<uint16_t>(CountIn(c.n)));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[BallsInDraw + 1];
        for (int k = 0; k <= BallsInDraw; ++k)
            wanted[k] = RowsHaveWord(sel, Len, static_cast<uint16_t>(k));
        const auto inside = ByteFlags([&](int v) { return F(static_cast<uint8_t>(v)) == Param; });
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            int k = 0;
            for (uint8_t q : c.n) k += inside[q];
            return wanted[k];
        });
    }

protected:
    void AddDrawRowValues(int drawIndex, int lastSampleIndex, bool,
                          TStatDrawArray& rows) override {
        const TDrawRecord p1 = GetDraw(drawIndex - 1, false);
        if (!Exists(p1)) return;
        const int k1 = CountIn(p1.Numbers), next = CountIn(Draw.Numbers);
        if (k1 != CountIn(RefDraw.Numbers)) return;
        if (Len == 2) {
            Record(rows, k1, next);
            return;
        }
        const TDrawRecord p2 = GetDraw(drawIndex - 2, false);
        if (!Exists(p2)) return;
        const int k2 = CountIn(p2.Numbers);
        if (k2 == CountIn(GetDraw(lastSampleIndex - 1, false).Numbers)) Record(rows, k2, k1, next);
    }
};

// Numbers within their channel: for every number r of the previous draw
// that is also in the newest draw, the numbers of the analysed draw in r's
// channel. Mode 0 records all of them, or (r, 0) when there are none;
// mode 1 only the successful ones; mode 2 only (r, 0); mode 3 their count.
template <int Mode>
class StChainInside final : public TCustomChainStat {
public:
    StChainInside(const TStatClass& c, const TStatList& l, int p)
        : TCustomChainStat(c, l, p, TChainKind::Channels, 2, Mode != 3) {}

    // The rows speak of numbers of the last visible draw.
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool,
                     bool) override {
        const TDrawRecord last = GetDraw(refIndex, false);
        for (uint8_t q : c.n)
            if (NumberMatches(q, last, sel)) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool, bool exclude) override {
        const TDrawRecord last = GetDraw(refIndex, false);
        return FilterAnyNumber(src, n, dst, exclude, [&](int v) {
            return NumberMatches(static_cast<uint8_t>(v), last, sel);
        });
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool, TStatDrawArray& rows) override {
        const TDrawRecord p1 = GetDraw(drawIndex - 1, false);
        if (!Exists(p1)) return;
        for (uint8_t r : p1.Numbers) {
            if (r == 0 || !DrawHasNumber(r, RefDraw)) continue;
            int found = 0;
            for (uint8_t m : Draw.Numbers)
                if (ChannelOf(m) == ChannelOf(r)) {
                    ++found;
                    if (Mode <= 1) Record(rows, r, m);
                }
            if (Mode == 3)
                Record(rows, r, found);
            else if (found == 0 && Mode != 1)
                Record(rows, r, 0);
        }
    }

private:
    // A row (y, 0), and any row of the count member, stands for the whole
    // channel of y; other rows for their own number.
    bool NumberMatches(uint8_t q, const TDrawRecord& last, const TStatDrawArray& sel) const {
        for (uint8_t y : last.Numbers) {
            if (y == 0) continue;  // a missing draw has no numbers
            for (const TStatDraw& row : sel) {
                if (row.Key.w[0] != y) continue;
                if (Mode == 3 || row.Key.w[1] == 0) {
                    if (ChannelOf(q) == ChannelOf(y)) return true;
                } else if (row.Key.w[1] == q) {
                    return true;
                }
            }
        }
        return false;
    }
};

std::pair<int, int> PositionRange(const TStatList&) { return {1, BallsInDraw}; }

std::pair<int, int> ChannelCountRange(const TStatList& list) {
    const int w = list.Config().ChannelSize;
    if (w <= 0) return {1, 0};
    return {1, NumberGroup(MaxNumber, std::min(w, MaxNumber))};
}

// From the smallest to the largest segment of the table.
std::pair<int, int> SegmentCountRange(const TStatList& list) {
    int low = 9, high = 1;
    for (uint8_t s : list.Config().MatrixSegments) {
        low = std::min<int>(low, s);
        high = std::max<int>(high, s);
    }
    return {low, high};
}

constexpr TStatClass ChainClass(const char* name, const char* code, const char* caption,
                                const char* help, TStatFeatures features,
                                std::pair<int, int> (*range)(const TStatList&),
                                std::unique_ptr<TCustomStat> (*create)(const TStatClass&,
                                                                       const TStatList&, int)) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = help, .Group = 10, .Features = features,
                      .HasParams = range != nullptr, .HasNumericValues = false,
                      .ParamRangeFn = range, .Create = create};
}

constexpr TStatFeatures D = sfRefDraw;
constexpr TStatFeatures SD = sfSorted | sfRefDraw;
using K = TChainKind;

}  // namespace

const TStatClass TstChain2DrawsAll =
    ChainClass("TstChain2DrawsAll", "SDV2", "Переходы чисел между 2 тиражами без учета позиции",
               nullptr, D, nullptr, MakeStat<StChainAll<K::Numbers>>);
const TStatClass TstChain2DrawsPos =
    ChainClass("TstChain2DrawsPos", "SDP2", "Переходы чисел между 2 тиражами с учетом позиции",
               nullptr, SD, nullptr, MakeStat<StChainPos<K::Numbers, 2>>);
const TStatClass TstChain2Pos =
    ChainClass("TstChain2Pos", "SDN%d", "Переходы чисел между 2 тиражами в %d позиции", "SDNx",
               SD, PositionRange, MakeStat<StChainPos<K::Numbers, 2>>);
const TStatClass TstChain3DrawsPos =
    ChainClass("TstChain3DrawsPos", "SDP3", "Переходы чисел между 3 тиражами с учетом позиции",
               nullptr, SD, nullptr, MakeStat<StChainPos<K::Numbers, 3>>);
const TStatClass TstChain3Pos =
    ChainClass("TstChain3Pos", "SDM%d", "Переходы чисел между 3 тиражами в %d позиции", "SDMx",
               SD, PositionRange, MakeStat<StChainPos<K::Numbers, 3>>);
const TStatClass TstChain2ChannelsAll = ChainClass(
    "TstChain2ChannelsAll", "SCV2", "Переходы каналов между 2 тиражами без учета позиции", nullptr,
    D, nullptr, MakeStat<StChainAll<K::Channels>>);
const TStatClass TstChain2ChannelsPos = ChainClass(
    "TstChain2ChannelsPos", "SCP2", "Переходы каналов между 2 тиражами с учетом позиции", nullptr,
    SD, nullptr, MakeStat<StChainPos<K::Channels, 2>>);
const TStatClass TstChain2Channel =
    ChainClass("TstChain2Channel", "SCN%d", "Переходы каналов между 2 тиражами в %d позиции",
               "SCNx", SD, PositionRange, MakeStat<StChainPos<K::Channels, 2>>);
const TStatClass TstChain3ChannelsPos = ChainClass(
    "TstChain3ChannelsPos", "SCP3", "Переходы каналов между 3 тиражами с учетом позиции", nullptr,
    SD, nullptr, MakeStat<StChainPos<K::Channels, 3>>);
const TStatClass TstChain3Channel =
    ChainClass("TstChain3Channel", "SCM%d", "Переходы каналов между 3 тиражами в %d позиции",
               "SCMx", SD, PositionRange, MakeStat<StChainPos<K::Channels, 3>>);
const TStatClass TstChain2CnlCnt = ChainClass(
    "TstChain2CnlCnt", "SC2C%d", "Переходы кол-ва чисел в %d канале между 2 тиражами", "SC2Cx", D,
    ChannelCountRange, MakeStat<StChainCount<K::Channels, 2>>);
const TStatClass TstChain3CnlCnt = ChainClass(
    "TstChain3CnlCnt", "SC3C%d", "Переходы кол-ва чисел в %d канале между 3 тиражами", "SC3Cx", D,
    ChannelCountRange, MakeStat<StChainCount<K::Channels, 3>>);
const TStatClass TstChainChannels2InsideAll =
    ChainClass("TstChainChannels2InsideAll", "SDA2", "Переходы чисел в пределах каналов (все)",
               nullptr, D, nullptr, MakeStat<StChainInside<0>>);
const TStatClass TstChainChannels2InsideSuc = ChainClass(
    "TstChainChannels2InsideSuc", "SDG2", "Переходы чисел в пределах каналов (N-M, удачные)",
    nullptr, D, nullptr, MakeStat<StChainInside<1>>);
const TStatClass TstChainChannels2InsideBad = ChainClass(
    "TstChainChannels2InsideBad", "SDZ2", "Переходы чисел в пределах каналов (N-0, не удачные)",
    nullptr, D, nullptr, MakeStat<StChainInside<2>>);
const TStatClass TstChainChannels2InsideCnt = ChainClass(
    "TstChainChannels2InsideCnt", "SDC2", "Переходы чисел в пределах каналов (количество)",
    nullptr, D, nullptr, MakeStat<StChainInside<3>>);
const TStatClass TstChain2SegmentsAll = ChainClass(
    "TstChain2SegmentsAll", "SSV2", "Переходы сегментов между 2 тиражами без учета позиции",
    nullptr, D, nullptr, MakeStat<StChainAll<K::Segments>>);
const TStatClass TstChain2SegmentsPos = ChainClass(
    "TstChain2SegmentsPos", "SSP2", "Переходы сегментов между 2 тиражами с учетом позиции",
    nullptr, SD, nullptr, MakeStat<StChainPos<K::Segments, 2>>);
const TStatClass TstChain2Segment =
    ChainClass("TstChain2Segment", "SSN%d", "Переходы сегментов между 2 тиражами в %d позиции",
               "SSNx", SD, PositionRange, MakeStat<StChainPos<K::Segments, 2>>);
const TStatClass TstChain3SegmentsPos = ChainClass(
    "TstChain3SegmentsPos", "SSP3", "Переходы сегментов между 3 тиражами с учетом позиции",
    nullptr, SD, nullptr, MakeStat<StChainPos<K::Segments, 3>>);
const TStatClass TstChain3Segment =
    ChainClass("TstChain3Segment", "SSM%d", "Переходы сегментов между 3 тиражами в %d позиции",
               "SSMx", SD, PositionRange, MakeStat<StChainPos<K::Segments, 3>>);
const TStatClass TstChain2SgmCnt = ChainClass(
    "TstChain2SgmCnt", "SS2C%d", "Переходы кол-ва чисел в %d сегменте между 2 тиражами", "SS2Cx",
    D, SegmentCountRange, MakeStat<StChainCount<K::Segments, 2>>);
const TStatClass TstChain3SgmCnt = ChainClass(
    "TstChain3SgmCnt", "SS3C%d", "Переходы кол-ва чисел в %d сегменте между 3 тиражами", "SS3Cx",
    D, SegmentCountRange, MakeStat<StChainCount<K::Segments, 3>>);

}  // namespace tessara
