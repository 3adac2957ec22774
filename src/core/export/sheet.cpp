#include "export/sheet.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "model/format.h"

namespace tessara {

void TSheetCell::Clear() {
    Kind = TCellKind::Empty;
    Value = 0;
    Text.clear();
    Decimals = 0;
    Percent = false;
    Signed = false;
    Background.reset();
    Font.reset();
}

void TSheetCell::SetInteger(int64_t v) {
    Kind = TCellKind::Integer;
    Value = static_cast<double>(v);
}

void TSheetCell::SetText(std::string_view text) {
    Kind = text.empty() ? TCellKind::Empty : TCellKind::Text;
    Text.assign(text);
}

namespace {

// The number behind a shown text: an optional sign, digits and at most one
// separator (the display one or "."). places receives the digits after it.
bool ParseShownNumber(std::string_view text, double& value, int& places) {
    std::string plain;
    plain.reserve(text.size());
    places = 0;
    bool separator = false, digits = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '-' || c == '+') && i == 0) {
            if (c == '-') plain += c;
        } else if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
            if (separator) ++places;
        } else if ((c == DecimalSeparator() || c == '.') && !separator) {
            plain += '.';
            separator = true;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    return ec == std::errc() && end == plain.data() + plain.size() && std::isfinite(value);
}

}  // namespace

void SetCellFromText(TSheetCell& cell, const TSheetColumn& column, std::string_view text) {
    cell.SetText(text);
    if (text.empty() || column.Kind == TCellKind::Text || column.Kind == TCellKind::Empty) return;
    std::string_view number = text;
    const bool percent = column.Kind == TCellKind::Number && number.back() == '%';
    if (percent) number.remove_suffix(1);
    double value = 0;
    int places = 0;
    if (!ParseShownNumber(number, value, places)) return;
    switch (column.Kind) {
        case TCellKind::Integer:
            if (places > 0 || number.find_first_of(".,") != std::string_view::npos) return;
            cell.Signed = number.front() == '+';
            break;
        case TCellKind::Number:
            cell.Decimals = static_cast<uint8_t>(std::min(places, 10));
            cell.Percent = percent;
            break;
        default:
            break;
    }
    cell.Kind = column.Kind;
    cell.Value = value;
    cell.Text.clear();
}

TSheet MemorySheet(std::string name, std::string title, std::vector<TSheetColumn> columns,
                   std::vector<std::vector<TSheetCell>> rows) {
    TSheet sheet;
    sheet.Name = std::move(name);
    sheet.Title = std::move(title);
    sheet.Columns = std::move(columns);
    sheet.RowCount = static_cast<int64_t>(rows.size());
    auto data = std::make_shared<std::vector<std::vector<TSheetCell>>>(std::move(rows));
    sheet.FillRow = [data](int64_t row, std::vector<TSheetCell>& cells) {
        const auto& source = (*data)[static_cast<size_t>(row)];
        for (size_t c = 0; c < cells.size() && c < source.size(); ++c) cells[c] = source[c];
    };
    return sheet;
}

int CellDisplayWidth(const TSheetCell& cell) {
    switch (cell.Kind) {
        case TCellKind::Empty:
            return 0;
        case TCellKind::Text: {
            int chars = 0;
            for (unsigned char c : cell.Text) chars += (c & 0xC0) != 0x80;
            return chars;
        }
        default:
            break;
    }
    const int places = cell.Kind == TCellKind::Amount   ? 2
                       : cell.Kind == TCellKind::Number ? cell.Decimals
                                                        : 0;
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%.*f", places, cell.Value);
    return std::max(n, 1) + (cell.Percent ? 1 : 0) + (cell.Signed && cell.Value > 0 ? 1 : 0);
}

}  // namespace tessara
