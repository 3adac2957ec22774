#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessara {

// The program's version, four numbers ("0.1.0.1").
std::string ProgramVersion();

// The libraries the programs are built on with their versions, for the
// about box and "tessara-cli --version": libcurl as it runs, SQLite and
// libxlsxwriter as built against.
std::vector<std::pair<std::string, std::string>> ComponentVersions();

}  // namespace tessara
