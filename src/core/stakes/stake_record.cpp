#include "stakes/stake_record.h"

#include <algorithm>
#include <cstring>

#include "model/encoding.h"

namespace tessara {

TStakeRecord MakeEmptyStake(uint8_t kind) {
    TStakeRecord r;
    std::memset(&r, 0, sizeof r);
    r.Version = StakeVersion;
    r.Kind = kind;
    r.Matches.Count = -1;
    return r;
}

TStakeRecord MakeSeparatorStake() {
    TStakeRecord r = MakeEmptyStake(skSeparator);
    r.Draw = -1;
    return r;
}

bool StakeIsDamaged(const TStakeRecord& r) {
    if (r.Draw < 0 || r.Kind == skSeparator) return false;
    const auto inRange = [](const TStakeNumbers& list, int count) {
        for (int i = 0; i < count; ++i)
            if (list.Numbers[i] < 1 || list.Numbers[i] > MaxNumber) return false;
        return true;
    };
    if (r.Numbers.Count < 0 || r.Numbers.Count > MaxStakeNumbers || !inRange(r.Numbers, r.Numbers.Count))
        return true;
    if (!StakeIsChecked(r)) return r.Matches.Count != -1 && r.Matches.Count != 0;
    for (uint8_t n : r.Result)
        if (n < 1 || n > MaxNumber) return true;
    return r.Matches.Count < 0 || r.Matches.Count > BallsInDraw || r.Matches.Count > r.Numbers.Count ||
           !inRange(r.Matches, r.Matches.Count);
}

int StakeNumberCount(const TStakeRecord& r) {
    return std::clamp(r.Numbers.Count, 0, MaxStakeNumbers);
}

std::string ShortStringText(uint8_t len, const char* bytes, size_t capacity) {
    return Cp1251ToUtf8(std::string_view(bytes, std::min<size_t>(len, capacity)));
}

void SetShortString(uint8_t& len, char* bytes, size_t capacity, const std::string& utf8) {
    std::string cp = Utf8ToCp1251(utf8);
    if (cp.size() > capacity) cp.resize(capacity);
    std::memset(bytes, 0, capacity);
    std::memcpy(bytes, cp.data(), cp.size());
    len = static_cast<uint8_t>(cp.size());
}

std::string StakeComment(const TStakeRecord& r) {
    return ShortStringText(r.CommentLen, r.Comment, sizeof r.Comment);
}

void SetStakeComment(TStakeRecord& r, const std::string& utf8) {
    SetShortString(r.CommentLen, r.Comment, sizeof r.Comment, utf8);
}

}  // namespace tessara
