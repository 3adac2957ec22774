#include "views/draw_card.h"

#include "model/game.h"

namespace tessara {

namespace {

constexpr TColor kRepeatWithNeighbour{255, 255, 0};
constexpr TColor kRepeatAlone{0, 255, 0};
constexpr TColor kNeighbourOnly{0, 255, 255};

bool DrawHolds(const TDrawRecord& d, int n) {
    for (uint8_t x : d.Numbers)
        if (x == n) return true;
    return false;
}

}  // namespace

int CardRowCount(const TDrawsArray& draws) {
    return draws.empty() ? 2 : static_cast<int>(draws.size()) + 1;
}

const TDrawRecord* CardRowDraw(const TDrawsArray& draws, int row) {
    const int count = static_cast<int>(draws.size());
    if (row < 1 || row > count) return nullptr;
    return &draws[static_cast<size_t>(count - row)];
}

bool CardCellDrawn(const TDrawsArray& draws, int row, int column) {
    if (column < 1 || column > MaxNumber) return false;
    const TDrawRecord* d = CardRowDraw(draws, row);
    return d && DrawHolds(*d, column);
}

std::string CardCellText(const TDrawsArray& draws, int row, int column) {
    if (row == 0) {
        if (column >= 1 && column <= MaxNumber) return std::to_string(column);
        return column == CardExtraColumn ? "E" : "";
    }
    const TDrawRecord* d = CardRowDraw(draws, row);
    if (!d) return {};
    if (column == 0) return std::to_string(d->DrawNo);
    if (column == CardExtraColumn) return std::to_string(d->ExtraBall);
    return CardCellDrawn(draws, row, column) ? std::to_string(column) : std::string();
}

std::optional<TColor> CardCellColor(const TDrawsArray& draws, int row, int column,
                                    const TCardOptions& options) {
    if (row < 1 || column < 1 || column > MaxNumber) return std::nullopt;
    const std::optional<TColor> group =
        options.ColorCard ? std::optional<TColor>(NumberGroupColor(column, options.ChannelSize))
                          : std::nullopt;
    if (!options.ColorCardSequences || !CardCellDrawn(draws, row, column)) return group;
    // The row above only counts from row 2 on: row 0 is the header.
    const bool repeat = (row >= 2 && CardCellDrawn(draws, row - 1, column)) ||
                        CardCellDrawn(draws, row + 1, column);
    const bool neighbour = (column > 1 && CardCellDrawn(draws, row, column - 1)) ||
                           (column < MaxNumber && CardCellDrawn(draws, row, column + 1));
    if (repeat) return neighbour ? kRepeatWithNeighbour : kRepeatAlone;
    if (neighbour) return kNeighbourOnly;
    return group;
}

std::vector<int> CardSelectionNumbers(const TDrawsArray& draws, int top, int left, int bottom,
                                      int right) {
    std::vector<int> numbers;
    for (int column = left; column <= right; ++column)
        for (int row = top; row <= bottom; ++row) {
            if (column >= 1 && column <= MaxNumber) {
                if (CardCellDrawn(draws, row, column)) numbers.push_back(column);
                continue;
            }
            const std::string text = CardCellText(draws, row, column);
            if (text.empty()) continue;
            int32_t value = 0;
            if (!TryStrToInt(text, value)) value = 0;
            numbers.push_back(value);
        }
    return numbers;
}

}  // namespace tessara
