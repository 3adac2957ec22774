#include "stats/families/math_parser.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace tessara {

namespace {

constexpr const char* kFloatError = "Ошибка в операции с плавающей точкой";
constexpr const char* kLogError = "Выражение под логарифмом меньне нуля";
constexpr const char* kSqrtError = "Выражение под корнем меньне нуля";
constexpr const char* kDivError = "Деление на нуль";
constexpr const char* kBracketError = "Не хватает скобочки";
constexpr const char* kSyntaxError = "Синтаксическая ошибка";

bool IsTerminator(char c) { return std::strchr(")*+-/^", c) != nullptr || c == '\0'; }

class Parser {
public:
    explicit Parser(std::string text) : s_(std::move(text)) {}

    long double Run() {
        const long double v = Expression();
        return v;
    }

private:
    char C() const { return s_[pos_]; }

    long double Expression() {
        long double v = Term();
        while (C() == '+' || C() == '-') {
            const char op = s_[pos_++];
            const long double r = Term();
            v = op == '+' ? v + r : v - r;
        }
        if (!(C() == '\0' || C() == ')' || C() == ',' || C() == '<' || C() == '=' || C() == '>'))
            throw TRxParserError(kSyntaxError);
        return v;
    }

    long double Term() {
        long double v = Factor();
        while (C() == '*' || C() == '/' || C() == '^') {
            const char op = s_[pos_++];
            const long double r = Factor();
            if (op == '*') {
                v *= r;
            } else if (op == '/') {
                if (r == 0) throw TRxParserError(kDivError);
                v /= r;
            } else {
                v = Power(v, r);
            }
            if (!std::isfinite(static_cast<double>(v))) throw TRxParserError(kFloatError);
        }
        return v;
    }

    static long double Power(long double base, long double exponent) {
        if (exponent == 0) return 1;
        if (base == 0 && exponent > 0) return 0;
        if (exponent == std::trunc(exponent) && std::fabs(exponent) < 1e6) {
            long double r = 1;
            for (int64_t i = 0; i < static_cast<int64_t>(std::fabs(exponent)); ++i) r *= base;
            return exponent < 0 ? 1 / r : r;
        }
        if (base < 0) throw TRxParserError(kFloatError);
        return std::exp(exponent * std::log(base));
    }

    bool Number(long double& v) {
        const size_t start = pos_;
        size_t p = pos_;
        if (s_[p] == '$') {
            ++p;
            size_t digits = 0;
            uint64_t x = 0;
            while (std::isxdigit(static_cast<unsigned char>(s_[p])) && digits < 8) {
                const char h = s_[p++];
                x = x * 16 + static_cast<uint64_t>(h <= '9' ? h - '0' : h - 'A' + 10);
                ++digits;
            }
            if (digits == 0 || !IsTerminator(s_[p])) return false;
            v = static_cast<long double>(static_cast<int32_t>(static_cast<uint32_t>(x)));
            pos_ = p;
            return true;
        }
        std::string t;
        if (s_[p] == '+' || s_[p] == '-') t += s_[p++];
        size_t digits = 0;
        while (std::isdigit(static_cast<unsigned char>(s_[p]))) t += s_[p++], ++digits;
        if (s_[p] == '.' || s_[p] == ',') {
            t += '.';
            ++p;
            while (std::isdigit(static_cast<unsigned char>(s_[p]))) t += s_[p++], ++digits;
        }
        if (digits == 0) return false;
        if (s_[p] == 'E') {
            size_t q = p + 1;
            std::string e = "E";
            if (s_[q] == '+' || s_[q] == '-') e += s_[q++];
            size_t ed = 0;
            while (std::isdigit(static_cast<unsigned char>(s_[q]))) e += s_[q++], ++ed;
            if (ed > 0) {
                t += e;
                p = q;
            }
        }
        if (!IsTerminator(s_[p])) {
            pos_ = start;
            return false;
        }
        try {
            v = std::stold(t);
        } catch (const std::exception&) {
            throw TRxParserError(kFloatError);
        }
        pos_ = p;
        return true;
    }

    bool Word(const char* w) const {
        return s_.compare(pos_, std::strlen(w), w) == 0;
    }

    long double Function(int f, long double x) {
        constexpr long double kPi = std::numbers::pi_v<long double>;
        long double r;
        switch (f) {
            case 0: r = std::atan(x); break;
            case 1: r = std::cos(x); break;
            case 2: r = std::sin(x); break;
            case 3:
                if (std::cos(x) == 0) throw TRxParserError(kDivError);
                r = std::sin(x) / std::cos(x);
                break;
            case 4: r = std::fabs(x); break;
            case 5: r = std::exp(x); break;
            case 6:
            case 7:
                if (x <= 0) throw TRxParserError(kLogError);
                r = f == 6 ? std::log(x) : std::log(x) / std::log(10.0L);
                break;
            case 8:
                if (x < 0) throw TRxParserError(kSqrtError);
                r = std::sqrt(x);
                break;
            case 9: r = x * x; break;
            case 10:
            case 13: r = std::nearbyint(x); break;
            case 11: r = x - std::trunc(x); break;
            case 12: r = std::trunc(x); break;
            case 14: r = x == 1 ? kPi / 2 : std::atan(x / std::sqrt(1 - x * x)); break;
            case 15: r = x == 1 ? 0 : kPi / 2 - std::atan(x / std::sqrt(1 - x * x)); break;
            case 16: r = x > 0 ? 1 : x < 0 ? -1 : 0; break;
            default: {
                if (!(std::fabs(x) < 9.2e18L)) throw TRxParserError(kFloatError);
                r = static_cast<long double>(~static_cast<int64_t>(std::trunc(x)));
            }
        }
        if (!std::isfinite(static_cast<double>(r))) throw TRxParserError(kFloatError);
        return r;
    }

    long double Factor() {
        if (C() == '(') {
            ++pos_;
            const long double v = Expression();
            if (C() != ')') throw TRxParserError(kBracketError);
            ++pos_;
            return v;
        }
        long double v;
        if (Number(v)) return v;
        if (Word("PI") && IsTerminator(s_[pos_ + 2])) {
            pos_ += 2;
            return std::numbers::pi_v<long double>;
        }
        if (Word("E") && IsTerminator(s_[pos_ + 1])) {
            pos_ += 1;
            return std::numbers::e_v<long double>;
        }
        static constexpr const char* kFunctions[] = {"ARCTAN", "COS",  "SIN",   "TAN",   "ABS",   "EXP",
                                                     "LN",     "LOG",  "SQRT",  "SQR",   "INT",   "FRAC",
                                                     "TRUNC",  "ROUND", "ARCSIN", "ARCCOS", "SIGN", "NOT"};
        for (int f = 0; f < 18; ++f) {
            const size_t n = std::strlen(kFunctions[f]);
            if (Word(kFunctions[f]) && s_[pos_ + n] == '(') {
                pos_ += n + 1;
                const long double x = Expression();
                if (C() != ')') throw TRxParserError(kBracketError);
                ++pos_;
                return Function(f, x);
            }
        }
        throw TRxParserError(kSyntaxError);
    }

    std::string s_;
    size_t pos_ = 0;
};

}  // namespace

long double EvaluateExpression(std::string_view text) {
    std::string s;
    int depth = 0;
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 32) continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c == '(') ++depth;
        if (c == ')') --depth;
        s += c;
    }
    if (depth != 0) throw TRxParserError(kBracketError);
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.insert(0, "0");
    s += '\0';
    // Keep reading past the end mark safe for the look-ahead of the parser.
    s.append(8, '\0');
    return Parser(std::move(s)).Run();
}

}  // namespace tessara
