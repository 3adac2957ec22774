#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/host.h"
#include "model/draw_archive.h"
#include "online/online_client.h"

namespace tessara {

// The archive pages of the operator's site list the past draws, newest
// first; the download reads as many pages as it needs to collect every draw
// newer than the newest one in the archive.

inline constexpr const char* ArchivePagePath = "/ru/tessara/archive/page/{}";
// Where an empty archive starts.
inline constexpr int FirstDownloadedDraw = 471;
// A pass that adds this many draws or more is followed by another one.
inline constexpr int FullPassDraws = 10;

inline constexpr const char* MsgNoDrawsSite =
    "Не задан адрес сайта лотереи: укажите его в ключе DrawsSite раздела [ONLINE] файла "
    "\"Tessara_6x42.ini\" (диалог \"Параметры системы\", страница \"Сетевые адреса\")";
inline constexpr const char* MsgDownloadRetry =
    "Ошибка загрузки архива тиражей с сайта: \"{}\"\r\rПовторить попытку?";

// The view-state key of the start-up download: 0 ask, 1 always, 2 never.
inline constexpr const char* DownloadOnStartKey = "DownloadDrawsOnStart";

// The address of archive page n (from 1) of a site.
std::string ArchivePageUrl(std::string_view site, int page);

// Takes from one page the draws numbered fromNumber or more that are below
// the last one collected so far (so only strictly descending new draws);
// the number taken. Throws Error for a page without its content region end
// or an unfinished draw block.
int ParseArchivePage(std::string_view body, int fromNumber, TDrawsArray& collected);

// The number of the draw a download starts from.
int DownloadFromNumber(const TDrawArchive& archive);

// What one download works on.
struct TDrawsDownload {
    OnlineClient& Client;
    Host& HostRef;
    TDrawArchive& Archive;
    std::string Site;
    // Saves the archive and refreshes the views; false after a failure,
    // whose message it showed.
    std::function<bool()> SaveArchive;
};

// Pages until no new draw comes; appends the collected draws to the archive
// oldest first. Throws Error, and then appends nothing.
int FetchNewDraws(TDrawsDownload& d, int fromNumber);
// Passes until a pass adds fewer than FullPassDraws, retrying failed
// attempts (silently with the next found proxy, else when the user says so).
// Draws of a failed pass are dropped; those saved before stay. The total
// number of draws added.
int DownloadDraws(TDrawsDownload& d);

}  // namespace tessara
