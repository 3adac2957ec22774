#include "stakes/regular_stake.h"

#include <algorithm>
#include <cstring>
#include <fmt/format.h>

#include "model/encoding.h"
#include "model/error.h"
#include "model/game.h"
#include "stakes/stake_create.h"

namespace tessara {

namespace {

TCombination ToComb(const uint8_t* n) {
    TCombination c{};
    std::memcpy(c.n, n, BallsInDraw);
    return c;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == ';' || text[i] == ',') {
            words.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return words;
}

// One number moved by the step around the circle. Within the step's range
// this is n + step less or plus 42; the final fold keeps a step or a number
// from a damaged file inside 1..42 as well.
uint8_t MoveNumber(int n, int step) {
    if (step == 0) return static_cast<uint8_t>(n);
    int r = n + step;
    if (step > 0 && r > MaxNumber) r -= MaxNumber;
    if (step < 0 && r <= 0) r += MaxNumber;
    if (r < 1 || r > MaxNumber) r = ((r - 1) % MaxNumber + MaxNumber) % MaxNumber + 1;
    return static_cast<uint8_t>(r);
}

}  // namespace

TRegularStake MakeRegular(const std::string& comment, bool fromDraw, const TCombination& start,
                          int step) {
    TRegularStake r;
    std::memset(&r, 0, sizeof r);
    SetRegularComment(r, comment);
    r.FromDraw = fromDraw ? 1 : 0;
    std::memcpy(r.Start, start.n, BallsInDraw);
    std::memcpy(r.Current, start.n, BallsInDraw);
    r.Step = step;
    return r;
}

std::string RegularComment(const TRegularStake& r) {
    return ShortStringText(r.CommentLen, r.Comment, sizeof r.Comment);
}

void SetRegularComment(TRegularStake& r, const std::string& utf8) {
    SetShortString(r.CommentLen, r.Comment, sizeof r.Comment, utf8);
}

TCombination RegularStart(const TRegularStake& r) { return ToComb(r.Start); }
TCombination RegularCurrent(const TRegularStake& r) { return ToComb(r.Current); }

void AdvanceRegular(const TDrawArchive& archive, int offset, TRegularStake& rule) {
    const TCombination base = rule.FromDraw ? archive.DrawNumbersAtOffset(offset) : RegularCurrent(rule);
    uint8_t next[BallsInDraw];
    for (int i = 0; i < BallsInDraw; ++i) next[i] = MoveNumber(base[i], rule.Step);
    std::sort(next, next + BallsInDraw);
    std::memcpy(rule.Current, next, BallsInDraw);
    ++rule.Stakes;
}

const char* RegularColumnCaption(int column) {
    static const char* const kCaptions[RegularColumnCount] = {
        "Комментарий", "Стартовая комбинация", "Шаг", "Текущая комбинация", "Ставок"};
    return column >= 0 && column < RegularColumnCount ? kCaptions[column] : "";
}

std::string RegularCombText(const TCombination& comb) {
    std::string s;
    for (int i = 0; i < BallsInDraw; ++i) {
        if (i > 0) s += ';';
        s += std::to_string(comb[i]);
    }
    return s;
}

std::string RegularCellText(const TRegularStake& r, int column) {
    switch (column) {
        case 0: return RegularComment(r);
        case 1: return RegularCombText(RegularStart(r));
        case 2: return std::to_string(r.Step);
        case 3: return RegularCombText(RegularCurrent(r));
        case 4: return std::to_string(r.Stakes);
        default: return {};
    }
}

TRegularsArray ParseRegularsFile(std::string_view bytes) {
    if (bytes.size() % RegularRecordSize != 0)
        throw Error(fmt::format("Размер файла ({} байт) не кратен размеру записи ({} байт)",
                                bytes.size(), RegularRecordSize));
    TRegularsArray rules(bytes.size() / RegularRecordSize);
    if (!rules.empty()) std::memcpy(rules.data(), bytes.data(), bytes.size());
    return rules;
}

std::string FormatRegularsFile(const TRegularsArray& rules) {
    std::string bytes(rules.size() * RegularRecordSize, '\0');
    if (!rules.empty()) std::memcpy(bytes.data(), rules.data(), bytes.size());
    return bytes;
}

TRegularDialogCheck CheckRegularDialog(bool combEditable, std::string_view combText,
                                       const std::string& comment,
                                       const std::vector<std::string>& comments,
                                       TCombination& start, std::string& message) {
    TCombination entered = start;
    if (combEditable) {
        const auto words = Words(combText);
        bool ok = words.size() == BallsInDraw;
        bool seen[MaxNumber + 1] = {};
        for (size_t i = 0; ok && i < words.size(); ++i) {
            int32_t n = 0;
            ok = TryStrToInt(Trim(words[i]), n) && n >= 1 && n <= MaxNumber && !seen[n];
            if (ok) {
                seen[n] = true;
                entered[static_cast<int>(i)] = static_cast<uint8_t>(n);
            }
        }
        if (!ok) {
            message = MsgIncorrectCombination;
            return TRegularDialogCheck::Combination;
        }
        std::sort(entered.n, entered.n + BallsInDraw);
    }
    if (comment.empty()) {
        message = "Необходимо ввести комментарий!";
        return TRegularDialogCheck::Comment;
    }
    if (std::find(comments.begin(), comments.end(), comment) != comments.end()) {
        message =
            "Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.";
        return TRegularDialogCheck::Duplicate;
    }
    start = entered;
    message.clear();
    return TRegularDialogCheck::Ok;
}

TStakeRecord MakeRegularStakeRecord(const TRegularStake& advanced, int draw, int64_t sample,
                                    const TConfigData& config) {
    const TCombination comb = RegularCurrent(advanced);
    TStakeRecord r = PrefillManualStake(draw, sample, &comb, config);
    r.Kind = skRegular;
    SetStakeComment(r, RegularComment(advanced));
    return r;
}

bool IsValidCombination(const TCombination& comb) {
    bool seen[MaxNumber + 1] = {};
    for (int i = 0; i < BallsInDraw; ++i) {
        const int n = comb[i];
        if (n < 1 || n > MaxNumber || seen[n]) return false;
        seen[n] = true;
    }
    return true;
}

}  // namespace tessara
