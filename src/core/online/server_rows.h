#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// The wire format of the catalogue server, shared by the program and by
// tessara-server. Requests are HTML-form fields whose texts pass through
// EscapeText; answers are
//   <result><row><name>value</name>...</row>...</result>
// where texts that may hold anything (titles, descriptions, scenarios,
// system lists) travel in Base64 and a non-empty <error> element in any row
// means the request was refused.

// The program's identifier towards the catalogue server ("appid"); the server
// names entries made with it by the program's name.
inline constexpr const char* ApplicationId = "{6F3B2A1C-8D4E-4C7A-9B15-2E6D0A4F7C38}";
inline constexpr const char* ApplicationTitle = "tessara";

// Control characters 0..13 and 27, the double quote, the apostrophe, "?" and
// the backslash become backslash escapes; everything else stays.
std::string EscapeText(std::string_view text);
// The inverse; an unknown escape keeps the character after the backslash and
// a lone trailing backslash is dropped.
std::string UnescapeText(std::string_view text);

// The rows between "<result>" and "</result>" (tags compared without regard
// to case); an answer without that region has no rows.
std::vector<std::string> ReadServerRows(std::string_view answer);
// The value of an element of a row, trimmed; empty when it is absent. A value
// quoted as a whole loses its quotes (doubled quotes inside become one).
std::string RowElement(std::string_view row, std::string_view name);
// Throws Error with the text of the first non-empty <error> element.
void CheckServerRows(const std::vector<std::string>& rows);

// A decimal integer of an element. Strict: anything else throws Error naming
// the element; lenient: anything else reads as 0.
int32_t RowIntStrict(std::string_view row, std::string_view name);
int32_t RowIntLenient(std::string_view row, std::string_view name);
// A whole text as a 32-bit decimal integer (optional sign, no blanks).
bool ParseInt32(std::string_view text, int32_t& value);

// Builds an answer. Plain values cannot carry markup: "<" and ">" in them
// are written as the single guillemets "‹" and "›"; use Base64 for texts
// that must come back unchanged.
class TServerRowsWriter {
public:
    TServerRowsWriter& Row();
    TServerRowsWriter& Field(std::string_view name, std::string_view value);
    TServerRowsWriter& Field(std::string_view name, int64_t value);
    TServerRowsWriter& Base64Field(std::string_view name, std::string_view value);
    std::string Text() const;

private:
    std::string body_;
    bool rowOpen_ = false;
};

// An answer of one row refusing the request with a message.
std::string ServerErrorAnswer(std::string_view message);

}  // namespace tessara
