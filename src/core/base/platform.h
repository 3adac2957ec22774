#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tessara {

// The path of the running program's file, as it was installed (see
// InstalledExecutablePath): after the self-update replaced it, the path of
// the new file, which a restart starts.
std::string ExecutablePath();
std::string ExecutableDir();
// The installed path of an executable link of /proc: without the
// " (deleted)" of a replaced file, and without the ".~N" that the
// self-update gives a running program's file it moves aside (the link
// follows the moved file). "/opt/t/tessara.~1 (deleted)" -> "/opt/t/tessara".
std::string InstalledExecutablePath(const std::string& link);
// The data folder when none is given: the folder of the executable, as a
// portable copy keeps its data beside itself; when that folder may not be
// written (an installed program), $XDG_DATA_HOME/Tessara or
// ~/.local/share/Tessara, created when missing. exeDir and the environment
// are parameters so the choice is testable.
std::string DefaultDataDir(const std::string& exeDir, const char* xdgDataHome, const char* home);
std::string DefaultDataDir();
// File name of a path (after the last '/'), with a " (deleted)" suffix of a
// replaced executable removed.
std::string BaseName(const std::string& path);

// Ids of the running processes, other than this one, whose executable file
// name equals name (letter case ignored), as installed: a copy still running
// from a file the self-update replaced counts.
std::vector<int> FindOtherProcesses(const std::string& name);

// The restart hand-over: waits while another process with this executable
// name runs, looking up to attempts times with intervalMs between looks and
// calling pump meanwhile. True when no such process is left.
bool WaitForOtherInstances(const std::string& name, int attempts, int intervalMs,
                           const std::function<void()>& pump);

// Holds the exclusive lock of a data folder: the stakes file opened for
// reading and writing (created when absent) with an advisory lock taken
// without waiting. One running copy per data folder.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock() { Release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Throws Error with the cause when the file cannot be opened or locked.
    void Acquire(const std::string& path);
    void Release();
    bool Held() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

private:
    int fd_ = -1;
};

}  // namespace tessara
