#pragma once

// Archive pages of the operator's site in their markup, for tests and the
// benchmark.

#include <string>
#include <vector>

namespace tessara::test {

inline std::string ArchiveBlock(int number) {
    // Numbers derived from the draw number, so a test can check them.
    const int a = number % 36 + 1;
    return "<div class=\"row mb20\">\n"
           "  <div class=\"span2\">  " + std::to_string(number % 28 + 1) +
           " января 2026, 21:00 </div>\n"
           "  <div class=\"span3\"><a href=\"/ru/tessara/draw-result/draw/" +
           std::to_string(number) + "\">Тираж № " + std::to_string(number) +
           "</a></div>\n"
           "  <div class=\"span5\"><span>Результаты:</span> " + std::to_string(a) + ", " +
           std::to_string(a + 1) + ", " + std::to_string(a + 2) + ", " + std::to_string(a + 3) +
           ", " + std::to_string(a + 4) + ", " + std::to_string(a + 6) +
           " + тессабол: " + std::to_string(number % 10) + "</div>\n"
           "  <div class=\"span2\"><strong>1 000 000 руб.</strong></div>\n";
}

// A page listing the draws in the given order (newest first on the site).
inline std::string ArchivePage(const std::vector<int>& numbers, bool withContentEnd = true) {
    std::string page =
        "<!DOCTYPE html><html><head><title>Архив тиражей</title></head><body>\n"
        "<div class=\"header\">Тессара</div>\n<div class=\"ml-content\">\n";
    for (int n : numbers) page += ArchiveBlock(n);
    if (withContentEnd)
        page += "<ul class=\"s-paginator text-center\"><li>1</li><li>2</li></ul>\n";
    page += "</div></body></html>\n";
    return page;
}

// numbers first, first-1, ... down to last
inline std::vector<int> Descending(int first, int last) {
    std::vector<int> v;
    for (int n = first; n >= last; --n) v.push_back(n);
    return v;
}

}  // namespace tessara::test
