// Infix to postfix: the token order that fixes precedence, associativity,
// unary minus and function binding, and the conversion errors.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "case_names.h"
#include "expr/postfix.h"

namespace zentrel {
namespace {

std::vector<std::string> Tokens(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

std::string Joined(const std::vector<std::string>& tokens) {
  std::string text;
  for (const auto& token : tokens) text += (text.empty() ? "" : " ") + token;
  return text;
}

struct ConversionCase {
  const char* formula;
  const char* postfix;  // tokens separated by single blanks
};

std::string Describe(const ConversionCase& c) { return testing::Printable(c.formula); }
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << Describe(c); }

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, GivesTokens) {
  std::string error;
  const auto postfix = ConvertToPostfix(GetParam().formula, error);
  ASSERT_TRUE(postfix) << GetParam().formula << ": " << error;
  EXPECT_EQ(Joined(Tokens(*postfix)), GetParam().postfix) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Language, Conversion,
    ::testing::Values(
        ConversionCase{"2^3^2", "2 3 ^ 2 ^"},  // left-associative
        ConversionCase{"2-3-4", "2 3 - 4 -"}, ConversionCase{"1+2*3", "1 2 3 * +"},
        ConversionCase{"1*2+3", "1 2 * 3 +"}, ConversionCase{"2*3^2", "2 3 2 ^ *"},
        ConversionCase{"(1+2)*3", "1 2 + 3 *"},
        // Unary minus: "1 NEG" and a '*' pushed without popping.
        ConversionCase{"-X^2", "1 NEG X 2 ^ *"}, ConversionCase{"2^-X", "2 1 NEG X * ^"},
        ConversionCase{"A0*X^-A1", "A0 X 1 NEG A1 * ^ *"}, ConversionCase{"2+-3", "2 1 NEG 3 * +"},
        ConversionCase{"-X/A1", "1 NEG X * A1 /"},
        // A function takes the next operand or group, the latest first.
        ConversionCase{"SIN X^2", "X SIN 2 ^"}, ConversionCase{"SIN(X^2)", "X 2 ^ SIN"},
        ConversionCase{"COS COS X", "X COS COS"}, ConversionCase{"EXP -X", "1 NEG X EXP *"},
        // Names keep their case and at most five characters.
        ConversionCase{"sin(x)+pi*a3", "x sin pi a3 * +"}, ConversionCase{"FLOORED(X)", "X FLOOR"},
        // Literals: blanks dropped, 'e' always an exponent, 'E' before a sign.
        ConversionCase{"1 2+X", "12 X +"}, ConversionCase{"2e3", "2e3"}, ConversionCase{"2E+3", "2E+3"},
        ConversionCase{"1.5e-2*X", "1.5e-2 X *"}, ConversionCase{".5", ".5"},
        // An unmatched ')' ends the formula; so does a NUL.
        ConversionCase{"X)+1", "X"}, ConversionCase{"(X)", "X"}, ConversionCase{"((X))*2", "X 2 *"},
        // A function that never gets an operand is dropped.
        ConversionCase{"X+SIN", "X +"}, ConversionCase{"", ""}, ConversionCase{"  \t ", ""}),
    testing::DescribedCaseName{});

TEST(Conversion, NulEndsTheText) {
  std::string error;
  const auto postfix = ConvertToPostfix(std::string_view("X+1\0+2", 6), error);
  ASSERT_TRUE(postfix);
  EXPECT_EQ(Joined(Tokens(*postfix)), "X 1 +");
}

struct FailureCase {
  std::string formula;
  const char* message;
};

std::string Describe(const FailureCase& c) { return testing::Printable(c.formula); }
void PrintTo(const FailureCase& c, std::ostream* os) { *os << Describe(c); }

class ConversionFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ConversionFailure, Refused) {
  std::string error;
  EXPECT_FALSE(ConvertToPostfix(GetParam().formula, error)) << GetParam().formula;
  EXPECT_EQ(error, GetParam().message) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ConversionFailure,
    ::testing::Values(
        FailureCase{"(X+1", "Parentheses mismatch"}, FailureCase{"SIN((X)", "Parentheses mismatch"},
        FailureCase{"*X", "Too many operators"}, FailureCase{"X+*2", "Too many operators"},
        FailureCase{"X^^2", "Too many operators"},
        // Undefined juxtapositions are refused instead of guessed.
        FailureCase{"2X", "Missing operator before 'X'"}, FailureCase{"X(1)", "Missing operator before '('"},
        FailureCase{"2 EXP(X)", "Missing operator before 'EXP'"},
        FailureCase{"2E3", "Missing operator before 'E3'"}, FailureCase{"(X)(X)", "Missing operator before '('"},
        FailureCase{"X 2", "Missing operator before '2'"}, FailureCase{"PI A1", "Missing operator before 'A1'"},
        FailureCase{"X\n+1", "Unexpected control character"},
        FailureCase{std::string(101, '(') + "X" + std::string(101, ')'), "Parentheses nested too deeply"},
        FailureCase{[] {
                      std::string text;
                      for (int k = 0; k < 33; ++k) text += "SIN ";
                      return text + "X";
                    }(),
                    "Too many functions in a row"}),
    testing::DescribedCaseName{});

TEST(Conversion, DeepButAllowedNestingConverts) {
  std::string error;
  const auto postfix = ConvertToPostfix(std::string(100, '(') + "X" + std::string(100, ')'), error);
  ASSERT_TRUE(postfix) << error;
  EXPECT_EQ(Joined(Tokens(*postfix)), "X");
}

TEST(Conversion, LongInputEndsInTime) {
  // Thousands of groups and operators: linear work, no recursion per group.
  std::string formula;
  for (int k = 0; k < 20000; ++k) formula += "(X)+";
  formula += "X";
  std::string error;
  const auto postfix = ConvertToPostfix(formula, error);
  ASSERT_TRUE(postfix) << error;
  EXPECT_EQ(Tokens(*postfix).size(), 40001u);
}

}  // namespace
}  // namespace zentrel
