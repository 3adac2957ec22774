#include "combs/comb_list.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "model/encoding.h"
#include "model/files.h"
#include "model/game.h"
#include "stats/parallel_filter.h"

namespace tessara {

void TCombList::Reserve(int64_t capacity, int64_t count) {
    if (capacity > Capacity()) {
        // Reserving exactly: the full list never needs more room.
        auto grown = std::make_unique_for_overwrite<TCombination[]>(static_cast<size_t>(capacity));
        if (count_ > 0) std::memcpy(grown.get(), buf_.get(), static_cast<size_t>(std::min(count_, capacity)) * sizeof(TCombination));
        buf_ = std::move(grown);
        capacity_ = capacity;
    }
    count_ = count;
}

void TCombList::Clear() {
    buf_.reset();
    capacity_ = 0;
    count_ = 0;
}

void TCombList::Grow(int64_t minimum) {
    // Grow in large steps: a list read from a file can pass the usual size.
    const int64_t target = std::max<int64_t>(minimum, Capacity() + Capacity() / 2 + 1024);
    auto grown = std::make_unique_for_overwrite<TCombination[]>(static_cast<size_t>(target));
    if (count_ > 0) std::memcpy(grown.get(), buf_.get(), static_cast<size_t>(count_) * sizeof(TCombination));
    buf_ = std::move(grown);
    capacity_ = target;
}

void TCombList::CopyFrom(const TCombList& other) {
    if (other.Capacity() > Capacity()) Reserve(other.Capacity(), 0);
    if (other.count_ > 0)
        std::memcpy(buf_.get(), other.buf_.get(), static_cast<size_t>(other.count_) * sizeof(TCombination));
    count_ = other.count_;
}

const char* GenerateModeCaption(int mode) {
    switch (mode) {
        case 0: return "Полный список (все возможные для данного лото варианты)";
        case 1: return "Мои числа - должно присутствовать любое из указанных";
        case 2: return "Мои числа - комбинации только из списка указанных";
        case 3: return "Мои числа - исключить комбинации с любым из указанных";
        case 4: return "Загрузить список из заранее подготовленного CSV-файла";
        default: return "";
    }
}

namespace {

// Words at "," and ";", runs of separators counting as one.
template <typename F>
int ForEachWord(std::string_view text, F f) {
    int count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ',' || text[pos] == ';')) ++pos;
        if (pos >= text.size()) break;
        size_t end = pos;
        while (end < text.size() && text[end] != ',' && text[end] != ';') ++end;
        f(count++, Trim(text.substr(pos, end - pos)));
        pos = end;
    }
    return count;
}

}  // namespace

TNumberSet ParseMyNumbers(std::string_view text) {
    TNumberSet set{};
    ForEachWord(text, [&](int, std::string_view w) {
        const int32_t v = StrToIntDef(w, 0);
        if (v >= 0 && v <= 255) set[static_cast<size_t>(v)] = true;
    });
    return set;
}

std::string GenerateWarning(int mode, std::string_view myNumbers) {
    if (mode < gmAnyOfMine || mode > gmNoneOfMine) return {};
    std::string outside;
    bool seen[MaxNumber + 1] = {};
    int inside = 0;
    ForEachWord(myNumbers, [&](int, std::string_view w) {
        const std::string_view t = Trim(w);
        if (t.empty()) return;
        int32_t v = 0;
        if (TryStrToInt(t, v) && v >= 1 && v <= MaxNumber) {
            if (!seen[v]) ++inside;
            seen[v] = true;
        } else {
            outside += (outside.empty() ? "" : ", ") + std::string(t);
        }
    });
    std::string text;
    if (!outside.empty())
        text = "Числа вне диапазона 1.." + std::to_string(MaxNumber) + " не войдут в комбинации: " +
               outside + ".";
    const bool empty = mode == gmAnyOfMine    ? inside == 0
                       : mode == gmOnlyMine   ? inside < BallsInDraw
                                              : MaxNumber - inside < BallsInDraw;
    if (empty) text += std::string(text.empty() ? "" : "\r\r") + "Список комбинаций будет пуст.";
    return text;
}

