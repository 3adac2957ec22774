#pragma once

#include <array>

#include "stats/custom_stat.h"

namespace tessara {

// The numbers laid out row by row in a grid of a configured width
// (group "mtx").
extern const TStatClass TstColumns, TstRows, TstColValues, TstRowValues, TstColCount, TstRowCount,
    TstColMask, TstRowMask, TstColAjacent, TstRowAjacent, TstColAjacentCnt, TstRowAjacentCnt,
    TstCombColMix2, TstCombColMix3, TstCombColMix4, TstCombColSeq2, TstCombColSeq3, TstCombColSeq4,
    TstCombRowMix2, TstCombRowMix3, TstCombRowMix4, TstCombRowSeq2, TstCombRowSeq3, TstCombRowSeq4,
    TstColValCnt, TstRowValCnt;

// Columns and rows, copied from the configuration when an instance is made.
class TMatrixLayout {
public:
    explicit TMatrixLayout(const TStatList& list);

    // A column count outside 1..42 (possible only in a hand-edited
    // configuration file) is taken as the nearest of these, so a grid has
    // at most 42 columns or rows.
    int32_t Cols;
    int32_t Rows;

    // 0 for a number outside 1..42.
    uint8_t ColOf(int n) const { return colOf_[static_cast<uint8_t>(n)]; }
    uint8_t RowOf(int n) const { return rowOf_[static_cast<uint8_t>(n)]; }

    // The members of rows are those of columns with the two exchanged:
    // "lines" are columns, or rows when Row is true.
    template <bool Row>
    int Lines() const {
        return Row ? Rows : Cols;
    }
    template <bool Row>
    const uint8_t* LineOf() const {
        return Row ? rowOf_.data() : colOf_.data();
    }
    // The place of a number along its line: its row within a column.
    template <bool Row>
    const uint8_t* PlaceOf() const {
        return Row ? colOf_.data() : rowOf_.data();
    }
    template <bool Row>
    const bool* LineListed() const {
        return Row ? rowListed_.data() : colListed_.data();
    }

protected:
    std::array<uint8_t, 256> colOf_{}, rowOf_{};
    std::array<bool, 256> colListed_{}, rowListed_{};
};

class TCustomMatrixStat : public TCustomNumbersStat, public TMatrixLayout {
public:
    TCustomMatrixStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomNumbersStat(c, l, p), TMatrixLayout(l) {}
};

class TCustomMatrixGraphStat : public TCustomGraphStat, public TMatrixLayout {
public:
    TCustomMatrixGraphStat(const TStatClass& c, const TStatList& l, int p)
        : TCustomGraphStat(c, l, p), TMatrixLayout(l) {}
};

}  // namespace tessara
