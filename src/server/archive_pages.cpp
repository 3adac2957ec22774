#include "archive_pages.h"

#include <fmt/format.h>

#include "model/encoding.h"

namespace tessara::server {

std::string ArchivePageHtml(const TDrawsArray& draws, int page) {
    std::string html =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Тессара: архив "
        "тиражей</title></head>\n<body>\n<div class=\"ml-content\">\n";
    const int64_t count = static_cast<int64_t>(draws.size());
    const int64_t first = (static_cast<int64_t>(page) - 1) * ArchivePageSize;
    for (int64_t k = first; page >= 1 && k < first + ArchivePageSize && k < count; ++k) {
        const TDrawRecord& d = draws[static_cast<size_t>(count - 1 - k)];
        const size_t dateLen = std::min<size_t>(d.DrawDateLen, sizeof d.DrawDate);
        const std::string date = Cp1251ToUtf8(std::string_view(d.DrawDate, dateLen));
        html += fmt::format(
            "<div class=\"row mb20\">\n"
            "  <div class=\"span2\">{}</div>\n"
            "  <div class=\"span3\"><a href=\"/ru/tessara/draw-result/draw/{}\">Тираж № {}</a></div>\n"
            "  <div class=\"span5\"><span>Результаты:</span> {}, {}, {}, {}, {}, {} + тессабол: {}</div>\n"
            "  <div class=\"span2\"><strong>{}</strong></div>\n"
            "</div>\n",
            date, d.DrawNo, d.DrawNo, d.Numbers[0], d.Numbers[1], d.Numbers[2], d.Numbers[3],
            d.Numbers[4], d.Numbers[5], d.ExtraBall, d.ExtraBall);
    }
    html += "<ul class=\"s-paginator text-center\">";
    const int64_t pages = (count + ArchivePageSize - 1) / ArchivePageSize;
    for (int64_t p = 1; p <= pages; ++p)
        html += fmt::format("<li><a href=\"/ru/tessara/archive/page/{}\">{}</a></li>", p, p);
    html += "</ul>\n</div>\n</body></html>\n";
    return html;
}

}  // namespace tessara::server
