#pragma once

#include <functional>
#include <string>
#include <utility>

#include "base/host.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "stats/stat_list.h"

namespace tessara {

// What a computation over the archive reads: the draws, the statistic list
// with its configuration, the host for status and messages, and the data
// folder of the prefetch files, and who builds a prefetch file that is
// missing or damaged (the workspace, which lends its list for it). The
// workspace hands one out; tools can make their own without a workspace.
class TStatSource {
public:
    using BuildPrefetchFn = std::function<bool(int method)>;
    TStatSource(const TDrawArchive& archive, TStatList& stats, Host& host, std::string dataDir,
                BuildPrefetchFn build = {})
        : archive_(archive), stats_(stats), host_(host), dataDir_(std::move(dataDir)),
          build_(std::move(build)) {}

    const TDrawArchive& Archive() const { return archive_; }
    TStatList& Stats() const { return stats_; }
    Host& GetHost() const { return host_; }
    std::string PathOf(const std::string& fileName) const { return JoinPath(dataDir_, fileName); }
    // False when the file could not be built (shown), or nobody builds them.
    bool BuildPrefetch(int method) const { return build_ && build_(method); }

private:
    const TDrawArchive& archive_;
    TStatList& stats_;
    Host& host_;
    std::string dataDir_;
    BuildPrefetchFn build_;
};

}  // namespace tessara
