#include "online/process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "model/error.h"
#include "model/files.h"

namespace tessara {

namespace {

TProcessResult Finished(int status) {
    TProcessResult r;
    if (WIFEXITED(status))
        r.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        r.ExitCode = 128 + WTERMSIG(status);
    return r;
}

}  // namespace

TProcessResult RunProcess(const std::string& file, const std::string& workDir, int timeoutMs,
                          const std::function<void()>& pump, int pollMs) {
    // The child reports a failed chdir or exec through this pipe; a pipe
    // closed on exec without a word means the program runs.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) throw Error(ErrnoText(errno));
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        throw Error(ErrnoText(err));
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::setpgid(0, 0);
        int err = 0;
        if (::chdir(workDir.c_str()) != 0) {
            err = errno;
        } else {
            char* const argv[] = {const_cast<char*>(file.c_str()), nullptr};
            ::execv(file.c_str(), argv);
            err = errno;
        }
        [[maybe_unused]] const ssize_t n = ::write(fds[1], &err, sizeof err);
        ::_exit(127);
    }
    ::close(fds[1]);
    int childErr = 0;
    ssize_t got;
    do {
        got = ::read(fds[0], &childErr, sizeof childErr);
    } while (got < 0 && errno == EINTR);
    ::close(fds[0]);
    if (got == static_cast<ssize_t>(sizeof childErr)) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        throw Error(ErrnoText(childErr) + ": " + file);
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) return Finished(status);
        if (done < 0 && errno != EINTR) throw Error(ErrnoText(errno));
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-pid, SIGKILL);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            TProcessResult r;
            r.TimedOut = true;
            return r;
        }
        if (pump) pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
}

void MakeExecutable(const std::string& file) {
    struct stat st{};
    if (::stat(file.c_str(), &st) != 0) throw Error(ErrnoText(errno) + ": " + file);
    mode_t mode = st.st_mode | S_IXUSR;
    if (mode & S_IRGRP) mode |= S_IXGRP;
    if (mode & S_IROTH) mode |= S_IXOTH;
    if (::chmod(file.c_str(), mode & 07777) != 0) throw Error(ErrnoText(errno) + ": " + file);
}

}  // namespace tessara
