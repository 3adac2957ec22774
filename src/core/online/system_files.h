#pragma once

#include <string>
#include <vector>

#include "model/records.h"

namespace tessara {

class Host;

// Systems (wheels) live one per file in this folder beside the program.
inline constexpr const char* SystemsFolder = "Systems";

// "6-10-3_0015.dat" in the systems folder of dataDir.
std::string SystemFileName(const std::string& dataDir, int nums, int olap, int id);
// The pattern of the files of systems over n numbers: "6-10-*_*.dat".
std::string SystemFilePattern(const std::string& dataDir, int n);

// Positions of one line of a system's text: the first six words, split at
// any of " *+,-./:;=\_|~". Throws Error when there are fewer than six or one
// is not an integer.
std::array<int, 6> ParseSystemLine(const std::string& line);

// The combinations of the local system for numbers.size() numbers, each
// system line's positions mapped onto the numbers (unsorted). On failure the
// host shows the message and fileOrMessage holds the short reason; on
// success it holds the file's path.
bool LoadSystemFor(Host& host, const std::string& dataDir, const std::vector<uint8_t>& numbers,
                   std::vector<TCombination>& combinations, std::string& fileOrMessage);

}  // namespace tessara
