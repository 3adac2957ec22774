#include "stakes/stake_logs.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fmt/format.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "base/host.h"
#include "model/encoding.h"
#include "model/files.h"
#include "model/format.h"
#include "model/game.h"

namespace tessara {

std::string StakeLogFileName(int matches) { return fmt::format("Tessara_6x42-{}.log", matches); }

bool StakeLogNeedsReset(int64_t size, int64_t limit) { return size > limit; }

std::string StakeLogLine(const TStakeRecord& r, const std::tm& now) {
    TStakeNumbers result{};
    result.Count = BallsInDraw;
    std::copy(std::begin(r.Result), std::end(r.Result), result.Numbers);
    return fmt::format(
        "{:04}.{:02}.{:02} {:02}:{:02}:{:02}: Тираж № {}. Ставка: \"{}\" [{}] {{{}}}. Результаты "
        "тиража: [{}]. Совпадений: {}. Профит: {}.",
        now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec, r.Draw,
        StakeComment(r), FormatStakeNumbers(r.Numbers, ";"), r.Sample, FormatStakeNumbers(result, ";"),
        r.Matches.Count, FormatFixed(static_cast<double>(r.Profit) / MoneyScale, 2));
}

void WriteStakeLog(Host& host, const std::string& dir, const TStakeRecord& r, const std::tm& now,
                   int64_t limit) {
    if (r.Checked == 0) return;
    const std::string path = JoinPath(dir, StakeLogFileName(r.Matches.Count));
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && StakeLogNeedsReset(st.st_size, limit) &&
        ::unlink(path.c_str()) != 0)
        host.ShowError(fmt::format("Ошибка удаления файла \"{}\"!\r\r{}", path, ErrnoText(errno)));
    const std::string line = Utf8ToCp1251(StakeLogLine(r, now) + "\r\n");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    int err = ok ? 0 : errno;
    for (size_t done = 0; ok && done < line.size();) {
        const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            err = errno;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) host.ShowError(fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", path, ErrnoText(err)));
}

std::vector<std::string> FindStakeLogs(const std::string& dir) {
    std::vector<std::string> found;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return found;
    while (const dirent* e = ::readdir(d))
        if (::fnmatch(StakeLogPattern, e->d_name, 0) == 0 && FileExists(JoinPath(dir, e->d_name)))
            found.push_back(JoinPath(dir, e->d_name));
    ::closedir(d);
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace tessara
