#include "model/game.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fmt/format.h>

#include "model/encoding.h"
#include "model/error.h"

namespace tessara {

namespace {

constexpr TColor kGroupPalette[19] = {
    {170, 255, 170}, {255, 255, 170}, {170, 255, 255}, {255, 170, 170}, {170, 170, 255},
    {255, 213, 170}, {213, 170, 255}, {212, 212, 212}, {170, 213, 255}, {255, 170, 213},
    {213, 255, 213}, {255, 255, 213}, {213, 255, 255}, {255, 213, 213}, {213, 213, 255},
    {255, 234, 213}, {234, 213, 255}, {233, 233, 233}, {213, 234, 255},
};

bool InRange(uint8_t n) { return n >= 1 && n <= MaxNumber; }

template <typename T, typename Less>
void InsertionSort(T* a, int n, Less less) {
    for (int i = 1; i < n; ++i) {
        T v = a[i];
        int j = i - 1;
        while (j >= 0 && less(v, a[j])) {
            a[j + 1] = a[j];
            --j;
        }
        a[j + 1] = v;
    }
}

}  // namespace

long double Factorial(int n) {
    long double r = 1;
    for (int i = 2; i <= n; ++i) r *= i;
    return r;
}

long double RisingProduct(long double a, int count) {
    long double r = 1;
    for (int i = 0; i < count; ++i) r *= a + i;
    return r;
}

long double FallingProduct(long double a, int count) {
    long double r = 1;
    for (int i = 0; i < count; ++i) r *= a - i;
    return r;
}

uint32_t Binomial(int n, int k) {
    if (k >= n) return 1;
    return static_cast<uint32_t>(std::llroundl(Factorial(n) / (Factorial(n - k) * Factorial(k))));
}

uint32_t CombsWithMatches(int n, int k, int m) {
    if (m >= n) return 1;
    const long double r = FallingProduct(k, m) / Factorial(m) * FallingProduct(n - k, k - m) /
                          Factorial(k - m);
    return static_cast<uint32_t>(std::llroundl(r));
}

TMatchTable MakeMatchTable() {
    TMatchTable t;
    const long double total = Binomial(MaxNumber, BallsInDraw);
    for (int k = 0; k <= BallsInDraw; ++k) {
        t.Counts[k] = CombsWithMatches(MaxNumber, BallsInDraw, k);
        t.Probabilities[k] = t.Counts[k] / total;
    }
    return t;
}

int32_t MatrixRowCount(int first, int last, int cols) {
    return first != 0 ? CeilDiv(last - first + 1, cols) : CeilDiv(last, cols);
}

std::pair<int, int> MatrixPosition(int first, int cols, int n) {
    return {(n - first) % cols, (n - first) / cols};
}

TColor NumberGroupColor(int n, int size) {
    if (n < 1 || n > MaxNumber) return {255, 0, 0};
    int g = NumberGroup(n, size);
    if (g >= 20) g -= 19;
    return kGroupPalette[g - 1];
}

int ShiftNumber(int n, int d) {
    if (d == 0) return n;
    const int s = n + d;
    if (d > 0 && s > MaxNumber) return s - MaxNumber;
    if (d < 0 && s <= 0) return s + MaxNumber;
    return s;
}

TCombination ShiftCombination(const TCombination& comb, int d) {
    TCombination r;
    for (int i = 0; i < BallsInDraw; ++i) r.n[i] = static_cast<uint8_t>(ShiftNumber(comb.n[i], d));
    return r;
}

bool DrawHasNumber(int n, const TDrawRecord& draw) {
    for (uint8_t x : draw.Numbers)
        if (x == n) return true;
    return false;
}

bool CombHasNumber(int n, const TCombination& comb) {
    for (uint8_t x : comb.n)
        if (x == n) return true;
    return false;
}

bool DrawHasGroup(int g, const TDrawRecord& draw, int size) {
    for (uint8_t x : draw.Numbers)
        if (NumberGroup(x, size) == g) return true;
    return false;
}

bool DrawHasMappedValue(int v, const TDrawRecord& draw, const uint8_t* map) {
    for (uint8_t x : draw.Numbers)
        if (InRange(x) && map[x - 1] == v) return true;
    return false;
}

bool ByteArrayHas(uint8_t b, const TByteArray& arr) {
    for (uint8_t x : arr)
        if (x == b) return true;
    return false;
}

void ByteArrayAddUnique(uint8_t b, TByteArray& arr) {
    if (!ByteArrayHas(b, arr)) arr.push_back(b);
}

void ByteArrayAppend(uint8_t b, TByteArray& arr) { arr.push_back(b); }

TStakeNumbers MatchedNumbers(const TDrawRecord& draw, const TStakeNumbers& stake) {
    TStakeNumbers r{};
    const int count = std::clamp(stake.Count, 0, 12);
    for (uint8_t x : draw.Numbers)
        for (int j = 0; j < count; ++j)
            if (stake.Numbers[j] == x && r.Count < 12) r.Numbers[r.Count++] = x;
    SortStakeNumbers(r);
    return r;
}

bool SameNumbers(const TStakeNumbers& a, const TStakeNumbers& b) {
    if (a.Count != b.Count) return false;
    const int count = std::clamp(a.Count, 0, 12);
    for (int i = 0; i < count; ++i) {
        bool found = false;
        for (int j = 0; j < count && !found; ++j) found = a.Numbers[i] == b.Numbers[j];
        if (!found) return false;
    }
    return true;
}

TStakeNumbers CombToStakeNumbers(const TCombination& comb) {
    TStakeNumbers r{};
    r.Count = BallsInDraw;
    std::memcpy(r.Numbers, comb.n, BallsInDraw);
    return r;
}

TCombination DrawToComb(const TDrawRecord& draw) {
    TCombination r;
    std::memcpy(r.n, draw.Numbers, BallsInDraw);
    return r;
}

int CountDistinctNumbers(const TCombination* combs, int64_t n) {
    if (n <= 0) return 0;
    bool seen[MaxNumber + 1] = {};
    int count = 0;
    for (int64_t i = 0; i < n; ++i)
        for (uint8_t x : combs[i].n)
            if (InRange(x) && !seen[x]) {
                seen[x] = true;
                if (++count == MaxNumber) return count;
            }
    return count;
}

TByteArray CollectDistinctNumbers(const TCombination* combs, int64_t n) {
    TByteArray r;
    bool seen[MaxNumber + 1] = {};
    for (int64_t i = 0; i < n; ++i)
        for (uint8_t x : combs[i].n)
            if (InRange(x) && !seen[x]) {
                seen[x] = true;
                r.push_back(x);
                if (r.size() == MaxNumber) return r;
            }
    return r;
}

TStakeNumbers RandomNumberSubset(const TCombination* combs, int64_t n, int limit) {
    TStakeNumbers r{};
    if (n <= 0) return r;
    limit = std::clamp(limit, 0, 12);
    TByteArray numbers = CollectDistinctNumbers(combs, n);
    if (static_cast<int>(numbers.size()) > limit) {
        RandomizeFromClock();
        while (static_cast<int>(numbers.size()) > limit) {
            std::uniform_int_distribution<size_t> pick(0, numbers.size() - 1);
            numbers.erase(numbers.begin() + static_cast<std::ptrdiff_t>(pick(RandomGenerator())));
        }
    }
    r.Count = static_cast<int32_t>(numbers.size());
    std::copy(numbers.begin(), numbers.end(), r.Numbers);
    return r;
}

std::mt19937& RandomGenerator() {
    static std::mt19937 generator(5489u);
    return generator;
}

void RandomizeFromClock() {
    RandomGenerator().seed(static_cast<std::mt19937::result_type>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

void SortCombination(TCombination& comb) {
    InsertionSort(comb.n, BallsInDraw, [](uint8_t a, uint8_t b) { return a < b; });
}

void SortDrawNumbers(TDrawRecord& draw) {
    InsertionSort(draw.Numbers, BallsInDraw, [](uint8_t a, uint8_t b) { return a < b; });
}

void SortStakeNumbers(TStakeNumbers& list) {
    InsertionSort(list.Numbers, std::clamp(list.Count, 0, 12),
                  [](uint8_t a, uint8_t b) { return a < b; });
}

void SortIntArrayDesc(TIntArray& arr) {
    InsertionSort(arr.data(), static_cast<int>(arr.size()),
                  [](int32_t a, int32_t b) { return a > b; });
}

void AddStatSimple(TStatSimpleArray& arr, int32_t key, int32_t add) {
    for (auto& e : arr)
        if (e.Key == key) {
            if (add > 0) e.Count += add;
            return;
        }
    arr.push_back({key, add});
}

void SortStatSimple(TStatSimpleArray& arr) {
    if (arr.size() < 2) return;
    InsertionSort(arr.data(), static_cast<int>(arr.size()),
                  [](const TStatSimple& a, const TStatSimple& b) { return a.Key < b.Key; });
}

bool TryStrToInt(std::string_view text, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size()) return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToIntDef(std::string_view text, int32_t def) {
    int32_t v;
    return TryStrToInt(text, v) ? v : def;
}

std::string FormatCombination(const TCombination& comb) {
    return fmt::format("{};{};{};{};{};{}", comb.n[0], comb.n[1], comb.n[2], comb.n[3],
                       comb.n[4], comb.n[5]);
}

std::string FormatCombinationPadded(const TCombination& comb) {
    return fmt::format("{:02} {:02} {:02} {:02} {:02} {:02}", comb.n[0], comb.n[1], comb.n[2],
                       comb.n[3], comb.n[4], comb.n[5]);
}

TCombination ParseCombination(std::string_view text) {
    static constexpr std::string_view kSeparators = "\t ,-.:;|";
    std::string_view words[BallsInDraw];
    int count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && kSeparators.find(text[pos]) != std::string_view::npos) ++pos;
        if (pos >= text.size()) break;
        size_t end = pos;
        while (end < text.size() && kSeparators.find(text[end]) == std::string_view::npos) ++end;
        if (count < BallsInDraw) words[count] = text.substr(pos, end - pos);
        ++count;
        pos = end;
    }
    if (count != BallsInDraw)
        throw Error(fmt::format("Некорректная комбинация: \"{}\"!", text));
    TCombination r;
    for (int i = 0; i < BallsInDraw; ++i)
        r.n[i] = static_cast<uint8_t>(StrToIntDef(Trim(words[i]), 0) & 0xFF);
    return r;
}

std::string FormatStakeNumbers(const TStakeNumbers& list, std::string_view sep) {
    std::string r;
    const int count = std::clamp(list.Count, 0, 12);
    for (int i = 0; i < count; ++i) {
        if (i > 0) r += sep;
        r += std::to_string(list.Numbers[i]);
    }
    return r;
}

std::string FormatDrawNumbers(const TDrawRecord& draw) {
    return FormatCombination(DrawToComb(draw));
}

std::string FormatDrawInfo(const TDrawRecord& draw) {
    return fmt::format("Тираж № {} от {}, значения: {} e:{}", draw.DrawNo, DrawDateText(draw),
                       FormatDrawNumbers(draw), draw.ExtraBall);
}

std::string StakeKindName(int kind) {
    switch (kind) {
        case 1: return "Вручную";
        case 2: return "Регуляр";
        case 3: return "Сценарий";
        case 4: return "Система";
        default: return {};
    }
}

TIntArray ParseIntList(std::string_view text) {
    // A list first: words at "," and ";".
    {
        TIntArray list;
        bool ok = true;
        size_t pos = 0;
        while (true) {
            const size_t end = text.find_first_of(",;", pos);
            const auto word = Trim(text.substr(pos, end == std::string_view::npos ? end : end - pos));
            int32_t v;
            if (!TryStrToInt(word, v)) {
                ok = false;
                break;
            }
            if (list.size() >= MaxIntListSize) return {};
            list.push_back(v);
            if (end == std::string_view::npos) break;
            pos = end + 1;
        }
        if (ok && !list.empty()) return list;
    }
    // Then a range: from-to;step.
    const size_t hyphen = text.size() > 1 ? text.find('-', 1) : std::string_view::npos;
    if (hyphen == std::string_view::npos) return {};
    const size_t sep = text.find_first_of(";,", hyphen + 1);
    if (sep == std::string_view::npos) return {};
    int32_t from, to, step;
    if (!TryStrToInt(Trim(text.substr(0, hyphen)), from) ||
        !TryStrToInt(Trim(text.substr(hyphen + 1, sep - hyphen - 1)), to) ||
        !TryStrToInt(Trim(text.substr(sep + 1)), step) || step == 0)
        return {};
    const int64_t count = (static_cast<int64_t>(to) - from) / step + 1;
    TIntArray r;
    if (count < 1 || count > static_cast<int64_t>(MaxIntListSize)) return r;
    r.reserve(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) r.push_back(static_cast<int32_t>(from + i * step));
    return r;
}

std::string JoinIntList(const TIntArray& list, std::string_view sep) {
    std::string r;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0) r += sep;
        r += std::to_string(list[i]);
    }
    return r;
}

std::string DrawDateText(const TDrawRecord& draw) {
    const size_t len = std::min<size_t>(draw.DrawDateLen, sizeof draw.DrawDate);
    return Cp1251ToUtf8(std::string_view(draw.DrawDate, len));
}

void SetDrawDateText(TDrawRecord& draw, const std::string& utf8) {
    std::string bytes = Utf8ToCp1251(utf8);
    if (bytes.size() > sizeof draw.DrawDate) bytes.resize(sizeof draw.DrawDate);
    std::memset(draw.DrawDate, 0, sizeof draw.DrawDate);
    std::memcpy(draw.DrawDate, bytes.data(), bytes.size());
    draw.DrawDateLen = static_cast<uint8_t>(bytes.size());
}

}  // namespace tessara
