#pragma once

#include <functional>
#include <string>

namespace tessara {

inline constexpr const char* MsgProcessTimeout =
    "Ожидание завершения процесса (файла) \"{}\" прервано в связи с превышением времени "
    "ожидания!";

// How a started program ended.
struct TProcessResult {
    bool TimedOut = false;
    // The exit code, or 128 + the signal number when a signal ended it.
    int ExitCode = 0;
};

// Starts the program file (no arguments) with workDir as its current folder
// and waits for it at most timeoutMs, calling pump every pollMs meanwhile so
// a window stays responsive. On time-out the program and everything it
// started in its process group are killed. Throws Error when it cannot be
// started, with the system's own text.
TProcessResult RunProcess(const std::string& file, const std::string& workDir, int timeoutMs,
                          const std::function<void()>& pump, int pollMs = 100);

// Adds the executable bits (for the owner, and for group and others where
// they may read) to a downloaded file. Throws Error.
void MakeExecutable(const std::string& file);

}  // namespace tessara
