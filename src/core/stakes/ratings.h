#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "stakes/stake_record.h"

namespace tessara {

inline constexpr const char* RatingsFileName = "Tessara_6x42.lrt";

// One rating row: the checked stakes that carry one comment, summed up.
#pragma pack(push, 1)
struct TRatingRecord {
    uint8_t NameLen;  // length-prefixed Windows-1251 text
    char Name[255];
    uint32_t Stakes;
    uint32_t Matched;
    uint32_t Hits[7];  // stakes with 0 .. 6 matches
    uint32_t Reserved;
    int64_t Profit;
};
#pragma pack(pop)
static_assert(sizeof(TRatingRecord) == 304);
static_assert(offsetof(TRatingRecord, Name) == 1);
static_assert(offsetof(TRatingRecord, Stakes) == 256);
static_assert(offsetof(TRatingRecord, Matched) == 260);
static_assert(offsetof(TRatingRecord, Hits) == 264);
static_assert(offsetof(TRatingRecord, Reserved) == 292);
static_assert(offsetof(TRatingRecord, Profit) == 296);

using TRatingsArray = std::vector<TRatingRecord>;

std::string RatingName(const TRatingRecord& r);

// The columns of the rating view.
inline constexpr int RatingColumnCount = 20;
inline constexpr int RatingDefaultSortColumn = 3;
const char* RatingColumnCaption(int column);  // "" outside 0..19
// The texts of a row; the E columns by the efficiency mode (1 absolute,
// 2 relative, any other the expected number of hits). A row that cannot be
// shown reads "# bad data #".
std::string RatingCellText(const TRatingRecord& r, int column, int effMode);
std::vector<std::string> RatingRowTexts(const TRatingRecord& r, int effMode);

// Names compared as the user's locale orders them: letters alphabetically
// (Cyrillic Ё after Е), then lower case before upper case.
int CompareRatingNames(std::string_view cp1251A, std::string_view cp1251B);
// The sort order of a column: negative, zero or positive. Rows without
// stakes, and columns without an order (13 and above), compare equal.
int CompareRatings(const TRatingRecord& a, const TRatingRecord& b, int column, bool descending);
// Sorts in place with the classic quicksort, so rows that compare equal come
// out in the order it leaves them.
void SortRatingRows(TRatingsArray& rows, int column, bool descending);

// The rows with an index from names (case-insensitive, Windows-1251 letters
// included) to the first row of that name.
class TRatings {
public:
    const TRatingsArray& Rows() const { return rows_; }
    size_t Count() const { return rows_.size(); }
    bool Empty() const { return rows_.empty(); }
    const TRatingRecord& operator[](size_t i) const { return rows_[i]; }

    // Adds a checked stake to the row of its comment, or a new row; stakes
    // not checked (matches below 0) are ignored.
    void Update(const TStakeRecord& stake);
    void Assign(TRatingsArray rows);
    void Clear();
    void Sort(int column, bool descending);

private:
    void Reindex();
    TRatingsArray rows_;
    std::unordered_map<std::string, size_t> index_;
};

// The rating file: whole rows one after another; a trailing fragment is
// ignored.
TRatingsArray ParseRatingsFile(std::string_view bytes);
std::string FormatRatingsFile(const TRatingsArray& rows);
// The CSV export in Windows-1251 with CR LF: all twenty captions, then per
// row the name and the twelve values (the efficiency columns are left out).
std::string RatingsCsvText(const TRatingsArray& rows);

// Case folding of Windows-1251 text.
std::string FoldCp1251(std::string_view cp1251);

}  // namespace tessara
