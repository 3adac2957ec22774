#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/config.h"
#include "stats/custom_stat.h"

namespace tessara {

class TStatSource;

// The columns of the value table, in order.
enum TValueColumn {
    vcValue, vcCount, vcCountPercent, vcNorm, vcDeviation, vcDeviationPercent, vcDepth,
    vcDepthPercent, vcWeight, vcLastDraw, vcPeriodMin, vcPeriod, vcPeriodMax, vcExpectedPrd,
    vcExpectedStf, vcExpectedKrn, vcFact, vcDiffPrd, vcDiffStf, vcDiffKrn,
    ValueColumnCount
};
const char* ValueColumnCaption(int column);
// Columns shown centred; the value column is left-aligned, the rest right.
bool ValueColumnCentred(int column);
// The three columns that need the full-set comparison.
inline bool IsNormColumn(int column) {
    return column == vcNorm || column == vcDeviation || column == vcDeviationPercent;
}

struct TValueTableRow {
    TStatDraw Row;
    std::array<std::string, ValueColumnCount> Cells;
    // Numbers behind the cells for sorting; NaN where the cell shows "-".
    std::array<double, ValueColumnCount> Numbers;
};

// One point of the chart: position, value and its label.
struct TChartPoint {
    double X, Y;
    std::string Label;
};

struct TValueTable {
    std::vector<TValueTableRow> Rows;
    int First = 0, Last = -1, SampleSize = 0;
    TStatSummary Summary{};
    bool HasPrefetch = false;
    double Scale = 0;  // the factor F of the norms
    // "Фактические данные" and "Все возможные комбинации".
    std::vector<TChartPoint> Actual, Ideal;
};

// The row record the scenario engine reads: value, count, count in %,
// deviation, deviation in %, depth, depth in %, weight, period min, period,
// period max.
using TStatValues = std::array<std::string, 11>;
TStatValues RowValues(const TValueTableRow* row);

struct TValueTableOptions {
    int SampleLength = 1000;
    int Offset = 0;
    bool Sorted = false;
    bool Prefetch = false;    // compare with the full set through the prefetch files
    bool ShowTotalLine = true;
    TCDLCoefs Coefs;
};

// Computes the table of a registered method over the sample that ends
// Offset draws before the newest. Shows its status through the host.
TValueTable ComputeValueTable(const TStatSource& source, int method, const TValueTableOptions& options);

// The weight of a row; -999.99 when the arithmetic fails.
double RowWeight(const TStatDraw& row, bool hasNorm, const TStatSummary& s, const TCDLCoefs& c);

// Stable sort of the rows by a column (the value column sorts by key).
void SortValueTable(TValueTable& table, int column, bool descending);

// What decides whether the table must be recomputed without force.
struct TValueTableKey {
    int ArchiveCount = -1, Offset = -1, SampleLength = -1, Position = -1;
    bool operator==(const TValueTableKey&) const = default;
};

}  // namespace tessara
