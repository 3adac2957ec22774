#include "stats/families/math_parser.h"

#include <cctype>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace tessara {

namespace {

// The messages in the order of their identifiers.
constexpr const char* kMessages[] = {
    "Ошибка в операции с плавающей точкой",
    "Выражение под логарифмом меньне нуля",
    "Выражение под корнем меньне нуля",
    "Деление на нуль",
    "Не хватает скобочки",
    "Синтаксическая ошибка",
};
enum : int { kFloatError = 1, kLogError, kSqrtError, kDivError, kBracketError, kSyntaxError };

[[noreturn]] void Fail(int error) { throw TRxParserError(kMessages[error - 1]); }

enum OpKind : uint8_t { opConst, opVar, opAdd, opSub, opMul, opDiv, opPow, opFunc };

bool IsTerminator(char c) { return c == '\0' || std::strchr(")*+-/^", c) != nullptr; }

// Recursive descent over the prepared text, writing a postfix program.
class Parser {
public:
    Parser(const std::string& text, int variables, std::vector<TCompiledExpression::Op>& program)
        : s_(text), variables_(variables), program_(program) {}

    void Run() { Expression(); }

private:
    char C() const { return s_[pos_]; }
    bool IsMark(char c) const {
        const int k = static_cast<unsigned char>(c) - TCompiledExpression::FirstVariableMark;
        return k >= 0 && k < variables_;
    }
    void Emit(uint8_t kind, uint8_t arg = 0, long double value = 0) {
        program_.push_back({kind, arg, value});
    }

    void Expression() {
        Term();
        while (C() == '+' || C() == '-') {
            const char op = s_[pos_++];
            Term();
            Emit(op == '+' ? opAdd : opSub);
        }
        if (!(C() == '\0' || C() == ')' || C() == ',' || C() == '<' || C() == '=' || C() == '>'))
            Fail(kSyntaxError);
    }

    void Term() {
        Factor();
        while (C() == '*' || C() == '/' || C() == '^') {
            const char op = s_[pos_++];
            Factor();
            Emit(op == '*' ? opMul : op == '/' ? opDiv : opPow);
        }
    }

    bool Number() {
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
            Emit(opConst, 0, static_cast<long double>(static_cast<int32_t>(static_cast<uint32_t>(x))));
            pos_ = p;
            return true;
        }
        std::string t;
        if (s_[p] == '+' || s_[p] == '-') t += s_[p++];
        if (IsMark(s_[p])) {
            // A variable stands where its digits would: a whole number.
            const auto k = static_cast<uint8_t>(static_cast<unsigned char>(s_[p]) -
                                                TCompiledExpression::FirstVariableMark);
            if (!IsTerminator(s_[p + 1])) return false;
            Emit(opVar, k, t == "-" ? -1 : 1);
            pos_ = p + 1;
            return true;
        }
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
        if (!IsTerminator(s_[p])) return false;
        long double v;
        try {
            v = std::stold(t);
        } catch (const std::exception&) {
            Fail(kFloatError);
        }
        Emit(opConst, 0, v);
        pos_ = p;
        return true;
    }

    bool Word(const char* w) const { return s_.compare(pos_, std::strlen(w), w) == 0; }

    void Factor() {
        if (C() == '(') {
            ++pos_;
            Expression();
            if (C() != ')') Fail(kBracketError);
            ++pos_;
            return;
        }
        if (Number()) return;
        if (Word("PI") && IsTerminator(s_[pos_ + 2])) {
            pos_ += 2;
            Emit(opConst, 0, std::numbers::pi_v<long double>);
            return;
        }
        if (Word("E") && IsTerminator(s_[pos_ + 1])) {
            pos_ += 1;
            Emit(opConst, 0, std::numbers::e_v<long double>);
            return;
        }
        static constexpr const char* kFunctions[] = {"ARCTAN", "COS",  "SIN",   "TAN",   "ABS",    "EXP",
                                                     "LN",     "LOG",  "SQRT",  "SQR",   "INT",    "FRAC",
                                                     "TRUNC",  "ROUND", "ARCSIN", "ARCCOS", "SIGN", "NOT"};
        for (uint8_t f = 0; f < 18; ++f) {
            const size_t n = std::strlen(kFunctions[f]);
            if (Word(kFunctions[f]) && s_[pos_ + n] == '(') {
                pos_ += n + 1;
                Expression();
                if (C() != ')') Fail(kBracketError);
                ++pos_;
                Emit(opFunc, f);
                return;
            }
        }
        Fail(kSyntaxError);
    }

    const std::string& s_;
    const int variables_;
    std::vector<TCompiledExpression::Op>& program_;
    size_t pos_ = 0;
};

