#pragma once

#include <chrono>
#include <cstdint>

namespace tessara {

// Adds the time of a scope to a total, for the breakdown of a run.
class Stopwatch {
public:
    explicit Stopwatch(double& total) : total_(total), start_(std::chrono::steady_clock::now()) {}
    ~Stopwatch() { total_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
    Stopwatch(const Stopwatch&) = delete;
    Stopwatch& operator=(const Stopwatch&) = delete;

private:
    double& total_;
    std::chrono::steady_clock::time_point start_;
};

inline int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tessara
