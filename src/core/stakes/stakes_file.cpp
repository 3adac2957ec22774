#include "stakes/stakes_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "model/error.h"
#include "model/files.h"
#include "model/format.h"
#include "model/game.h"

namespace tessara {

namespace {

// Records moved per system call when a whole file is streamed.
constexpr int64_t kBatch = 256;

[[noreturn]] void ThrowErrno(int err, const std::string& path) {
    throw Error(ErrnoText(err) + ": " + path);
}

[[noreturn]] void NoSuchRecord(int64_t index) {
    throw Error(FormatTemplate("Запись со индексом %d в файле данных не найдена!", {index}));
}

void WriteAll(int fd, const void* data, size_t size, off_t offset, const std::string& path) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowErrno(errno, path);
        }
        p += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
}

// Reads exactly size bytes; false at the end of the file.
bool ReadAll(int fd, void* data, size_t size, off_t offset, const std::string& path) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowErrno(errno, path);
        }
        if (n == 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

}  // namespace

const char* StakeConditionCaption(int mode) {
    static const char* const kCaptions[StakeConditionCount] = {
        "Равно [ = ]", "Более [ > ]", "Не менее [ >= ]", "Менее [ < ]", "Не более [ <= ]"};
    return mode >= 0 && mode < StakeConditionCount ? kCaptions[mode] : "";
}

bool StakeConditionRemoves(int mode, int value, int matches) {
    switch (mode) {
        case 0: return matches == value;
        case 1: return matches > value;
        case 2: return matches >= value;
        case 3: return matches < value;
        case 4: return matches <= value;
        default: return true;
    }
}

TStakesFile::~TStakesFile() {
    try {
        Close();
    } catch (const Error&) {
    }
}

void TStakesFile::Open(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) ThrowErrno(errno, path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        ThrowErrno(err, path);
    }
    fd_ = fd;
    path_ = path;
    DropCache();
}

void TStakesFile::OpenReadOnly(const std::string& path) {
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowErrno(errno, path);
    fd_ = fd;
    path_ = path;
    DropCache();
}

void TStakesFile::Close() {
    DropCache();
    if (fd_ < 0) return;
    const int fd = fd_;
    fd_ = -1;
    int err = ::fsync(fd) != 0 ? errno : 0;
    ::flock(fd, LOCK_UN);
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err != 0) ThrowErrno(err, path_);
}

void TStakesFile::Sync() {
    if (::fdatasync(FdOrThrow()) != 0) ThrowErrno(errno, path_);
}

std::string TStakesFile::TempPath() const {
    const size_t slash = path_.rfind('/');
    const size_t dot = path_.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path_ + ".~tmp";
    return path_.substr(0, dot) + ".~tmp";
}

int TStakesFile::FdOrThrow() const {
    if (fd_ < 0) throw Error(MsgStakesFileNotOpen);
    return fd_;
}

int64_t TStakesFile::Size() const {
    struct stat st;
    if (::fstat(FdOrThrow(), &st) != 0) ThrowErrno(errno, path_);
    return static_cast<int64_t>(st.st_size);
}

bool TStakesFile::HasStakes() const {
    try {
        return IsOpen() && Size() > 0;
    } catch (const Error&) {
        return false;
    }
}

bool TStakesFile::IsOutdated() const {
    const int64_t size = Size();
    if (size == 0) return false;
    if (size % StakeRecordSize != 0) return true;
    uint8_t version = 0;
    if (!ReadAll(fd_, &version, 1, 0, path_)) return true;
    return version != StakeVersion;
}

std::string TStakesFile::ReadAllBytes() const {
    std::string bytes(static_cast<size_t>(Size()), '\0');
    if (!ReadAll(fd_, bytes.data(), bytes.size(), 0, path_)) ThrowErrno(EIO, path_);
    return bytes;
}

void TStakesFile::Truncate() {
    DropCache();
    if (::ftruncate(FdOrThrow(), 0) != 0) ThrowErrno(errno, path_);
}

int64_t TStakesFile::OffsetOf(TStakeOrigin origin, int64_t index) const {
    const int64_t base = origin == TStakeOrigin::Begin ? 0 : Size();
    return base + index * StakeRecordSize;
}

TStakeRecord TStakesFile::Read(TStakeOrigin origin, int64_t index) const {
    FdOrThrow();
    const int64_t offset = OffsetOf(origin, index);
    if (cached_ && cachedOffset_ == offset) return cache_;
    if (offset < 0 || offset + StakeRecordSize > Size()) NoSuchRecord(index);
    TStakeRecord r;
    if (!ReadAll(fd_, &r, sizeof r, offset, path_)) NoSuchRecord(index);
    cache_ = r;
    cachedOffset_ = offset;
    cached_ = true;
    return r;
}

void TStakesFile::Write(TStakeOrigin origin, int64_t index, const TStakeRecord& record) {
    FdOrThrow();
    DropCache();
    const int64_t offset = OffsetOf(origin, index);
    if (offset < 0 || offset > Size()) NoSuchRecord(index);
    WriteAll(fd_, &record, sizeof record, offset, path_);
}

