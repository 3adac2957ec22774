#pragma once

#include <string>
#include <string_view>

namespace tessara {

// Base64 of the standard alphabet (RFC 4648) with "=" padding.
std::string Base64Encode(std::string_view bytes);
// Characters outside the alphabet (line breaks, padding) are skipped; an
// incomplete last group gives the bytes it holds.
std::string Base64Decode(std::string_view text);
// The catalogue server's texts must arrive whole: blanks and line breaks are
// skipped, but a character outside the alphabet, a misplaced "=" or a cut
// group throws Error.
std::string Base64DecodeStrict(std::string_view text);

}  // namespace tessara
