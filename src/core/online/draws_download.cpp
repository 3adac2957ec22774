#include "online/draws_download.h"

#include <fmt/format.h>

#include <algorithm>
#include <climits>

#include "model/error.h"
#include "model/encoding.h"
#include "model/game.h"
#include "online/markers.h"

namespace tessara {

namespace {

constexpr std::string_view kContentStart = "<div class=\"ml-content\">";
constexpr std::string_view kContentEnd = "<ul class=\"s-paginator text-center\"";
constexpr std::string_view kBlockStart = "<div class=\"row mb20\">";
constexpr std::string_view kBlockEnd = "</strong></div>";
constexpr std::string_view kNumberStart = "<a href=\"/ru/tessara/draw-result/draw/";
constexpr std::string_view kNumberEnd = "\">";
constexpr std::string_view kDateStart = "<div class=\"span2\">";
constexpr std::string_view kDateEnd = "</div>";
constexpr std::string_view kNumbersStart = "Результаты:</span>";
constexpr std::string_view kNumbersEnd = "+ тессабол";
constexpr std::string_view kExtraStart = "тессабол:";
constexpr std::string_view kExtraEnd = "</div>";

// An integer of the page, 0 when it is none or does not fit the field, so
// that a broken page can never put a number outside the game into the
// archive.
uint8_t BallValue(std::string_view text, int max) {
    const int32_t v = StrToIntDef(Trim(text), 0);
    return static_cast<uint8_t>(v >= 0 && v <= max ? v : 0);
}

}  // namespace

std::string ArchivePageUrl(std::string_view site, int page) {
    while (!site.empty() && site.back() == '/') site.remove_suffix(1);
    return std::string(site) + fmt::format(ArchivePagePath, page);
}

int ParseArchivePage(std::string_view body, int fromNumber, TDrawsArray& collected) {
    std::string region = ExtractBetween(body, kContentStart, kContentEnd, TMarkerMode::Raise);
    int taken = 0;
    while (true) {
        const std::string block = CutBetween(region, kBlockStart, kBlockEnd, TMarkerMode::Raise);
        if (block.empty()) break;
        const int32_t number =
            StrToIntDef(ExtractBetween(block, kNumberStart, kNumberEnd, TMarkerMode::Empty), 0);
        const int32_t last = collected.empty() ? INT32_MAX : collected.back().DrawNo;
        if (number <= 0 || number < fromNumber || number >= last) continue;
        TDrawRecord draw{};
        draw.DrawNo = number;
        SetDrawDateText(draw, ExtractBetween(block, kDateStart, kDateEnd, TMarkerMode::Empty));
        const std::string numbers =
            ExtractBetween(block, kNumbersStart, kNumbersEnd, TMarkerMode::Empty);
        size_t pos = 0;
        for (int i = 0; i < BallsInDraw && pos <= numbers.size(); ++i) {
            size_t comma = numbers.find(',', pos);
            if (comma == std::string::npos) comma = numbers.size();
            draw.Numbers[i] = BallValue(std::string_view(numbers).substr(pos, comma - pos), MaxNumber);
            pos = comma + 1;
        }
        draw.ExtraBall =
            BallValue(ExtractBetween(block, kExtraStart, kExtraEnd, TMarkerMode::Empty), MaxExtraBall);
        collected.push_back(draw);
        ++taken;
    }
    return taken;
}

int DownloadFromNumber(const TDrawArchive& archive) {
    if (archive.Empty()) return FirstDownloadedDraw;
    // The archive keeps the order of arrival; the highest number is the
    // newest draw even when someone typed an older one in last.
    int32_t newest = 0;
    for (const TDrawRecord& d : archive.Draws()) newest = std::max(newest, d.DrawNo);
    return newest + 1;
}

int FetchNewDraws(TDrawsDownload& d, int fromNumber) {
    TDrawsArray collected;
    for (int page = 1;; ++page) {
        d.HostRef.ShowStatus(fmt::format("Загрузка тиражей, страница {}...", page));
        const std::string body = d.Client.MainClientGet(ArchivePageUrl(d.Site, page));
        if (ParseArchivePage(body, fromNumber, collected) < 1) break;
        if (collected.back().DrawNo <= fromNumber) break;
    }
    if (!collected.empty()) {
        d.HostRef.ShowStatus("Сохранение файла тиражей...");
        for (auto it = collected.rbegin(); it != collected.rend(); ++it) d.Archive.Append(*it);
    }
    return static_cast<int>(collected.size());
}

int DownloadDraws(TDrawsDownload& d) {
    d.Client.SetAttempt(1);
    int total = 0;
    while (true) {
        try {
            const int added = FetchNewDraws(d, DownloadFromNumber(d.Archive));
            d.Client.SaveProxyIfChanged();
            if (added <= 0) break;
            total += added;
            // The save reports its own failure; going on would only pile
            // more unsaved draws on top.
            if (!d.SaveArchive()) break;
            if (added < FullPassDraws) break;
        } catch (const Error& e) {
            d.Client.SetAttempt(d.Client.Attempt() + 1);
            if (d.Client.DropFailedProxy()) continue;
            if (!d.HostRef.ConfirmError(fmt::format(fmt::runtime(MsgDownloadRetry), e.what())))
                break;
        }
    }
    d.Client.ClearFoundProxies();
    return total;
}

}  // namespace tessara
