#include "online/markers.h"

#include <fmt/format.h>

#include <cstring>

#include "model/error.h"

namespace tessara {

namespace {

inline char LowerLatin(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

struct Found {
    size_t pieceBegin = 0;
    size_t pieceEnd = 0;
    size_t consumed = 0;  // everything up to here goes when cutting
    bool ok = false;
};

Found Locate(std::string_view text, std::string_view start, std::string_view end,
             TMarkerMode mode) {
    Found f;
    const size_t s = FindMarker(text, start);
    if (s == std::string_view::npos) return f;
    f.pieceBegin = s + start.size();
    if (end.empty()) {
        f.pieceEnd = f.consumed = text.size();
        f.ok = true;
        return f;
    }
    const size_t e = FindMarker(text, end, f.pieceBegin);
    if (e != std::string_view::npos) {
        f.pieceEnd = e;
        f.consumed = e + end.size();
        f.ok = true;
        return f;
    }
    switch (mode) {
        case TMarkerMode::Raise:
            throw Error(fmt::format(fmt::runtime(MsgMarkersNotFound), text, start, end));
        case TMarkerMode::Empty:
            return f;
        case TMarkerMode::Rest:
            f.pieceEnd = f.consumed = text.size();
            f.ok = true;
            return f;
    }
    return f;
}

}  // namespace

size_t FindMarker(std::string_view text, std::string_view needle, size_t from) {
    if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
    if (from >= text.size() || needle.size() > text.size() - from) return std::string_view::npos;
    const char first = LowerLatin(needle[0]);
    const bool letter = first >= 'a' && first <= 'z';
    const char* base = text.data();
    const size_t last = text.size() - needle.size();
    size_t i = from;
    while (i <= last) {
        if (!letter) {
            // Markers mostly begin with "<" or a quote: memchr skips ahead fast.
            const void* p = std::memchr(base + i, first, last - i + 1);
            if (!p) return std::string_view::npos;
            i = static_cast<size_t>(static_cast<const char*>(p) - base);
        } else if (LowerLatin(base[i]) != first) {
            ++i;
            continue;
        }
        size_t k = 1;
        while (k < needle.size() && LowerLatin(base[i + k]) == LowerLatin(needle[k])) ++k;
        if (k == needle.size()) return i;
        ++i;
    }
    return std::string_view::npos;
}

std::string CleanPiece(std::string_view piece) {
    size_t b = 0, e = piece.size();
    while (b < e && static_cast<unsigned char>(piece[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(piece[e - 1]) <= ' ') --e;
    piece = piece.substr(b, e - b);
    if (piece.size() < 2 || piece.front() != '"' || piece.back() != '"') return std::string(piece);
    // A quoted value: doubled quotes inside stand for one, a lone one goes.
    const std::string_view inner = piece.substr(1, piece.size() - 2);
    std::string out;
    out.reserve(inner.size());
    for (size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] != '"') {
            out += inner[i];
        } else if (i + 1 < inner.size() && inner[i + 1] == '"') {
            out += '"';
            ++i;
        }
    }
    return out;
}

std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end,
                           TMarkerMode mode) {
    const Found f = Locate(text, start, end, mode);
    if (!f.ok) return std::string();
    return CleanPiece(text.substr(f.pieceBegin, f.pieceEnd - f.pieceBegin));
}

std::string CutBetween(std::string& text, std::string_view start, std::string_view end,
                       TMarkerMode mode) {
    const Found f = Locate(text, start, end, mode);
    if (!f.ok) return std::string();
    std::string piece =
        CleanPiece(std::string_view(text).substr(f.pieceBegin, f.pieceEnd - f.pieceBegin));
    text.erase(0, f.consumed);
    return piece;
}

std::string CutAt(std::string& text, std::string_view marker) {
    const size_t s = FindMarker(text, marker);
    if (s == std::string::npos) return std::string();
    const size_t begin = s + marker.size();
    size_t next = marker.empty() ? std::string::npos : FindMarker(text, marker, begin);
    if (next == std::string::npos) next = text.size();
    std::string piece = CleanPiece(std::string_view(text).substr(begin, next - begin));
    text.erase(0, next);
    return piece;
}

}  // namespace tessara
