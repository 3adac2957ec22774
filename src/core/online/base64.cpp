#include "online/base64.h"

#include "model/error.h"

namespace tessara {

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

[[noreturn]] void Damaged() { throw Error("Повреждённые данные Base64"); }

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) |
                           (uint32_t(uint8_t(bytes[i + 1])) << 8) | uint8_t(bytes[i + 2]);
        out += Alphabet[(v >> 18) & 63];
        out += Alphabet[(v >> 12) & 63];
        out += Alphabet[(v >> 6) & 63];
        out += Alphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
        if (rest == 2) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        out += Alphabet[(v >> 18) & 63];
        out += Alphabet[(v >> 12) & 63];
        out += rest == 2 ? Alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    uint32_t acc = 0;
    int digits = 0;  // digits of the current group
    int padding = 0;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            // Padding only closes a group that has at least two digits.
            if (digits + padding < 2) Damaged();
            ++padding;
            if (digits + padding > 4) Damaged();
            continue;
        }
        const int v = DigitValue(c);
        if (v < 0 || padding > 0) Damaged();
        acc = (acc << 6) | uint32_t(v);
        if (++digits == 4) {
            out += char((acc >> 16) & 0xFF);
            out += char((acc >> 8) & 0xFF);
            out += char(acc & 0xFF);
            acc = 0;
            digits = 0;
        }
    }
    if (padding > 0) {
        if (digits + padding != 4) Damaged();
        if (digits == 2) {
            out += char((acc >> 4) & 0xFF);
        } else {
            out += char((acc >> 10) & 0xFF);
            out += char((acc >> 2) & 0xFF);
        }
    } else if (digits != 0) {
        Damaged();
    }
    return out;
}

}  // namespace tessara
