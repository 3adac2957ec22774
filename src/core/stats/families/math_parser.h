#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// An error of the expression evaluator, carrying one of its six messages.
class TRxParserError : public std::runtime_error {
public:
    explicit TRxParserError(const std::string& message) : std::runtime_error(message) {}
};

// Evaluates an arithmetic expression: + and - over terms, one precedence
// for *, / and ^ (left to right), parentheses, decimal and "$" hex numbers,
// the constants E and PI and eighteen functions. Throws TRxParserError.
long double EvaluateExpression(std::string_view text);

// An expression parsed once and evaluated many times. The text may hold
// variable marks (the byte FirstVariableMark + k for variable k), each of
// which reads like a whole number at that place.
class TCompiledExpression {
public:
    static constexpr unsigned char FirstVariableMark = 0x80;
    static constexpr int MaxVariables = 32;
    // Brackets (a function's included) nest at most this deep.
    static constexpr int MaxNesting = 1000;

    // Marks of the first `variables` variables are read as such; every other
    // byte is text. Throws TRxParserError for what the grammar does not accept.
    static TCompiledExpression Compile(std::string_view text, int variables = 0);

    // The value, or false on an arithmetic error (message index in *error
    // when given). Allocation-free up to 64 levels of nesting; may run on
    // several threads at once.
    bool Run(const long double* variables, long double& value, int* error = nullptr) const;

    // Bit k set when variable k occurs.
    uint32_t UsedVariables() const { return used_; }

    struct Op {
        uint8_t Kind;
        uint8_t Arg;
        long double Value;
    };

private:
    std::vector<Op> program_;
    size_t depth_ = 0;
    uint32_t used_ = 0;
};

}  // namespace tessara
