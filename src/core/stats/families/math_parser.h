#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

}  // namespace tessara
