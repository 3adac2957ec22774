// The draw download command of the workspace.
#include "app/workspace.h"
#include "online/draws_download.h"

namespace tessara {

int Workspace::DrawsDownload() {
    const std::string site = online_->Settings().DrawsSite;
    if (site.empty()) {
        host_.ShowError(MsgNoDrawsSite);
        return -1;
    }
    BusyGuard busy(host_);
    TWaitWindow* wait = online_->WaitWindow();
    if (wait) wait->Open(WaitDownloading);
    host_.ShowStatus(WaitDownloading);
    TDrawsDownload d{*online_, host_, archive_, site, [this] {
                         const bool ok = SaveDrawsFile();
                         host_.RefreshViews(false);
                         return ok;
                     }};
    const int added = DownloadDraws(d);
    // Stakes on draws that arrived in an earlier, interrupted run are
    // checked as well, so this runs after a failure too.
    CheckStakesAndUpdate();
    RefreshStakesGrid(true, false);
    host_.ShowStatus(std::string());
    if (wait) wait->Close();
    return added;
}

}  // namespace tessara
