#pragma once

#include <string>
#include <string_view>

namespace tessara {

// Base64 of the standard alphabet with "=" padding, as the catalogue server
// carries titles, descriptions, scenarios and system lists.
std::string Base64Encode(std::string_view bytes);

// Decodes Base64; blanks and line breaks inside are skipped. Throws Error for
// a character outside the alphabet, a misplaced "=" or a truncated group.
std::string Base64Decode(std::string_view text);

}  // namespace tessara
