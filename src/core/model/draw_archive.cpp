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

bool CheckDrawData(std::string_view text, TDrawRecord& draw) {
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (true) {
        const size_t end = text.find_first_of(",;", pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos) break;
        pos = end + 1;
    }
    if (words.size() != BallsInDraw + 1) return false;
    int numbers[BallsInDraw];
    for (int i = 0; i < BallsInDraw; ++i) {
        numbers[i] = StrToIntDef(Trim(words[i]), 0);
        if (numbers[i] < 1 || numbers[i] > MaxNumber) return false;
        for (int j = 0; j < i; ++j)
            if (numbers[j] == numbers[i]) return false;
    }
    const int extra = StrToIntDef(Trim(words[BallsInDraw]), 0);
    if (extra < 0 || extra > MaxExtraBall) return false;
    for (int i = 0; i < BallsInDraw; ++i) draw.Numbers[i] = static_cast<uint8_t>(numbers[i]);
    draw.ExtraBall = static_cast<uint8_t>(extra);
    return true;
}

std::string DrawDataText(const TDrawRecord& draw) {
    return FormatDrawNumbers(draw) + ";" + std::to_string(draw.ExtraBall);
}

}  // namespace tessara
