#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessara {

// One argument of a template: an integer, a floating-point number or a text.
using TFormatArg = std::variant<int64_t, double, std::string>;

// Formats a template in the notation the system's captions and codes are
// written in: "%d", "%s", "%f", "%x", "%u" with an optional argument index
// ("%1:s"), left alignment ("-"), width and precision ("%.2d" pads integers
// to two digits, "%.2f" gives two decimals); "%%" gives "%". An argument that
// is missing or of another kind formats as empty text.
std::string FormatTemplate(std::string_view templ, const std::vector<TFormatArg>& args);

// The decimal separator of every number with decimals shown to the user:
// tables, status texts, exported CSV files and logs. The programs set it at
// start from the user's locale; files the program reads back keep their own
// rule (written with ".", read with "." or ",").
char DecimalSeparator();
void SetDecimalSeparator(char separator);
// Takes the separator from a locale's decimal point text; a point that is
// not a single ASCII character (no byte form in the files) becomes ",".
void SetDecimalSeparatorFromLocale(std::string_view point);
// A number with a fixed count of decimals and the display separator.
std::string FormatFixed(double value, int decimals);
// Rounds to the nearest integer, ties to even.
int64_t RoundHalfEven(double value);

}  // namespace tessara
