#pragma once

#include <string>
#include <string_view>

namespace tessara {

// Base64 of the standard alphabet (RFC 4648) with "=" padding.
std::string Base64Encode(std::string_view bytes);
// Characters outside the alphabet (line breaks, padding) are skipped; an
// incomplete last group gives the bytes it holds.
std::string Base64Decode(std::string_view text);

}  // namespace tessara
