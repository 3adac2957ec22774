#include "stats/custom_stat.h"

#include "model/encoding.h"
#include "model/files.h"
#include "model/format.h"
#include "model/game.h"
#include "stats/stat_list.h"

namespace tessara {

std::string TStatClass::CodeFor(int param) const { return FormatTemplate(CodeFormat, {int64_t{param}}); }

std::string TStatClass::CaptionFor(int param) const {
    if (CaptionForFn) return CaptionForFn(param);
    return FormatTemplate(CaptionFormat, {int64_t{param}});
}

std::string TStatClass::HelpCodeFor(int param) const {
    return FormatTemplate(HelpCodeFormat ? HelpCodeFormat : CodeFormat, {int64_t{param}});
}

std::string TStatClass::HelpTopicFor(int param) const {
    return FormatTemplate("Filters_%.4d_%s.htm", {int64_t{1049}, HelpCodeFor(param)});
}

TCustomStat::TCustomStat(const TStatClass& cls, const TStatList& list, int param)
    : Param(param), Archive(list.Archive()), Draw{}, RefDraw{}, WorkRow{}, list_(list), cls_(cls) {}

int32_t TCustomStat::TextToValue(const std::string& text) const { return StrToIntDef(text, 0); }

int32_t TCustomStat::ParseValue(const std::string& text) const {
    return cls_.HasNumericValues ? TextToValue(text) : 0;
}

void TCustomStat::FillAllValues(int, TStatDrawArray&) { ClearWorkRow(); }

TDrawRecord TCustomStat::GetDraw(int index, bool sorted) const {
    if (Archive.empty() || index < 0 || index >= static_cast<int>(Archive.size())) return TDrawRecord{};
    TDrawRecord d = Archive[static_cast<size_t>(index)];
    if (sorted) SortDrawNumbers(d);
    return d;
}

void TCustomStat::LoadDraws(int drawIndex, int refIndex, bool sorted) {
    Draw = GetDraw(drawIndex, sorted);
    if (cls_.Features & sfRefDraw) RefDraw = GetDraw(refIndex, sorted);
}

void TCustomStat::AddCombValues(const TCombination& comb, TStatDrawArray& rows) {
    ClearWorkRow();
    WorkRow.Count = 1;
    AddValues(comb.n, rows, false);
}

void TCustomStat::AddDrawValues(int drawIndex, int lastSampleIndex, bool sorted,
                                TStatDrawArray& rows, TStatScratch&, TLastValueArray&) {
    LoadDraws(drawIndex, lastSampleIndex, sorted);
    ClearWorkRow();
    WorkRow.LastDraw = Draw.DrawNo;
    WorkRow.PrevDraw = Draw.DrawNo;
    WorkRow.Depth = lastSampleIndex - drawIndex + 1;
    WorkRow.Count = 1;
    AddDrawRowValues(drawIndex, lastSampleIndex, sorted, rows);
}

void TCustomStat::AddDrawRowValues(int, int, bool, TStatDrawArray& rows) {
    AddValues(Draw.Numbers, rows, true);
}

void TCustomStat::AddValues(const uint8_t*, TStatDrawArray&, bool) {}

int32_t TCustomStat::FindNextOccurrence(const TStatDraw& row, int firstDrawIndex, bool sorted,
                                        int lastSampleIndex) {
    const int high = static_cast<int>(Archive.size()) - 1;
    if (firstDrawIndex > high) return -1;
    TStatScratch scratch{};
    TStatDrawArray rows;
    TLastValueArray lastValues;
    for (int i = std::max(firstDrawIndex, 0); i <= high; ++i) {
        rows.clear();
        lastValues.clear();
        AddDrawValues(i, lastSampleIndex, sorted, rows, scratch, lastValues);
        for (const TStatDraw& r : rows)
            if (r.Key == row.Key) return r.LastDraw;
    }
    return -1;
}

int64_t TCustomStat::FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                                 const TStatDrawArray& selected, int refIndex, bool sorted,
                                 bool exclude) {
    return FilterWith(src, n, dst, exclude, [&](const TCombination& c) {
        return CombMatches(c, selected, refIndex, sorted, exclude);
    });
}

int32_t TCustomStat::GraphValue(const TCombination&, int, bool, int) { return 0; }

int32_t TCustomStat::DrawGraphValue(int drawIndex, int lastSampleIndex, bool sorted) {
    return GraphValue(DrawToComb(GetDraw(drawIndex, sorted)), drawIndex, sorted, lastSampleIndex);
}

std::string TCustomGraphStat::ValueToText(const TStatDraw& row) const {
    return std::to_string(row.Key.w[0]);
}
std::string TCustomValuesStat::ValueToText(const TStatDraw& row) const {
    return std::to_string(row.Key.w[0]);
}
std::string TCustomNumbersStat::ValueToText(const TStatDraw& row) const {
    return std::to_string(row.Key.w[0]);
}

std::string TCustomRatioStat::ValueToText(const TStatDraw& row) const {
    const int k = row.Key.w[0];
    return std::to_string(k) + ":" + std::to_string(BallsInDraw - k);
}

int32_t TCustomRatioStat::TextToValue(const std::string& text) const {
    return StrToIntDef(text.substr(0, text.find(':')), 0);
}

std::string TCustomMaskStat::ValueToText(const TStatDraw& row) const {
    const int32_t mask = row.Key.i[0];
    std::string letters;
    for (int p = 0; p < BallsInDraw; ++p)
        letters += (mask >> (BallsInDraw - 1 - p)) & 1 ? OneMark() : ZeroMark();
    return FormatTemplate("%s (%.3d)", {letters, int64_t{mask}});
}

int32_t TCustomMaskStat::TextToValue(const std::string& text) const {
    // The marks may be Cyrillic letters: compare character by character.
    const std::string one = OneMark();
    int32_t mask = 0;
    size_t pos = 0;
    for (int p = 0; p < BallsInDraw; ++p) {
        const std::string ch = Utf8Left(std::string_view(text).substr(std::min(pos, text.size())), 1);
        pos += ch.size();
        mask = (mask << 1) | (!ch.empty() && ch == one ? 1 : 0);
    }
    return mask;
}

void TCustomMaskStat::FillAllValues(int, TStatDrawArray& rows) {
    for (int m = 0; m < 64; ++m) AddEmpty(rows, MakeIntKey(m));
}

}  // namespace tessara