void GenerateCombinations(TCombList& list, int mode, const TNumberSet& mine) {
    TCombination c;
    for (int a = 1; a <= 37; ++a)
        for (int b = a + 1; b <= 38; ++b)
            for (int d = b + 1; d <= 39; ++d)
                for (int e = d + 1; e <= 40; ++e)
                    for (int f = e + 1; f <= 41; ++f)
                        for (int g = f + 1; g <= 42; ++g) {
                            c.n[0] = static_cast<uint8_t>(a);
                            c.n[1] = static_cast<uint8_t>(b);
                            c.n[2] = static_cast<uint8_t>(d);
                            c.n[3] = static_cast<uint8_t>(e);
                            c.n[4] = static_cast<uint8_t>(f);
                            c.n[5] = static_cast<uint8_t>(g);
                            bool keep = true;
                            if (mode >= 1 && mode <= 3) {
                                int in = 0;
                                for (uint8_t x : c.n) in += mine[x];
                                keep = mode == 1 ? in > 0 : mode == 2 ? in == BallsInDraw : in == 0;
                            }
                            if (keep) list.Append(c);
                        }
}

bool ParseCombsListLine(std::string_view line, TCombination& comb) {
    TCombination c{};
    const int words = ForEachWord(line, [&](int i, std::string_view w) {
        if (i < BallsInDraw) c.n[i] = static_cast<uint8_t>(StrToIntDef(w, 0) & 0xFF);
    });
    if (words != BallsInDraw) return false;
    comb = c;
    return true;
}

int64_t CountTextLines(std::string_view text) {
    int64_t n = 0;
    ForEachTextLine(text, [&](std::string_view) { ++n; });
    return n;
}

void AppendCombsListText(TCombList& list, std::string_view text,
                         const std::function<void(size_t read)>& progress) {
    // One combination per line at most, and a line of one takes at least
    // eleven characters: the buffer grows once.
    const int64_t most = std::min<int64_t>(CountTextLines(text), static_cast<int64_t>(text.size() / 11) + 1);
    list.Reserve(list.Count() + most, list.Count());
    const size_t step = std::max<size_t>(text.size() / 100, 1);
    size_t next = progress ? 0 : SIZE_MAX;
    TCombination c;
    ForEachTextLine(text, [&](std::string_view line) {
        const size_t at = static_cast<size_t>(line.data() - text.data());
        if (at >= next) {
            progress(at);
            next = at + step;
        }
        if (ParseCombsListLine(line, c)) list.Append(c);
    });
}

namespace {

// The decimal digits of a byte, written in place.
char* PutNumber(char* p, uint8_t v, bool twoDigits) {
    if (v >= 100) *p++ = static_cast<char>('0' + v / 100);
    if (v >= 10 || twoDigits) *p++ = static_cast<char>('0' + v / 10 % 10);
    *p++ = static_cast<char>('0' + v % 10);
    return p;
}

}  // namespace

std::string FormatCombsListText(const TCombList& list) {
    std::string out;
    AppendCombsListText(out, list.Data(), list.Count());
    return out;
}

