#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"

namespace tessara {

// What a cell of an exported sheet holds. Numbers are written as numbers, so
// the spreadsheet can sum and sort them; the kinds choose their number format.
enum class TCellKind : uint8_t {
    Empty,
    Integer,  // whole numbers
    Amount,   // money, two decimals ("0.00")
    Number,   // a fixed count of decimals, optionally with "%"
    Text,
};

struct TSheetCell {
    TCellKind Kind = TCellKind::Empty;
    double Value = 0;
    std::string Text;
    uint8_t Decimals = 0;  // Number: places shown
    bool Percent = false;  // Number: shown with a trailing "%"
    bool Signed = false;   // Integer: positive values shown with "+"
    std::optional<TColor> Background;
    std::optional<TColor> Font;

    void Clear();
    void SetInteger(int64_t v);
    void SetText(std::string_view text);
};

// A column: its caption in the header row, and the kind its shown texts are
// read as (see SetCellFromText).
struct TSheetColumn {
    std::string Caption;
    TCellKind Kind = TCellKind::Text;
};

// Puts the text a grid shows into a cell of the column's kind. A number
// column takes the number behind the text (the display separator, a leading
// "+" and a trailing "%" understood; a Number keeps the places the text
// shows); a text that is no such number, such as "-" or "# bad data #",
// stays text. An empty text leaves the cell empty.
void SetCellFromText(TSheetCell& cell, const TSheetColumn& column, std::string_view text);

// One grid to export. Rows are produced on demand, so a list of millions of
// rows is written without being held twice.
struct TSheet {
    std::string Name;   // the sheet's tab; split sheets get " (2)", " (3)", ...
    std::string Title;  // row 1: the caption of the window's tab
    std::vector<TSheetColumn> Columns;
    int FrozenColumns = 0;  // columns kept in sight left of the frozen pane
    int64_t RowCount = 0;
    // Fills the cells of data row `row` (from 0). The cells come in cleared,
    // one per column. Throws Error when the data cannot be read.
    std::function<void(int64_t row, std::vector<TSheetCell>& cells)> FillRow;
};

// A sheet over rows held in memory (the small grids).
TSheet MemorySheet(std::string name, std::string title, std::vector<TSheetColumn> columns,
                   std::vector<std::vector<TSheetCell>> rows);

// The characters a cell's text takes when shown: UTF-8 characters of a text,
// the formatted number of a number.
int CellDisplayWidth(const TSheetCell& cell);

}  // namespace tessara
