#pragma once

#include <string>
#include <string_view>

namespace tessara {

// Files hold single-byte Windows-1251 text; the program works in UTF-8.
// This is the only place where the two meet.

// Windows-1251 bytes to UTF-8.
std::string Cp1251ToUtf8(std::string_view cp1251);

// UTF-8 to Windows-1251 bytes; characters the code page lacks and malformed
// sequences become '?'.
std::string Utf8ToCp1251(std::string_view utf8);

// Number of characters of a UTF-8 text (malformed bytes count one each).
size_t Utf8Length(std::string_view utf8);

// The first maxChars characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, size_t maxChars);

// Lower case of Latin and Cyrillic letters, the others unchanged.
std::string Utf8ToLower(std::string_view utf8);
// Every byte sequence is a UTF-8 character.
bool IsValidUtf8(std::string_view text);

// Case-insensitive equality of two UTF-8 texts (Latin and Cyrillic).
bool SameTextIgnoreCase(std::string_view a, std::string_view b);

// Trims characters up to and including space from both ends.
std::string_view Trim(std::string_view text);

}  // namespace tessara