void AppendCombsListText(std::string& out, const TCombination* combs, int64_t n) {
    // Six numbers of at most three digits, five separators, CR LF.
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(n) * 25);
    char* p = out.data() + start;
    for (int64_t i = 0; i < n; ++i) {
        for (int k = 0; k < BallsInDraw; ++k) {
            if (k > 0) *p++ = ';';
            p = PutNumber(p, combs[i].n[k], false);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

void AppendClipboardText(std::string& out, const TCombination* combs, int64_t n) {
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(n) * 25);
    char* p = out.data() + start;
    for (int64_t i = 0; i < n; ++i) {
        for (int k = 0; k < BallsInDraw; ++k) {
            if (k > 0) *p++ = ' ';
            p = PutNumber(p, combs[i].n[k], true);
        }
        *p++ = '\r';
        *p++ = '\n';
    }
    out.resize(static_cast<size_t>(p - out.data()));
}

std::string FormatClipboardLine(const TCombination& c) {
    std::string s;
    AppendClipboardText(s, &c, 1);
    return s;
}

std::string CombsBufferBytes(const TCombList& list) {
    return std::string(reinterpret_cast<const char*>(list.Data()),
                       static_cast<size_t>(list.Count()) * sizeof(TCombination));
}

namespace {

uint64_t NumberMask(const uint8_t* n) {
    uint64_t m = 0;
    for (int k = 0; k < BallsInDraw; ++k) m |= uint64_t{1} << (n[k] & 63);
    return m;
}

}  // namespace

int64_t RemoveDrawnCombs(const TCombination* src, int64_t n, TCombination* dst,
                         const std::vector<uint64_t>& drawn, bool lexicographic) {
    if (lexicographic) {
        // The one combination of each mask: its numbers in increasing order,
        // when they are six of 1..42.
        std::vector<int64_t> places;
        for (uint64_t m : drawn) {
            if (std::popcount(m) != BallsInDraw || (m & 1) != 0 || (m >> (MaxNumber + 1)) != 0) continue;
            TCombination c;
            int k = 0;
            for (uint64_t b = m; b; b &= b - 1) c.n[k++] = static_cast<uint8_t>(std::countr_zero(b));
            const TCombination* at = std::lower_bound(src, src + n, c, [](const TCombination& a, const TCombination& b) {
                return std::memcmp(a.n, b.n, BallsInDraw) < 0;
            });
            if (at != src + n && std::memcmp(at->n, c.n, BallsInDraw) == 0) places.push_back(at - src);
        }
        std::sort(places.begin(), places.end());
        places.erase(std::unique(places.begin(), places.end()), places.end());
        places.push_back(n);
        // The runs between the places, copied in order; into a separate
        // buffer the two halves of the list are copied at once.
        const auto copyRuns = [&](int64_t lo, int64_t hi) {
            int64_t kept = 0, from = 0;
            for (int64_t p : places) {
                const int64_t b = std::max(from, lo), e = std::min(p, hi);
                if (e > b)
                    std::memmove(dst + kept + (b - from), src + b, static_cast<size_t>(e - b) * sizeof(TCombination));
                kept += p - from;
                from = p + 1;
                if (from >= hi) break;
            }
        };
        const bool apart = dst + n <= src || src + n <= dst;
        if (apart && n >= TESSARA_FILTER_THREADS_MINIMUM && FilterThreads() > 1) {
            std::thread half;
            try {
                half = std::thread(copyRuns, n / 2, n);
            } catch (const std::system_error&) {
                copyRuns(n / 2, n);
            }
            copyRuns(0, n / 2);
            if (half.joinable()) half.join();
        } else {
            copyRuns(0, n);
        }
        return n - static_cast<int64_t>(places.size()) + 1;
    }
    // A bit per hashed mask answers "not drawn" for nearly every combination
    // without a search.
    constexpr int kHashBits = 12;
    const auto hashOf = [](uint64_t m) { return static_cast<size_t>((m * 0x9E3779B97F4A7C15ull) >> (64 - kHashBits)); };
    std::vector<uint64_t> maybe((size_t{1} << kHashBits) / 64, 0);
    for (uint64_t m : drawn) maybe[hashOf(m) / 64] |= uint64_t{1} << (hashOf(m) % 64);
    return FilterWithThreads(src, n, dst, true, [&](const TCombination& c) {
        const uint64_t m = NumberMask(c.n);
        const size_t h = hashOf(m);
        return (maybe[h / 64] >> (h % 64) & 1) != 0 && std::binary_search(drawn.begin(), drawn.end(), m);
    });
}

}  // namespace tessara
