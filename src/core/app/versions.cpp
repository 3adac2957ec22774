#include "app/versions.h"

#include <curl/curl.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace tessara {

std::string ProgramVersion() { return TESSARA_VERSION; }

std::vector<std::pair<std::string, std::string>> ComponentVersions() {
    const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
    return {{"libcurl", curl && curl->version ? curl->version : LIBCURL_VERSION},
            {"SQLite", SQLITE_VERSION},
            {"libxlsxwriter", LXW_VERSION}};
}

}  // namespace tessara
