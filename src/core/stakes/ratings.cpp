#include "stakes/ratings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

#include "model/encoding.h"
#include "model/format.h"
#include "model/game.h"
#include "stakes/stake_cost.h"

namespace tessara {

namespace {

// Lower case of every byte of the code page, from the one conversion table.
const std::array<uint8_t, 256>& FoldTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            const std::string utf8 = Cp1251ToUtf8(byte);
            const std::string back = Utf8ToCp1251(Utf8ToLower(utf8));
            t[static_cast<size_t>(b)] = Utf8ToCp1251(utf8) == byte && back.size() == 1
                                            ? static_cast<uint8_t>(back[0])
                                            : static_cast<uint8_t>(b);
        }
        return t;
    }();
    return table;
}

// Primary weight of a byte: other characters, then Latin, then Cyrillic
// letters in alphabetical order.
int PrimaryWeight(uint8_t b) {
    const uint8_t f = FoldTable()[b];
    if (f >= 'a' && f <= 'z') return 0x400 + f;
    if (f >= 0xE0) return 0x800 + (f - 0xE0) * 2;
    if (f == 0xB8) return 0x800 + (0xE5 - 0xE0) * 2 + 1;  // ё right after е
    if (f != b || f >= 0x80) return 0xC00 + f;           // other letters of the code page
    return f;
}

const TMatchTable& Chances() {
    static const TMatchTable table = MakeMatchTable();
    return table;
}

std::string Name(const TRatingRecord& r) {
    return std::string(r.Name, std::min<size_t>(r.NameLen, sizeof r.Name));
}

int Sign(long double v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::string AverageText(const TRatingRecord& r) {
    return FormatShownNumber(static_cast<double>(r.Matched) / r.Stakes, 3);
}

int64_t AverageProfit(const TRatingRecord& r) {
    return RoundHalfEven(static_cast<double>(r.Profit) / r.Stakes);
}

std::string MoneyText(int64_t v) { return FormatShownMoney(v); }

std::string Quoted(const std::string& s) {
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + "\"";
}

}  // namespace

std::string FoldCp1251(std::string_view cp1251) {
    std::string s(cp1251);
    for (char& c : s) c = static_cast<char>(FoldTable()[static_cast<uint8_t>(c)]);
    return s;
}

std::string RatingName(const TRatingRecord& r) {
    return ShortStringText(r.NameLen, r.Name, sizeof r.Name);
}

const char* RatingColumnCaption(int column) {
    static const char* const kCaptions[RatingColumnCount] = {
        "Комментарий", "Ставок", "Угадано", "Среднее", "Профит", "Ср. профит", "0",
        "1",           "2",      "3",       "4",       "5",      "6",          "E0",
        "E1",          "E2",     "E3",      "E4",      "E5",     "E6"};
    return column >= 0 && column < RatingColumnCount ? kCaptions[column] : "";
}

std::string RatingCellText(const TRatingRecord& r, int column, int effMode) {
    switch (column) {
        case 0: return RatingName(r);
        case 1: return std::to_string(r.Stakes);
        case 2: return std::to_string(r.Matched);
        case 3: return r.Stakes == 0 ? std::string() : AverageText(r);
        case 4: return MoneyText(r.Profit);
        case 5: return r.Stakes == 0 ? std::string() : MoneyText(AverageProfit(r));
        default: break;
    }
    if (column >= 6 && column <= 12) return std::to_string(r.Hits[column - 6]);
    if (column < 13 || column > 19 || r.Stakes == 0) return {};
    const int i = column - 13;
    const long double p = Chances().Probabilities[i];
    const long double stakes = r.Stakes;
    switch (effMode) {
        case 1:
            return FormatShownNumber(static_cast<double>(r.Hits[i] * 100.0L / stakes - p * 100), 3) + "%";
        case 2:
            return FormatShownNumber(static_cast<double>(r.Hits[i] * 100.0L / (stakes * p)), 3) + "%";
        default:
            return std::to_string(RoundHalfEven(static_cast<double>(stakes * p)));
    }
}

std::vector<std::string> RatingRowTexts(const TRatingRecord& r, int effMode) {
    std::vector<std::string> texts;
    try {
        for (int c = 0; c < RatingColumnCount; ++c) texts.push_back(RatingCellText(r, c, effMode));
    } catch (const std::exception&) {
        texts.assign(RatingColumnCount, std::string());
        texts[0] = "# bad data #";
    }
    return texts;
}

int CompareRatingNames(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int d = PrimaryWeight(static_cast<uint8_t>(a[i])) - PrimaryWeight(static_cast<uint8_t>(b[i]));
        if (d != 0) return d < 0 ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    // Same letters: the first difference of case decides, lower case first.
    for (size_t i = 0; i < n; ++i) {
        const uint8_t x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
        if (x == y) continue;
        const bool xLower = FoldTable()[x] == x, yLower = FoldTable()[y] == y;
        if (xLower != yLower) return xLower ? -1 : 1;
        return x < y ? -1 : 1;
    }
    return 0;
}