void TStakesFile::ForEach(int64_t first, const Visitor& fn) const {
    FdOrThrow();
    const int64_t count = Count();
    std::vector<TStakeRecord> batch(static_cast<size_t>(kBatch));
    for (int64_t i = std::max<int64_t>(first, 0); i < count;) {
        const int64_t n = std::min(kBatch, count - i);
        if (!ReadAll(fd_, batch.data(), static_cast<size_t>(n) * sizeof(TStakeRecord),
                     i * StakeRecordSize, path_))
            return;  // the file shrank under us
        for (int64_t k = 0; k < n; ++k)
            if (!fn(i + k, batch[static_cast<size_t>(k)])) return;
        i += n;
    }
}

bool TStakesFile::Find(int draw, const TStakeNumbers& numbers) const {
    bool found = false;
    ForEach(0, [&](int64_t, const TStakeRecord& r) {
        found = r.Draw == draw && SameNumbers(r.Numbers, numbers);
        return !found;
    });
    return found;
}

void TStakesFile::AppendStake(const TStakeRecord& record, int drawCount) {
    FdOrThrow();
    if (record.Checked != 0) throw Error("Добавление в конец файла уже проверенной ставки!");
    if (drawCount < 2) {
        Append(record);
        return;
    }
    // Draw numbers past the 32-bit range would wrap to negative ones.
    if (static_cast<int64_t>(record.Draw) + drawCount - 1 > INT32_MAX)
        NoSuchRecord(static_cast<int64_t>(record.Draw) + drawCount - 1);
    for (int i = 1; i <= drawCount; ++i) {
        if (Count() > 0 && Read(TStakeOrigin::End, -1).Draw > 0) Append(MakeSeparatorStake());
        TStakeRecord copy = record;
        copy.Draw = record.Draw + i - 1;
        Append(copy);
    }
}

void TStakesFile::AppendSeparator() {
    if (HasStakes() && Count() > 0 && Read(TStakeOrigin::End, -1).Draw > 0)
        Append(MakeSeparatorStake());
}

int TStakesFile::SeekLastCheckedDraws(int n, int64_t& start) const {
    FdOrThrow();
    int found = 0;
    int32_t lastDraw = 0;
    std::vector<TStakeRecord> batch(static_cast<size_t>(kBatch));
    for (int64_t end = Count(); end > 0;) {
        const int64_t from = std::max<int64_t>(end - kBatch, 0);
        const int64_t n2 = end - from;
        if (!ReadAll(fd_, batch.data(), static_cast<size_t>(n2) * sizeof(TStakeRecord),
                     from * StakeRecordSize, path_))
            ThrowErrno(EIO, path_);
        for (int64_t i = end - 1; i >= from; --i) {
            const TStakeRecord& r = batch[static_cast<size_t>(i - from)];
            if (r.Draw <= 0 || r.Checked == 0 || r.Matches.Count < 0) continue;
            if (found == 0 || r.Draw != lastDraw) {
                if (found >= n) {
                    start = i + 1;
                    return found;
                }
                ++found;
            }
            lastDraw = r.Draw;
        }
        end = from;
    }
    start = 0;
    return found;
}

void TStakesFile::DeleteRange(int64_t first, int64_t last) {
    if (!HasStakes()) throw Error(MsgStakesFileNotOpen);
    Rewrite([&](int64_t i, const TStakeRecord&) { return i < first || i > last; });
}

void TStakesFile::DeleteByCondition(int mode, int value) {
    if (!HasStakes()) throw Error(MsgStakesFileNotOpen);
    Rewrite([&](int64_t, const TStakeRecord& r) {
        return r.Kind == skSeparator || !StakeConditionRemoves(mode, value, r.Matches.Count);
    });
}

void TStakesFile::Rewrite(const Visitor& keep) {
    FdOrThrow();
    DropCache();
    const std::string temp = TempPath();
    // An old temporary file is replaced.
    const int tfd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (tfd < 0) ThrowErrno(errno, temp);
    try {
        // Locked before it takes the stakes file's name, so that the folder
        // is never without its lock.
        if (::flock(tfd, LOCK_EX | LOCK_NB) != 0) ThrowErrno(errno, temp);
        std::vector<TStakeRecord> batch;
        batch.reserve(static_cast<size_t>(kBatch));
        int64_t written = 0;
        const auto flush = [&] {
            WriteAll(tfd, batch.data(), batch.size() * sizeof(TStakeRecord),
                     written * StakeRecordSize, temp);
            written += static_cast<int64_t>(batch.size());
            batch.clear();
            if (rewriteHook_) rewriteHook_(written, false);
        };
        ForEach(0, [&](int64_t i, const TStakeRecord& r) {
            if (keep(i, r)) {
                batch.push_back(r);
                if (static_cast<int64_t>(batch.size()) == kBatch) flush();
            }
            return true;
        });
        if (!batch.empty()) flush();
        if (::fsync(tfd) != 0) ThrowErrno(errno, temp);
        // Complete, but not yet the stakes file.
        if (rewriteHook_) rewriteHook_(written, true);
        if (::rename(temp.c_str(), path_.c_str()) != 0)
            throw Error(FormatTemplate("Ошибка переименования / удаления временного файла ставок %s!\r\r%s",
                                     {temp, ErrnoText(errno)}));
    } catch (...) {
        ::close(tfd);
        ::unlink(temp.c_str());
        throw;
    }
    // The renamed file is the stakes file now and already holds the lock.
    const int old = fd_;
    fd_ = tfd;
    ::flock(old, LOCK_UN);
    ::close(old);
    SyncFolderOf(path_);
    DropCache();
}

}  // namespace tessara
