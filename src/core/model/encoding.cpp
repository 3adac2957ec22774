#include "model/encoding.h"

#include <array>
#include <cstdint>

namespace tessara {

namespace {

// Code points of the Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char32_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t ByteToCodePoint(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xC0) return 0x0410 + (b - 0xC0);
    return kHigh[b - 0x80];
}

int CodePointToByte(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one character at pos; a malformed byte yields U+FFFD and length 1.
char32_t DecodeUtf8(std::string_view s, size_t pos, size_t& len) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    len = 1;
    if (b0 < 0x80) return b0;
    int extra;
    char32_t cp;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        return 0xFFFD;
    }
    if (pos + extra >= s.size()) return 0xFFFD;
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (b & 0x3F);
    }
    len = static_cast<size_t>(extra) + 1;
    return cp;
}

char32_t LowerCodePoint(char32_t cp) {
    if (cp >= 'A' && cp <= 'Z') return cp + 32;
    if (cp >= 0x0410 && cp <= 0x042F) return cp + 0x20;
    if (cp >= 0x0400 && cp <= 0x040F) return cp + 0x50;
    if (cp == 0x0490) return 0x0491;
    return cp;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (char c : cp1251) AppendUtf8(out, ByteToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        size_t len;
        const char32_t cp = DecodeUtf8(utf8, pos, len);
        const int b = CodePointToByte(cp);
        out += b < 0 ? '?' : static_cast<char>(b);
        pos += len;
    }
    return out;
}

size_t Utf8Length(std::string_view utf8) {
    size_t n = 0;
    for (size_t pos = 0; pos < utf8.size(); ++n) {
        size_t len;
        DecodeUtf8(utf8, pos, len);
        pos += len;
    }
    return n;
}

std::string Utf8Left(std::string_view utf8, size_t maxChars) {
    size_t pos = 0;
    for (size_t n = 0; n < maxChars && pos < utf8.size(); ++n) {
        size_t len;
        DecodeUtf8(utf8, pos, len);
        pos += len;
    }
    return std::string(utf8.substr(0, pos));
}

std::string Utf8ToLower(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        size_t len;
        const char32_t cp = DecodeUtf8(utf8, pos, len);
        if (cp == 0xFFFD && len == 1)
            out += utf8[pos];
        else
            AppendUtf8(out, LowerCodePoint(cp));
        pos += len;
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        size_t len;
        if (DecodeUtf8(text, pos, len) == 0xFFFD && len == 1) return false;
        pos += len;
    }
    return true;
}

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
    return Utf8ToLower(a) == Utf8ToLower(b);
}

std::string_view Trim(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
    return text.substr(b, e - b);
}

}  // namespace tessara
