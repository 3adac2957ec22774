#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "stakes/stake_record.h"

namespace tessara {

class Host;

// A stake log past this size is started anew before the next line.
inline constexpr int64_t StakeLogMaxSize = 268435456;  // 256 MiB

// "Tessara_6x42-%d.log" for a number of matches.
std::string StakeLogFileName(int matches);
inline constexpr const char* StakeLogPattern = "Tessara_6x42-*.log";

// Whether a log of this size is deleted before the next line is written:
// only when it is larger than the limit.
bool StakeLogNeedsReset(int64_t size, int64_t limit = StakeLogMaxSize);

// The line of a checked stake (UTF-8, without the line end), stamped with a
// local time.
std::string StakeLogLine(const TStakeRecord& r, const std::tm& now);

// Appends the line of a checked stake to the log of its number of matches in
// dir. Failures are shown through the host and never stop the caller.
void WriteStakeLog(Host& host, const std::string& dir, const TStakeRecord& r, const std::tm& now,
                   int64_t limit = StakeLogMaxSize);

// The paths of the stake logs in dir, sorted.
std::vector<std::string> FindStakeLogs(const std::string& dir);

}  // namespace tessara
