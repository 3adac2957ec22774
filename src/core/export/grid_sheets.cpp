#include "export/grid_sheets.h"

#include <memory>

#include "combs/comb_list.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "stakes/ratings.h"
#include "stakes/stakes_file.h"
#include "stakes/stakes_grid.h"

namespace tessara {

namespace {

constexpr TColor kOffsetRowColor{255, 170, 170};
constexpr TColor kProfitColor{0, 128, 0};
constexpr TColor kLossColor{255, 0, 0};
constexpr TColor kBlack{0, 0, 0};

TSheet MakeSheet(const char* caption, std::vector<TSheetColumn> columns, int64_t rows) {
    TSheet s;
    s.Name = caption;
    s.Title = caption;
    s.Columns = std::move(columns);
    s.RowCount = rows;
    return s;
}

TSheetColumn Integer(std::string caption) { return {std::move(caption), TCellKind::Integer}; }
TSheetColumn Text(std::string caption) { return {std::move(caption), TCellKind::Text}; }

}  // namespace

TSheet DrawsSheet(const TDrawArchive& archive, const TDrawsSheetOptions& o) {
    std::vector<TSheetColumn> columns{Integer("Тираж")};
    for (int i = 1; i <= BallsInDraw; ++i) columns.push_back(Integer(std::to_string(i)));
    columns.push_back(Integer("E"));
    columns.push_back(Integer("S"));
    columns.push_back(Text("Дата тиража"));
    TSheet s = MakeSheet("Архив тиражей", std::move(columns), archive.Count());
    s.FillRow = [&archive, o](int64_t row, std::vector<TSheetCell>& cells) {
        const TDrawRecord d = archive.RowDraw(static_cast<int>(row), o.Sorted);
        cells[0].SetInteger(d.DrawNo);
        int sum = 0;
        for (int i = 0; i < BallsInDraw; ++i) {
            cells[static_cast<size_t>(1 + i)].SetInteger(d.Numbers[i]);
            sum += d.Numbers[i];
            if (o.ColorDraws)
                cells[static_cast<size_t>(1 + i)].Background =
                    NumberGroupColor(d.Numbers[i], o.ChannelSize);
        }
        cells[7].SetInteger(d.ExtraBall);
        cells[8].SetInteger(sum);
        cells[9].SetText(DrawDateText(d));
        if (row == o.Offset)
            for (size_t c = 0; c < cells.size(); ++c)
                if (!o.ColorDraws || c < 1 || c > BallsInDraw)
                    cells[c].Background = kOffsetRowColor;
    };
    return s;
}

TSheet CombsSheet(const TCombList& list, bool colorCombs, int channelSize) {
    std::vector<TSheetColumn> columns{Integer("№ п.п.")};
    for (int i = 1; i <= BallsInDraw; ++i) columns.push_back(Integer(std::to_string(i)));
    columns.push_back(Integer("S"));
    TSheet s = MakeSheet("Комбинации", std::move(columns), list.Count());
    s.FillRow = [&list, colorCombs, channelSize](int64_t row, std::vector<TSheetCell>& cells) {
        const TCombination& c = list[row];
        cells[0].SetInteger(row + 1);
        int sum = 0;
        for (int i = 0; i < BallsInDraw; ++i) {
            TSheetCell& cell = cells[static_cast<size_t>(1 + i)];
            cell.SetInteger(c.n[i]);
            sum += c.n[i];
            if (colorCombs) cell.Background = NumberGroupColor(c.n[i], channelSize);
        }
        cells[7].SetInteger(sum);
    };
    return s;
}

TSheet StakesSheet(const TStakesFile& file) {
    static const TCellKind kKinds[StakesGridColumnCount] = {
        TCellKind::Integer, TCellKind::Text, TCellKind::Text,   TCellKind::Integer, TCellKind::Text,
        TCellKind::Integer, TCellKind::Text, TCellKind::Amount, TCellKind::Text};
    std::vector<TSheetColumn> columns;
    for (int c = 0; c < StakesGridColumnCount; ++c)
        columns.push_back({StakesGridCaption(c), kKinds[c]});
    TSheet s = MakeSheet("Ставки", columns, file.IsOpen() ? file.Count() : 0);
    s.FillRow = [&file, columns](int64_t row, std::vector<TSheetCell>& cells) {
        const TStakeRecord r = file.Read(TStakeOrigin::Begin, row);
        const std::optional<TColor> background = StakeKindColor(r.Kind);
        const TStakeOutcome outcome = StakeOutcome(r);
        for (int c = 0; c < StakesGridColumnCount; ++c) {
            TSheetCell& cell = cells[static_cast<size_t>(c)];
            SetCellFromText(cell, columns[static_cast<size_t>(c)], StakesGridCellText(r, c));
            cell.Background = background;
            // Matches and profit of a checked stake: green for a profit, red otherwise.
            if (c >= 5 && c <= 7 && outcome != TStakeOutcome::Unchecked)
                cell.Font = outcome == TStakeOutcome::Profit ? kProfitColor : kLossColor;
        }
    };
    return s;
}

TSheet RatingsSheet(const TRatings& ratings, int effMode) {
    std::vector<TSheetColumn> columns;
    for (int c = 0; c < RatingColumnCount; ++c) {
        TCellKind kind = TCellKind::Integer;
        if (c == 0) kind = TCellKind::Text;
        if (c == 3) kind = TCellKind::Number;
        if (c == 4 || c == 5) kind = TCellKind::Amount;
        if (c >= 13 && (effMode == 1 || effMode == 2)) kind = TCellKind::Number;
        columns.push_back({RatingColumnCaption(c), kind});
    }
    TSheet s = MakeSheet("Рейтинг", columns, static_cast<int64_t>(ratings.Count()));
    s.FillRow = [&ratings, effMode, columns](int64_t row, std::vector<TSheetCell>& cells) {
        const std::vector<std::string> texts =
            RatingRowTexts(ratings[static_cast<size_t>(row)], effMode);
        for (size_t c = 0; c < cells.size() && c < texts.size(); ++c)
            SetCellFromText(cells[c], columns[c], texts[c]);
    };
    return s;
}

namespace {

// Values that are all plain numbers (numbers, sums, counts) go in as numbers,
// so that the sheet sorts them by size; values such as "3:3" or "04 [22-28]"
// keep the column text.
bool NumericValues(const TValueTable& table) {
    const TSheetColumn probe{"", TCellKind::Number};
    TSheetCell cell;
    for (const TValueTableRow& r : table.Rows) {
        SetCellFromText(cell, probe, r.Cells[vcValue]);
        if (cell.Kind == TCellKind::Text) return false;
    }
    return true;
}

}  // namespace

TSheet ValueTableSheet(const TValueTable& table, const std::string& title, bool norms) {
    const bool numericValues = NumericValues(table);
    std::vector<int> shown;
    std::vector<TSheetColumn> columns;
    for (int c = 0; c < ValueColumnCount; ++c) {
        if (!norms && IsNormColumn(c)) continue;
        TCellKind kind = TCellKind::Integer;
        if (c == vcValue) kind = numericValues ? TCellKind::Number : TCellKind::Text;
        if (c == vcCountPercent || c == vcDeviationPercent || c == vcDepthPercent ||
            c == vcWeight || c == vcPeriod)
            kind = TCellKind::Number;
        shown.push_back(c);
        columns.push_back({ValueColumnCaption(c), kind});
    }
    TSheet s = MakeSheet("Статистика", columns, static_cast<int64_t>(table.Rows.size()));
    s.Title = title;
    s.FillRow = [&table, shown, columns](int64_t row, std::vector<TSheetCell>& cells) {
        const TValueTableRow& r = table.Rows[static_cast<size_t>(row)];
        for (size_t i = 0; i < shown.size(); ++i)
            SetCellFromText(cells[i], columns[i], r.Cells[static_cast<size_t>(shown[i])]);
    };
    return s;
}

TSheet CardSheet(const TDrawsArray& draws, const TCardOptions& options) {
    std::vector<TSheetColumn> columns{Integer("Тираж")};
    for (int c = 1; c < CardColumnCount; ++c) columns.push_back(Integer(CardCellText(draws, 0, c)));
    TSheet s = MakeSheet("Карта", columns, static_cast<int64_t>(draws.size()));
    s.FrozenColumns = 1;
    s.FillRow = [&draws, options, columns](int64_t row, std::vector<TSheetCell>& cells) {
        const int gridRow = static_cast<int>(row) + 1;
        for (int c = 0; c < CardColumnCount; ++c) {
            TSheetCell& cell = cells[static_cast<size_t>(c)];
            SetCellFromText(cell, columns[static_cast<size_t>(c)], CardCellText(draws, gridRow, c));
            if (c == 0) continue;
            cell.Background = CardCellColor(draws, gridRow, c, options);
            if (cell.Background) cell.Font = kBlack;
        }
    };
    return s;
}

TSheet LayoutSheet(TLayoutScheme scheme, bool gradient) {
    auto data = std::make_shared<const TLayoutScheme>(std::move(scheme));
    std::vector<TSheetColumn> columns{Integer("")};
    for (int32_t drawNo : data->LastDraws) columns.push_back(Integer(std::to_string(drawNo)));
    TSheet s = MakeSheet("Схема", columns, static_cast<int64_t>(data->Counts.size()));
    s.FrozenColumns = 1;
    s.FillRow = [data, gradient, columns](int64_t row, std::vector<TSheetCell>& cells) {
        const size_t r = static_cast<size_t>(row);
        cells[0].SetInteger(data->Counts[r]);
        const int rows = data->GridRows(), cols = data->GridColumns();
        for (size_t c = 1; c < cells.size(); ++c) {
            const std::string& text =
                c - 1 < data->Cells[r].size() ? data->Cells[r][c - 1] : std::string();
            SetCellFromText(cells[c], columns[c], text);
            cells[c].Background = LayoutCellColor(text, static_cast<int>(r) + 1,
                                                  static_cast<int>(c), rows, cols, gradient);
            cells[c].Font = kBlack;
        }
    };
    return s;
}

}  // namespace tessara
