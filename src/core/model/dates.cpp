#include "model/dates.h"

#include <chrono>
#include <cmath>
#include <fmt/format.h>
#include <vector>

#include "model/encoding.h"
#include "model/error.h"
#include "model/game.h"

namespace tessara {

namespace {

constexpr const char* kGenitive[12] = {"января", "февраля", "марта",    "апреля",
                                       "мая",    "июня",    "июля",     "августа",
                                       "сентября", "октября", "ноября", "декабря"};
constexpr const char* kNominative[12] = {"январь", "февраль", "март",     "апрель",
                                         "май",    "июнь",    "июль",     "август",
                                         "сентябрь", "октябрь", "ноябрь", "декабрь"};

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

// 1899-12-30 is day -25569 from 1970-01-01.
constexpr int64_t kEpochShift = 25569;

}  // namespace

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

TDateTime EncodeDate(int year, int month, int day) {
    return static_cast<TDateTime>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                static_cast<unsigned>(day)) +
                                  kEpochShift);
}

TDateTime EncodeDateTime(const TDateParts& p) {
    return EncodeDate(p.Year, p.Month, p.Day) +
           (p.Hour * 3600 + p.Minute * 60 + p.Second) / 86400.0;
}

TDateParts DecodeDateTime(TDateTime dt) {
    const double days = std::floor(dt);
    TDateParts p{};
    CivilFromDays(static_cast<int64_t>(days) - kEpochShift, p.Year, p.Month, p.Day);
    int secs = static_cast<int>(std::lround((dt - days) * 86400.0));
    if (secs >= 86400) secs = 86399;
    p.Hour = secs / 3600;
    p.Minute = secs / 60 % 60;
    p.Second = secs % 60;
    return p;
}

int DayOfTheWeek(TDateTime dt) {
    // 1899-12-30 was a Saturday.
    const int64_t days = static_cast<int64_t>(std::floor(dt));
    const int64_t w = ((days + 5) % 7 + 7) % 7;  // 0 = Monday
    return static_cast<int>(w) + 1;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto t = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec});
}

std::string MonthNameGenitive(int month) { return kGenitive[month - 1]; }
std::string MonthNameNominative(int month) { return kNominative[month - 1]; }

std::string DrawDateToText(TDateTime dt) {
    if (dt <= 0) return {};
    const TDateParts p = DecodeDateTime(std::floor(dt));
    return fmt::format("{:02} {} {:04}", p.Day, kGenitive[p.Month - 1], p.Year);
}

TDateTime TextToDrawDate(std::string_view text) {
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) return 0;
    std::vector<std::string_view> words;
    size_t pos = 0;
    while (pos < trimmed.size()) {
        while (pos < trimmed.size() && trimmed[pos] == ' ') ++pos;
        size_t end = pos;
        while (end < trimmed.size() && trimmed[end] != ' ') ++end;
        if (end > pos) words.push_back(trimmed.substr(pos, end - pos));
        pos = end;
    }
    const auto invalid = [&] {
        return Error(fmt::format("Некорректная дата: \"{}\"!", trimmed));
    };
    if (words.size() < 3) throw invalid();
    const int day = StrToIntDef(words[0], 0);
    const int year = StrToIntDef(words[2], 0);
    int month = 0;
    const std::string word = Utf8ToLower(words[1]);
    for (int m = 1; m <= 12 && month == 0; ++m)
        if (word == kGenitive[m - 1] || word == kNominative[m - 1]) month = m;
    if (month == 0 || !IsValidDate(year, month, day)) throw invalid();
    return EncodeDate(year, month, day);
}

}  // namespace tessara
