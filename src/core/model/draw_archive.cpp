#include "model/draw_archive.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fmt/format.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara {

int TDrawArchive::FindDrawIndex(int drawNo) const {
    if (draws_.empty()) return -1;
    const int high = High();
    const int first = draws_.front().DrawNo;
    const int last = draws_.back().DrawNo;
    if (drawNo == first) return 0;
    if (drawNo == last) return high;
    // A proportional first probe, then a walk towards the number.
    const double span = static_cast<double>(last) - first + 1;
    int probe = high;
    const double p = Count() * ((static_cast<double>(drawNo) - first) / span);
    if (std::isfinite(p) && std::trunc(p) >= 0 && std::trunc(p) <= high)
        probe = static_cast<int>(std::trunc(p));
    if (draws_[probe].DrawNo == drawNo) return probe;
    const int step = drawNo > draws_[probe].DrawNo ? 1 : -1;
    for (int i = probe + step; i >= 0 && i <= high; i += step)
        if (draws_[i].DrawNo == drawNo) return i;
    for (int i = high; i >= 0; --i)
        if (draws_[i].DrawNo == drawNo) return i;
    return -1;
}

bool DrawIsDamaged(const TDrawRecord& draw) {
    if (draw.DrawNo < 1 || draw.DrawNo > MaxDrawNo || draw.ExtraBall > MaxExtraBall) return true;
    for (int i = 0; i < BallsInDraw; ++i) {
        if (draw.Numbers[i] < 1 || draw.Numbers[i] > MaxNumber) return true;
        for (int j = 0; j < i; ++j)
            if (draw.Numbers[j] == draw.Numbers[i]) return true;
    }
    return false;
}

int TDrawArchive::NextDrawNo(int offset) const {
    if (draws_.empty()) return 1;
    if (offset < 0 || offset >= Count()) return -1;
    const int64_t next = int64_t{draws_[High() - offset].DrawNo} + 1;
    return next >= 1 && next <= INT32_MAX ? static_cast<int>(next) : -1;
}

bool TDrawArchive::HasDamagedDraws() const {
    return std::any_of(draws_.begin(), draws_.end(), DrawIsDamaged);
}

TDrawArchive TDrawArchive::SoundDraws() const {
    TDrawArchive sound;
    for (const TDrawRecord& d : draws_)
        if (!DrawIsDamaged(d)) sound.Append(d);
    return sound;
}

TCombination TDrawArchive::DrawNumbersAtOffset(int offset) const {
    if (offset < 0 || offset >= Count()) return TCombination{};
    return DrawToComb(draws_[High() - offset]);
}

std::string TDrawArchive::NextDrawResultText(int offset) const {
    if (draws_.empty() || offset <= 0 || offset >= Count()) return {};
    return FormatDrawNumbers(draws_[High() - offset + 1]);
}

TByteSet TDrawArchive::NextDrawResultSet(int offset) const {
    TByteSet set{};
    if (draws_.empty() || offset <= 0 || offset >= Count()) return set;
    for (uint8_t n : draws_[High() - offset + 1].Numbers) set[n] = true;
    return set;
}

void TDrawArchive::DeleteDrawAt(int index) {
    if (index < 0 || index > High())
        throw Error(fmt::format("Запись со индексом {} в файле данных не найдена!", index));
    draws_.erase(draws_.begin() + index);
}

TDrawRecord TDrawArchive::RowDraw(int row, bool sorted) const {
    TDrawRecord d = draws_[static_cast<size_t>(RowToIndex(row))];
    if (sorted) SortDrawNumbers(d);
    return d;
}

