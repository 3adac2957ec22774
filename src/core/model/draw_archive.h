#pragma once

#include <string>
#include <string_view>

#include "model/records.h"

namespace tessara {

inline constexpr const char* DrawsFileName = "Tessara_6x42.ldr";
// The largest draw number: the number after it must still fit 32 bits.
inline constexpr int32_t MaxDrawNo = 2147483646;

// A draw whose number is outside 1..MaxDrawNo, whose numbers are not six
// different ones of 1..42, or whose extra ball is outside 0..9. Such a draw
// stays in the file (it can be mended) but no statistic or check reads it.
bool DrawIsDamaged(const TDrawRecord& draw);

// The archive of draws, oldest first. Never sorted: draws are appended in the
// order in which they arrive and keep their drawn order of numbers.
class TDrawArchive {
public:
    const TDrawsArray& Draws() const { return draws_; }
    TDrawsArray& Draws() { return draws_; }
    int Count() const { return static_cast<int>(draws_.size()); }
    int High() const { return Count() - 1; }
    bool Empty() const { return draws_.empty(); }
    const TDrawRecord& operator[](int index) const { return draws_[static_cast<size_t>(index)]; }

    int FindDrawIndex(int drawNo) const;
    // The number after the draw at the offset; -1 when there is none in
    // range.
    int NextDrawNo(int offset) const;
    // The draws that are not damaged, in order.
    TDrawArchive SoundDraws() const;
    bool HasDamagedDraws() const;
    TCombination DrawNumbersAtOffset(int offset) const;
    std::string NextDrawResultText(int offset) const;
    TByteSet NextDrawResultSet(int offset) const;
    // Throws Error for an index outside the archive.
    void DeleteDrawAt(int index);
    void Append(const TDrawRecord& draw) { draws_.push_back(draw); }
    void Clear() { draws_.clear(); }

    // Row r of the list (newest on top) is the draw at index High - r; read
    // with its numbers sorted when asked.
    int RowToIndex(int row) const { return High() - row; }
    TDrawRecord RowDraw(int row, bool sorted) const;

private:
    TDrawsArray draws_;
};

// Reads the draws file: the archive is sized to the whole records in the file
// and filled in order; a trailing fragment is ignored. On a read error the
// records read so far stay (the rest zeroed) and Error is thrown.
void ReadDrawsFile(const std::string& path, TDrawsArray& draws);
void WriteDrawsFile(const std::string& path, const TDrawsArray& draws);

// The check of the draw dialog's text "n1;n2;n3;n4;n5;n6;extra": seven words
// at "," and ";", six different numbers 1..42 and an extra ball 0..9. On
// success fills Numbers (in the order typed) and ExtraBall of draw.
bool CheckDrawData(std::string_view text, TDrawRecord& draw);
// What is wrong with such a text, in the words shown after the message
// ("число 43 вне диапазона 1..42"); empty when CheckDrawData accepts it.
std::string DrawDataFault(std::string_view text);
// The same for a list of numbers 1..42 split at "," and ";": between
// minCount and maxCount of them, each a number, none repeated.
std::string NumberListFault(std::string_view text, int minCount, int maxCount);
// The text the draw dialog shows for a record: numbers then extra ball.
std::string DrawDataText(const TDrawRecord& draw);

inline constexpr const char* MsgIncorrectCombination = "Введена некорректная комбинация!";

}  // namespace tessara
