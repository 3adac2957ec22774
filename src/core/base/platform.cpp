#include "base/platform.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string_view>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"

namespace tessara {

namespace {

constexpr std::string_view kDeleted = " (deleted)";

}  // namespace

std::string InstalledExecutablePath(const std::string& link) {
    std::string p = link;
    if (p.ends_with(kDeleted)) p.resize(p.size() - kDeleted.size());
    // "name.~N": the self-update moved the running file aside.
    const size_t tilde = p.rfind(".~");
    const size_t slash = p.rfind('/');
    if (tilde != std::string::npos && tilde + 2 < p.size() &&
        (slash == std::string::npos || tilde > slash + 1) &&
        p.find_first_not_of("0123456789", tilde + 2) == std::string::npos)
        p.resize(tilde);
    return p;
}

std::string ExecutablePath() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return InstalledExecutablePath(std::string(buf, static_cast<size_t>(n)));
}

std::string ExecutableDir() {
    const std::string path = ExecutablePath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

namespace {

// A program installed into PREFIX/bin finds its shared files in
// PREFIX/share/tessara; its bin folder is no place for a user's data even
// when it may be written (an administrator, a prefix in the user's home).
bool IsInstalledLayout(const std::string& exeDir) {
    std::error_code ec;
    const std::filesystem::path dir(exeDir);
    return dir.filename() == "bin" &&
           std::filesystem::is_directory(dir.parent_path() / "share" / "tessara", ec);
}

}  // namespace

std::string DefaultDataDir(const std::string& exeDir, const char* xdgDataHome, const char* home) {
    if (!IsInstalledLayout(exeDir) && access(exeDir.c_str(), W_OK) == 0) return exeDir;
    std::string base;
    if (xdgDataHome && *xdgDataHome == '/') base = xdgDataHome;
    else if (home && *home) base = std::string(home) + "/.local/share";
    else return exeDir;  // nowhere better: the lock then says what is wrong
    const std::string dir = base + "/Tessara";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

std::string DefaultDataDir() {
    return DefaultDataDir(ExecutableDir(), std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::string BaseName(const std::string& path) {
    std::string p = path;
    if (p.size() > kDeleted.size() && p.ends_with(kDeleted)) p.resize(p.size() - kDeleted.size());
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::vector<int> FindOtherProcesses(const std::string& name) {
    std::vector<int> found;
    DIR* dir = ::opendir("/proc");
    if (!dir) return found;
    const int self = static_cast<int>(::getpid());
    while (const dirent* e = ::readdir(dir)) {
        int pid = 0;
        const char* s = e->d_name;
        for (; *s >= '0' && *s <= '9'; ++s) pid = pid * 10 + (*s - '0');
        if (*s != '\0' || pid <= 0 || pid == self) continue;
        const std::string base = "/proc/" + std::to_string(pid);
        std::string exe;
        char buf[4096];
        const ssize_t n = ::readlink((base + "/exe").c_str(), buf, sizeof buf - 1);
        if (n > 0) {
            exe = BaseName(InstalledExecutablePath(std::string(buf, static_cast<size_t>(n))));
        } else {
            // Without access to the link, the short command name still tells.
            try {
                exe = std::string(Trim(ReadFileBytes(base + "/comm")));
            } catch (const Error&) {
                continue;
            }
        }
        // A zombie has no executable any more and is not running.
        try {
            const std::string stat = ReadFileBytes(base + "/stat");
            const size_t close = stat.rfind(')');
            if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z')
                continue;
        } catch (const Error&) {
            continue;
        }
        if (SameTextIgnoreCase(exe, name)) found.push_back(pid);
    }
    ::closedir(dir);
    return found;
}

bool WaitForOtherInstances(const std::string& name, int attempts, int intervalMs,
                           const std::function<void()>& pump) {
    for (int i = 0; i < attempts; ++i) {
        if (FindOtherProcesses(name).empty()) return true;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs);
        while (std::chrono::steady_clock::now() < until) {
            if (pump) pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(intervalMs, 10)));
        }
    }
    return FindOtherProcesses(name).empty();
}

void InstanceLock::Acquire(const std::string& path) {
    Release();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw Error(ErrnoText(errno) + ": " + path);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        throw Error(ErrnoText(err) + ": " + path);
    }
    fd_ = fd;
}

void InstanceLock::Release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace tessara