int CompareRatings(const TRatingRecord& a, const TRatingRecord& b, int column, bool descending) {
    if (a.Stakes == 0 || b.Stakes == 0) return 0;
    long double d = 0;
    switch (column) {
        case 0: d = CompareRatingNames(Name(a), Name(b)); break;
        case 1: d = static_cast<long double>(a.Stakes) - b.Stakes; break;
        case 2: d = static_cast<long double>(a.Matched) - b.Matched; break;
        case 3:
            d = RoundHalfEven(static_cast<double>(
                (static_cast<long double>(a.Matched) / a.Stakes -
                 static_cast<long double>(b.Matched) / b.Stakes) * 100));
            break;
        case 4: d = RoundHalfEven((static_cast<double>(a.Profit) - static_cast<double>(b.Profit)) / 100); break;
        case 5:
            d = RoundHalfEven((static_cast<double>(a.Profit) / a.Stakes -
                               static_cast<double>(b.Profit) / b.Stakes) / 100);
            break;
        default:
            if (column >= 6 && column <= 12)
                d = static_cast<long double>(a.Hits[column - 6]) - b.Hits[column - 6];
            break;
    }
    const int s = Sign(d);
    return descending ? -s : s;
}

void SortRatingRows(TRatingsArray& rows, int column, bool descending) {
    if (column < 0 || rows.size() < 2) return;
    const auto cmp = [&](size_t x, size_t y) { return CompareRatings(rows[x], rows[y], column, descending); };
    // The classic quicksort: the middle element is the pivot, and the pivot
    // index follows the pivot when it is swapped.
    const auto sort = [&](auto& self, int64_t l, int64_t r) -> void {
        int64_t i = l;
        do {
            i = l;
            int64_t j = r, p = (l + r) / 2;
            do {
                while (cmp(static_cast<size_t>(i), static_cast<size_t>(p)) < 0) ++i;
                while (cmp(static_cast<size_t>(j), static_cast<size_t>(p)) > 0) --j;
                if (i <= j) {
                    if (i != j) std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
                    if (p == i)
                        p = j;
                    else if (p == j)
                        p = i;
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (l < j) self(self, l, j);
            l = i;
        } while (i < r);
    };
    sort(sort, 0, static_cast<int64_t>(rows.size()) - 1);
}

void TRatings::Update(const TStakeRecord& stake) {
    const int matches = stake.Matches.Count;
    if (matches < 0 || StakeIsDamaged(stake)) return;
    const std::string name(stake.Comment, std::min<size_t>(stake.CommentLen, sizeof stake.Comment));
    const std::string key = FoldCp1251(name);
    const auto found = index_.find(key);
    if (found != index_.end()) {
        TRatingRecord& r = rows_[found->second];
        // The sums saturate rather than wrap.
        const auto add32 = [](uint32_t& sum, uint32_t v) {
            sum = sum > std::numeric_limits<uint32_t>::max() - v ? std::numeric_limits<uint32_t>::max() : sum + v;
        };
        add32(r.Stakes, 1);
        add32(r.Matched, static_cast<uint32_t>(matches));
        // A count past six can only come from a damaged record; it has no column.
        if (matches <= BallsInDraw) add32(r.Hits[matches], 1);
        if (__builtin_add_overflow(r.Profit, stake.Profit, &r.Profit))
            r.Profit = stake.Profit > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
        return;
    }
    TRatingRecord r;
    std::memset(&r, 0, sizeof r);
    r.NameLen = static_cast<uint8_t>(name.size());
    std::memcpy(r.Name, name.data(), name.size());
    r.Stakes = 1;
    r.Matched = static_cast<uint32_t>(matches);
    if (matches <= BallsInDraw) r.Hits[matches] = 1;
    r.Profit = stake.Profit;
    rows_.push_back(r);
    index_.emplace(key, rows_.size() - 1);
}

void TRatings::Assign(TRatingsArray rows) {
    rows_ = std::move(rows);
    Reindex();
}

void TRatings::Clear() {
    rows_.clear();
    index_.clear();
}

void TRatings::Sort(int column, bool descending) {
    SortRatingRows(rows_, column, descending);
    Reindex();
}

void TRatings::Reindex() {
    index_.clear();
    for (size_t i = 0; i < rows_.size(); ++i) index_.emplace(FoldCp1251(Name(rows_[i])), i);
}

TRatingsArray ParseRatingsFile(std::string_view bytes) {
    TRatingsArray rows(bytes.size() / sizeof(TRatingRecord));
    if (!rows.empty()) std::memcpy(rows.data(), bytes.data(), rows.size() * sizeof(TRatingRecord));
    return rows;
}

std::string FormatRatingsFile(const TRatingsArray& rows) {
    return std::string(reinterpret_cast<const char*>(rows.data()), rows.size() * sizeof(TRatingRecord));
}

std::string RatingsCsvText(const TRatingsArray& rows) {
    std::string text;
    for (int c = 0; c < RatingColumnCount; ++c) {
        if (c > 0) text += ';';
        text += Quoted(RatingColumnCaption(c));
    }
    text += "\r\n";
    for (const TRatingRecord& r : rows) {
        text += Quoted(RatingName(r));
        for (int c = 1; c <= 12; ++c) text += ";" + RatingCellText(r, c, 1);
        text += "\r\n";
    }
    return Utf8ToCp1251(text);
}

}  // namespace tessara
