#include "model/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/encoding.h"
#include "model/error.h"

namespace tessara {

std::string ErrnoText(int err) { return std::strerror(err); }

namespace {

[[noreturn]] void ThrowErrno(const std::string& path) {
    const int err = errno;
    throw Error(ErrnoText(err) + ": " + path);
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ThrowErrno(path);
    std::string data;
    char buf[65536];
    while (true) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            errno = err;
            ThrowErrno(path);
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    const std::string temp = path + ".tmp~";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) ThrowErrno(temp);
    const auto fail = [&] {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        errno = err;
        ThrowErrno(path);
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail();
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0) fail();
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        errno = err;
        ThrowErrno(path);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        errno = err;
        ThrowErrno(path);
    }
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        lines.emplace_back(text.substr(pos, end - pos));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            end += 2;
        else if (end < text.size())
            end += 1;
        pos = end;
    }
    return lines;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

}  // namespace tessara
