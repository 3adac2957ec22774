#pragma once

#include <map>
#include <string>
#include <vector>

namespace tessara::test {

// Reads back what the spreadsheet export wrote: the entries of the zip
// container (stored or deflated), the worksheets' cells with their strings
// (shared or inline), number formats and colours, and the frozen pane.
// Throws std::runtime_error on a damaged file.
class XlsxFile {
  public:
    struct Cell {
        std::string Type;   // "s", "inlineStr", "str" or "" for a number
        std::string Value;  // the number, or the resolved text
        int Style = 0;
        bool IsNumber() const { return Type.empty() && !Value.empty(); }
    };
    struct Sheet {
        std::string Name;
        std::map<std::string, Cell> Cells;  // by reference ("A1")
        int Rows = 0;                       // the last row that holds a cell
        int FrozenRows = 0, FrozenColumns = 0;
        // Printed landscape, fitted to the page width, rows repeated on
        // every page ("" when none are).
        bool Landscape = false, FitToWidth = false;
        const Cell* At(const std::string& ref) const;
        std::string Text(const std::string& ref) const;
    };

    explicit XlsxFile(const std::string& path);

    bool HasEntry(const std::string& name) const;
    const std::string& Entry(const std::string& name) const;
    int SheetCount() const { return static_cast<int>(sheets_.size()); }
    // index from 0, in the workbook's order
    const Sheet& SheetAt(int index) const { return sheets_.at(static_cast<size_t>(index)); }

    // The number format code of a cell ("General" without one), its fill
    // and font colour as "RRGGBB" ("" without), whether its font is bold.
    std::string NumberFormat(const Cell& cell) const;
    std::string Fill(const Cell& cell) const;
    std::string FontColor(const Cell& cell) const;
    bool Bold(const Cell& cell) const;
    // The horizontal alignment ("" general, "left", "right"...) and indent.
    std::string Align(const Cell& cell) const;
    int Indent(const Cell& cell) const;

  private:
    struct Xf {
        int NumFmt = 0, Font = 0, Fill = 0, Indent = 0;
        std::string Align;
    };
    struct Font {
        bool Bold = false;
        std::string Color;
    };
    void ReadStyles();
    Sheet ReadSheet(const std::string& name, const std::string& xml) const;

    std::string bytes_;
    std::map<std::string, std::string> entries_;  // inflated
    std::vector<std::string> shared_;
    std::vector<Sheet> sheets_;
    std::vector<Xf> xfs_;
    std::vector<Font> fonts_;
    std::vector<std::string> fills_;
    std::map<int, std::string> numFmts_;
};

}  // namespace tessara::test
