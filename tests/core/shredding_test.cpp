#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "stat_test_support.h"
#include "stats/families/math_parser.h"
#include "stats/families/shredding.h"
#include "test_support.h"

namespace tessara {
namespace {

TEST(MathParser, GrammarAndFunctions) {
    const struct {
        const char* text;
        long double expected;
    } cases[] = {
        {"2*3^2", 36},          {"2^3^2", 64},        {"1+2*3", 7},        {"-.5", -0.5},
        {"5.", 5},              {"2*-3", -6},         {"$FF+1", 256},      {"1e2+0.5", 100.5},
        {"2,5*2", 5},           {"(1+2)*(3+4)", 21},  {" sqrt ( 16 ) ", 4}, {"abs(-3)", 3},
        {"2 3", 23},  // blanks are dropped before parsing
        {"int(2.5)", 2},        {"round(3.5)", 4},    {"frac(-1.25)", -0.25}, {"trunc(-1.75)", -1},
        {"sign(-7)", -1},       {"not(0)", -1},       {"sqr(3)", 9},       {"log(1000)", 3},
        {"(-2)^3", -8},         {"0^5", 0},           {"7^0", 1},          {"2^-2", 0.25},
        {"arcsin(1)", std::acos(0.0L)}, {"arccos(1)", 0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(EvaluateExpression(c.text)), static_cast<double>(c.expected), 1e-12)
            << c.text;
    EXPECT_NEAR(static_cast<double>(EvaluateExpression("pi")), 3.14159265358979, 1e-12);
    EXPECT_NEAR(static_cast<double>(EvaluateExpression("E")), 2.71828182845905, 1e-12);

    const struct {
        const char* text;
        const char* message;
    } errors[] = {
        {"1/0", "Деление на нуль"},
        {"ln(0)", "Выражение под логарифмом меньне нуля"},
        {"log(-1)", "Выражение под логарифмом меньне нуля"},
        {"sqrt(-1)", "Выражение под корнем меньне нуля"},
        {"(1+2", "Не хватает скобочки"},
        {"1+2)", "Не хватает скобочки"},
        {"1+x", "Синтаксическая ошибка"},
        {"", "Синтаксическая ошибка"},
        {"2(3)", "Синтаксическая ошибка"},
    };
    const auto nested = [](int depth, const char* open) {
        std::string t;
        for (int i = 0; i < depth; ++i) t += open;
        t += "1";
        for (int i = 0; i < depth; ++i) t += ")";
        return t;
    };
    EXPECT_EQ(EvaluateExpression(nested(TCompiledExpression::MaxNesting, "(")), 1);
    EXPECT_EQ(EvaluateExpression(nested(TCompiledExpression::MaxNesting, "abs(")), 1);
    // Nesting past the limit is refused before the descent could exhaust
    // the stack.
    const std::string deep = nested(50000, "(");
    const std::string deepFunctions = nested(TCompiledExpression::MaxNesting + 1, "sqr(");
    for (const std::string& text : {deep, deepFunctions}) {
        try {
            EvaluateExpression(text);
            ADD_FAILURE() << text.size();
        } catch (const TRxParserError& err) {
            EXPECT_STREQ(err.what(), "Синтаксическая ошибка");
        }
    }
    for (const auto& e : errors) {
        try {
            EvaluateExpression(e.text);
            ADD_FAILURE() << e.text;
        } catch (const TRxParserError& err) {
            EXPECT_STREQ(err.what(), e.message) << e.text;
        }
    }
}

TEST(Shredding, ValuesOfFormulas) {
    const uint8_t draw[] = {5, 10, 15, 20, 25, 30}, zeros[6] = {}, prev[] = {3, 1, 1, 1, 1, 1};
    const struct {
        const char* formula;
        int places;
        const uint8_t* p;
        int32_t expected;
    } cases[] = {
        {"(n1+n2+n3)/(n4+n5+n6)", 2, zeros, 40},
        {"(n4+n5+n6)/(n1+n2+n3)", 2, zeros, 50},
        {" ( N1 + n2+N3 ) / (n4+n5+n6)", 2, zeros, 40},
        {"n1*2^2", 2, zeros, 0},            // 5 x 2 = 10, then squared: a whole number
        {"n1/(n2-10)", 2, zeros, 0},        // division by zero
        {"ln(n1-5)", 2, zeros, 0},          // logarithm of zero
        {"n1+", 2, zeros, 0},               // does not parse
        {"", 2, zeros, 0},
        {"n1/n2-7", 3, zeros, 500},         // -6.5: the fraction of the absolute value
        {"1/7+n1", 5, zeros, 14285},
        {"p1/8", 2, prev, 37},              // 0.375
        {"1/7", 12, zeros, 142857142},      // places past 9 are kept within 32 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShreddingValue(draw, c.p, zeros, c.places, c.formula), c.expected) << c.formula;
    const uint8_t three[] = {3, 1, 1, 1, 1, 1};
    EXPECT_EQ(ShreddingValue(three, zeros, zeros, 2, "n1*2^2/7"), 14);  // 36 / 7 = 5.142...
    // A formula nested too deep reads as one that does not parse.
    const std::string deep = std::string(50000, '(') + "n1/7" + std::string(50000, ')');
    EXPECT_EQ(ShreddingValue(three, zeros, zeros, 2, deep), 0);
}

// The formula parsed once must give what putting the digits into the text
// gives, also where the digits would run into their neighbours.
TEST(Shredding, ParsedOnceAgreesWithTheText) {
    const struct {
        const char* formula;
        bool compiled;  // parsed once
    } cases[] = {
        {"(n1+n2+n3)/(n4+n5+n6)", true}, {"(N4+n5+n6)/(n1+n2+n3)", true}, {"-n1/7+p2/t3", true},
        {"2*-n1/13", true},              {"n1^-p1+1/3", true},            {"sqrt(n1)*ln(p2+1)", true},
        {"n1/(n2-n3)", true},            {"n1 / 3.0", true},              {"1/7+n1,p1", false},
        {"n1n2/7", false},               {"2n1/7", false},                {"n1.5/7", false},
        {"nn1/7", false},                {"1E-n1", false},                {"n12/7", false},
        {"$n1/7", false},                {"n1E1/7", false},               {"n 1/7", true},
        {"sin(n1)", true},               {"n1(2)", true},                 {"pn1+n2/7", false},
        {"", true},                      {"n1/7+", true},
    };
    std::mt19937 rng(7);
    for (const auto& c : cases) {
        const TShreddingFormula f(c.formula, 3);
        EXPECT_EQ(f.ParsedOnce(), c.compiled) << c.formula;
        for (int k = 0; k < 200; ++k) {
            uint8_t n[6], p[6], t[6];
            for (int i = 0; i < 6; ++i) {
                n[i] = static_cast<uint8_t>(rng() % 43);
                p[i] = static_cast<uint8_t>(rng() % 43);
                t[i] = static_cast<uint8_t>(rng() % 43);
            }
            ASSERT_EQ(f.Value(n, p, t), f.TextValue(n, p, t)) << c.formula;
        }
    }
}

class ShreddingStatTest : public test::StatFixture {};

TEST_F(ShreddingStatTest, RegisteredWithTheFormulasAndTheirDraws) {
    EXPECT_EQ(list.ListCaption(list.FindMethod("SHR1"), true),
              "{ shr } Метод шинковки 1: (n1+n2+n3)/(n4+n5+n6) [ SNG ]");
    EXPECT_EQ(list.Items(list.FindMethod("SHR2")).Class->HelpCodeFor(2), "SHRx");
    archive = {test::MakeDraw(1, {1, 1, 1, 1, 1, 1}), test::MakeDraw(2, {4, 1, 1, 1, 1, 1}),
               test::MakeDraw(3, {5, 10, 15, 20, 25, 30})};
    shredding.Formulas[2] = "p1/8 + t1/100";
    list.Register();
    EXPECT_EQ(DrawValues("SHR1", 2, 2), "40");
    EXPECT_EQ(DrawValues("SHR3", 2, 2), "51");  // 4/8 + 1/100
    EXPECT_EQ(DrawValues("SHR3", 0, 2), "0");   // no draws before the first
    EXPECT_EQ(CombValues("SHR3", {{5, 10, 15, 20, 25, 30}}), "0");
    auto s = Make("SHR3");
    // Filtering uses the last visible draw as p and the one before it as t.
    EXPECT_TRUE(s->CombMatches({{1, 2, 3, 4, 5, 6}}, {test::Selected(MakeIntKey(51))}, 1, false, false));
    EXPECT_EQ(s->DrawGraphValue(2, 2, false), 51);
}

TEST_F(ShreddingStatTest, ValuesPastOneWordKeepTheirSize) {
    archive = {test::MakeDraw(1, {7, 1, 2, 3, 4, 5})};
    shredding.Formulas[0] = "n1/8";
    shredding.Digits[0] = 5;
    list.Register();
    EXPECT_EQ(DrawValues("SHR1", 0, 0), "87500");
    auto s = Make("SHR1");
    EXPECT_EQ(s->ParseValue("87500"), 87500);
    EXPECT_TRUE(s->CombMatches({{7, 8, 9, 10, 11, 12}}, {test::Selected(MakeIntKey(87500))}, 0, false, false));
}

}  // namespace
}  // namespace tessara
