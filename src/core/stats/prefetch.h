#pragma once

#include <set>
#include <string>

#include "stats/stat_types.h"

namespace tessara {

class TStatSource;
class Workspace;

// The full-set counts of a method's values: records of the 8-byte key and
// the number of combinations with that value, in key order, then a trailer
// with the smallest and largest count.
struct TPrefetchRecord {
    StatKey Key;
    int32_t Count;
};
struct TPrefetchData {
    std::vector<TPrefetchRecord> Records;
    int32_t MinCount = 0, MaxCount = 0;
};

std::string PrefetchFileName(const TStatSource& source, int method);
// The counts of a method with feature N; builds the file when it is missing
// or empty. False (after a message) when it cannot be read or built.
bool OpenPrefetch(const TStatSource& source, int method, TPrefetchData& data);
// Builds the file of a method over the full set of combinations, passing the
// working list through the undo copy.
bool BuildPrefetch(Workspace& ws, int method);
// Builds the files of every method with feature N: missing ones, and those of
// the given groups. Does nothing unless forced or prefetching is on.
void BuildPrefetchFiles(Workspace& ws, bool force, const std::set<int>& groups, bool prefetchEnabled);

// Layout of the file.
std::string PrefetchBytes(const TPrefetchData& data);
bool ParsePrefetchBytes(const std::string& bytes, TPrefetchData& data);

}  // namespace tessara
