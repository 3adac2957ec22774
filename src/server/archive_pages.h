#pragma once

#include <string>

#include "model/records.h"

namespace tessara::server {

// Draws per archive page, newest first.
inline constexpr int ArchivePageSize = 10;

// The markup of archive page `page` (from 1) over draws kept oldest first: the
// operator's layout the program's download reads. A page past the end has
// no draw blocks, which ends the paging of a client.
std::string ArchivePageHtml(const TDrawsArray& draws, int page);

}  // namespace tessara::server