void ReadDrawsFile(const std::string& path, TDrawsArray& draws) {
    draws.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw Error(ErrnoText(errno));
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw Error(ErrnoText(err));
    }
    const size_t count = static_cast<size_t>(st.st_size) / sizeof(TDrawRecord);
    draws.assign(count, TDrawRecord{});
    const size_t bytes = count * sizeof(TDrawRecord);
    auto* out = reinterpret_cast<char*>(draws.data());
    size_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::read(fd, out + done, bytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : 0;
            ::close(fd);
            // Keep whole records read so far; the rest stays zeroed.
            const size_t whole = done / sizeof(TDrawRecord) * sizeof(TDrawRecord);
            std::memset(out + whole, 0, bytes - whole);
            throw Error(err ? ErrnoText(err) : "Неожиданный конец файла");
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

void WriteDrawsFile(const std::string& path, const TDrawsArray& draws) {
    WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(draws.data()),
                                           draws.size() * sizeof(TDrawRecord)));
}

namespace {

std::vector<std::string_view> SplitNumbers(std::string_view text) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (true) {
        const size_t end = text.find_first_of(",;", pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    return words;
}

// The first fault of the numbers among words, which are read into numbers.
std::string NumbersFault(const std::vector<std::string_view>& words, size_t count, int* numbers) {
    for (size_t i = 0; i < count; ++i) {
        const std::string_view w = Trim(words[i]);
        int32_t n = 0;
        if (!TryStrToInt(w, n)) return "\"" + std::string(w) + "\" не число";
        if (n < 1 || n > MaxNumber)
            return "число " + std::to_string(n) + " вне диапазона 1.." + std::to_string(MaxNumber);
        for (size_t j = 0; j < i; ++j)
            if (numbers[j] == n) return "число " + std::to_string(n) + " повторяется";
        numbers[i] = n;
    }
    return {};
}

std::string CountFault(int minCount, int maxCount, size_t typed) {
    const std::string wanted = minCount == maxCount
                                   ? std::to_string(minCount)
                                   : "от " + std::to_string(minCount) + " до " + std::to_string(maxCount);
    return "нужно " + wanted + " чисел, введено " + std::to_string(typed);
}

std::string ReadDrawData(std::string_view text, int* numbers, int& extra) {
    const auto words = SplitNumbers(text);
    if (words.size() != BallsInDraw + 1)
        return "нужно " + std::to_string(BallsInDraw) + " чисел и дополнительный шар, введено " +
               std::to_string(words.size() == 1 && Trim(words[0]).empty() ? 0 : words.size());
    if (std::string fault = NumbersFault(words, BallsInDraw, numbers); !fault.empty()) return fault;
    const std::string_view w = Trim(words[BallsInDraw]);
    int32_t e = 0;
    if (!TryStrToInt(w, e)) return "дополнительный шар \"" + std::string(w) + "\" не число";
    if (e < 0 || e > MaxExtraBall)
        return "дополнительный шар " + std::to_string(e) + " вне диапазона 0.." +
               std::to_string(MaxExtraBall);
    extra = e;
    return {};
}

}  // namespace

bool CheckDrawData(std::string_view text, TDrawRecord& draw) {
    int numbers[BallsInDraw];
    int extra = 0;
    if (!ReadDrawData(text, numbers, extra).empty()) return false;
    for (int i = 0; i < BallsInDraw; ++i) draw.Numbers[i] = static_cast<uint8_t>(numbers[i]);
    draw.ExtraBall = static_cast<uint8_t>(extra);
    return true;
}

std::string DrawDataFault(std::string_view text) {
    int numbers[BallsInDraw];
    int extra = 0;
    return ReadDrawData(text, numbers, extra);
}

std::string NumberListFault(std::string_view text, int minCount, int maxCount) {
    const auto words = SplitNumbers(text);
    const size_t typed = words.size() == 1 && Trim(words[0]).empty() ? 0 : words.size();
    if (typed < static_cast<size_t>(minCount) || typed > static_cast<size_t>(maxCount))
        return CountFault(minCount, maxCount, typed);
    std::vector<int> numbers(words.size());
    return NumbersFault(words, words.size(), numbers.data());
}

std::string DrawDataText(const TDrawRecord& draw) {
    return FormatDrawNumbers(draw) + ";" + std::to_string(draw.ExtraBall);
}

}  // namespace tessara
