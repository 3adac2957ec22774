#include "online/base64.h"

#include <array>
#include <cstdint>

#include "model/error.h"

namespace tessara {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int8_t, 256> MakeDecodeTable() {
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = -1;
    for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    return t;
}
constexpr std::array<int8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t v = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (rest == 2) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Base64Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    uint32_t acc = 0;
    int bits = 0;
    for (const char ch : text) {
        const int8_t d = kDecode[static_cast<unsigned char>(ch)];
        if (d < 0) continue;
        acc = (acc << 6) | static_cast<uint32_t>(d);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((acc >> bits) & 0xFF);
        }
    }
    return out;
}

namespace {

int DigitValue(char c) {
    const int8_t d = kDecode[static_cast<unsigned char>(c)];
    return d;
}

[[noreturn]] void Damaged() { throw Error("Повреждённые данные Base64"); }

}  // namespace

std::string Base64DecodeStrict(std::string_view text) {
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
