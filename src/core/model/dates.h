#pragma once

#include <string>
#include <string_view>

#include "model/records.h"

namespace tessara {

struct TDateParts {
    int Year, Month, Day;
    int Hour = 0, Minute = 0, Second = 0;
};

bool IsValidDate(int year, int month, int day);
// Whole days since 30 December 1899 (the date part of a TDateTime).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeDateTime(const TDateParts& parts);
TDateParts DecodeDateTime(TDateTime dt);
// Monday = 1 ... Sunday = 7.
int DayOfTheWeek(TDateTime dt);
TDateTime Now();

// Russian month name, genitive ("марта") or nominative ("март"), month 1..12.
std::string MonthNameGenitive(int month);
std::string MonthNameNominative(int month);

// "dd MMMM yyyy" with the Russian month name (the form every draw date takes
// in the archive); empty for dt <= 0.
std::string DrawDateToText(TDateTime dt);
// Reads "day monthname year"; empty text gives 0. Throws Error on a date that
// cannot be read.
TDateTime TextToDrawDate(std::string_view text);

}  // namespace tessara