long double Power(long double base, long double exponent, int& error) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    if (exponent == std::trunc(exponent) && std::fabs(exponent) < 1e6) {
        long double r = 1;
        for (int64_t i = 0; i < static_cast<int64_t>(std::fabs(exponent)); ++i) r *= base;
        return exponent < 0 ? 1 / r : r;
    }
    if (base < 0) {
        error = kFloatError;
        return 0;
    }
    return std::exp(exponent * std::log(base));
}

long double Function(int f, long double x, int& error) {
    constexpr long double kPi = std::numbers::pi_v<long double>;
    switch (f) {
        case 0: return std::atan(x);
        case 1: return std::cos(x);
        case 2: return std::sin(x);
        case 3:
            if (std::cos(x) == 0) error = kDivError;
            return error ? 0 : std::sin(x) / std::cos(x);
        case 4: return std::fabs(x);
        case 5: return std::exp(x);
        case 6:
        case 7:
            if (x <= 0) {
                error = kLogError;
                return 0;
            }
            return f == 6 ? std::log(x) : std::log(x) / std::log(10.0L);
        case 8:
            if (x < 0) {
                error = kSqrtError;
                return 0;
            }
            return std::sqrt(x);
        case 9: return x * x;
        case 10:
        case 13: return std::nearbyint(x);
        case 11: return x - std::trunc(x);
        case 12: return std::trunc(x);
        case 14: return x == 1 ? kPi / 2 : std::atan(x / std::sqrt(1 - x * x));
        case 15: return x == 1 ? 0 : kPi / 2 - std::atan(x / std::sqrt(1 - x * x));
        case 16: return x > 0 ? 1 : x < 0 ? -1 : 0;
        default:
            if (!(std::fabs(x) < 9.2e18L)) {
                error = kFloatError;
                return 0;
            }
            return static_cast<long double>(~static_cast<int64_t>(std::trunc(x)));
    }
}

bool Finite(long double v) { return std::isfinite(static_cast<double>(v)); }

}  // namespace

TCompiledExpression TCompiledExpression::Compile(std::string_view text, int variables) {
    std::string s;
    int depth = 0, deepest = 0;
    for (char c : text) {
        if (static_cast<unsigned char>(c) <= 32) continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (c == '(') deepest = std::max(deepest, ++depth);
        if (c == ')') --depth;
        s += c;
    }
    if (depth != 0) Fail(kBracketError);
    // The parser descends once per bracket: a formula from the configuration
    // nested past any sensible depth must not exhaust the stack.
    if (deepest > MaxNesting) Fail(kSyntaxError);
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) s.insert(0, "0");
    // The end mark, and room for the parser's look-ahead past it.
    s.append(9, '\0');
    TCompiledExpression e;
    Parser(s, std::min(variables, MaxVariables), e.program_).Run();
    size_t d = 0;
    for (const Op& op : e.program_) {
        if (op.Kind == opVar) e.used_ |= 1u << op.Arg;
        d += op.Kind <= opVar ? 1 : op.Kind == opFunc ? 0 : static_cast<size_t>(-1);
        e.depth_ = std::max(e.depth_, d);
    }
    return e;
}

bool TCompiledExpression::Run(const long double* variables, long double& value, int* error) const {
    // A stack of its own, so that several threads may evaluate at once.
    long double small[64];
    std::vector<long double> large;
    if (depth_ >= std::size(small)) large.resize(depth_ + 1);
    long double* sp = large.empty() ? small : large.data();  // one past the top
    int err = 0;
    for (const Op& op : program_) {
        switch (op.Kind) {
            case opConst: *sp++ = op.Value; break;
            case opVar: *sp++ = op.Value * variables[op.Arg]; break;
            case opAdd: --sp; sp[-1] += sp[0]; break;
            case opSub: --sp; sp[-1] -= sp[0]; break;
            case opMul:
            case opDiv:
            case opPow: {
                --sp;
                const long double r = sp[0];
                long double& v = sp[-1];
                if (op.Kind == opMul) {
                    v *= r;
                } else if (op.Kind == opDiv) {
                    if (r == 0) err = kDivError;
                    else v /= r;
                } else {
                    v = Power(v, r, err);
                }
                if (!err && !Finite(v)) err = kFloatError;
                break;
            }
            default:
                sp[-1] = Function(op.Arg, sp[-1], err);
                if (!err && !Finite(sp[-1])) err = kFloatError;
        }
        if (err) {
            if (error) *error = err;
            return false;
        }
    }
    value = sp[-1];
    return true;
}

long double EvaluateExpression(std::string_view text) {
    const TCompiledExpression e = TCompiledExpression::Compile(text);
    long double v = 0;
    int error = 0;
    if (!e.Run(nullptr, v, &error)) Fail(error);
    return v;
}

}  // namespace tessara
