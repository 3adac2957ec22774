#pragma once

#include <string>
#include <string_view>

namespace tessara {

// Marker extraction from web pages and server answers. Markers are found
// with Latin letters compared without regard to case (other characters
// exactly); the piece between them is trimmed of blanks and control
// characters and unquoted when it stands in double quotes.

// What happens when the end marker is missing.
enum class TMarkerMode {
    Raise = 0,  // Error with the whole searched text
    Empty = 1,  // empty result
    Rest = 2    // the rest of the text
};

inline constexpr const char* MsgMarkersNotFound =
    "Не удалось найти пару идентификаторов \"{1}\" - \"{2}\" в тексте\r\r[{0}]!";

// The first piece between start and end (an empty end: up to the end of
// the text); empty when start is absent.
std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end,
                           TMarkerMode mode);
// As ExtractBetween; when found, text also loses everything up to and
// including the end marker (all of it when the rest was taken).
std::string CutBetween(std::string& text, std::string_view start, std::string_view end,
                       TMarkerMode mode);
// The piece from just after marker up to its next occurrence (or the end);
// text then starts at that next occurrence (or becomes empty). Empty and
// text unchanged when marker is absent.
std::string CutAt(std::string& text, std::string_view marker);

// Position of needle in text from a position on, Latin letters without
// regard to case; npos when absent.
size_t FindMarker(std::string_view text, std::string_view needle, size_t from = 0);

// The trimming and unquoting applied to every extracted piece.
std::string CleanPiece(std::string_view piece);

}  // namespace tessara
