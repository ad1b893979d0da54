// Postfix to byte code: opcodes with their operand bytes, the constant pool,
// every status and message, and the checks that keep evaluation in bounds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_names.h"
#include "expr/byte_code.h"

namespace zentrel {
namespace {

struct Compiled {
  int status;
  std::string error;
  ByteCode code;
  ConstantPool constants{};
};

Compiled Compile(const std::string& postfix) {
  Compiled out;
  out.status = CompilePostfix(postfix, out.error, out.code, out.constants);
  return out;
}

TEST(CompilePostfix, EmitsOpcodesAndOperands) {
  const Compiled c = Compile("A0 1 NEG X * A1 / EXP * A2 +");
  ASSERT_EQ(c.status, kCompiled) << c.error;
  // 1 NEG folds into the constant −1.
  EXPECT_EQ(c.code, (ByteCode{7, 0, 8, 0, 15, 3, 7, 1, 4, 9, 3, 7, 2, 1, 0}));
  EXPECT_EQ(c.constants[0], -1.0);
}

TEST(CompilePostfix, NamesAreCaseInsensitiveAndMatchedInOrder) {
  const Compiled c = Compile("x sinh cosh tanh step erfc erf ln log exp sin cos tan abs acos asin atan sqrt ceil floor pi +");
  ASSERT_EQ(c.status, kCompiled) << c.error;
  EXPECT_EQ(c.code, (ByteCode{15, 22, 21, 23, 29, 28, 27, 13, 14, 9, 10, 11, 12, 17, 18, 19, 20, 24, 25, 26, 16, 1, 0}));
}

TEST(CompilePostfix, NegFoldsOnlyDirectlyAfterAConstant) {
  // The operand byte 8 of A8 is not a constant opcode.
  Compiled c = Compile("A8 NEG");
  ASSERT_EQ(c.status, kCompiled);
  EXPECT_EQ(c.code, (ByteCode{7, 8, 6, 0}));
  c = Compile("2 NEG NEG");
  ASSERT_EQ(c.status, kCompiled);
  EXPECT_EQ(c.code, (ByteCode{8, 0, 0}));
  EXPECT_EQ(c.constants[0], 2.0);
  c = Compile("X NEG");
  EXPECT_EQ(c.code, (ByteCode{15, 6, 0}));
}

TEST(CompilePostfix, LiteralsUseDecimalConversionWhateverTheLocale) {
  const Compiled c = Compile("2e3 2E+3 1.5e-2 0.25 1. 007 + + + + +");
  ASSERT_EQ(c.status, kCompiled) << c.error;
  EXPECT_EQ(c.constants[0], 2000.0);
  EXPECT_EQ(c.constants[1], 2000.0);
  EXPECT_EQ(c.constants[2], 0.015);
  EXPECT_EQ(c.constants[3], 0.25);
  EXPECT_EQ(c.constants[4], 1.0);
  EXPECT_EQ(c.constants[5], 7.0);
}

struct StatusCase {
  std::string postfix;
  int status;
  const char* message;
};

std::string Describe(const StatusCase& c) { return testing::Printable(c.postfix); }
void PrintTo(const StatusCase& c, std::ostream* os) { *os << Describe(c); }

class CompileFailure : public ::testing::TestWithParam<StatusCase> {};

TEST_P(CompileFailure, StatusAndMessage) {
  const Compiled c = Compile(GetParam().postfix);
  EXPECT_EQ(c.status, GetParam().status) << GetParam().postfix;
  EXPECT_EQ(c.error, GetParam().message) << GetParam().postfix;
}

std::string Repeated(const std::string& word, int times) {
  std::string text;
  for (int k = 0; k < times; ++k) text += word + " ";
  return text;
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, CompileFailure,
    ::testing::Values(
        StatusCase{"", kIncompleteExpression, "error:incomplete expression! stack size:0"},
        StatusCase{"X PI", kIncompleteExpression, "error:incomplete expression! stack size:2"},
        StatusCase{"2 +", kStackUnderflow, "error:stack underflow"},
        StatusCase{"Y", kUnexpectedCharacter, "error:unexpected character:Y"},
        StatusCase{"X Y +", kUnexpectedCharacter, "error:unexpected character:Y"},
        StatusCase{".5", kUnexpectedCharacter, "error:unexpected character:."},
        StatusCase{"A32", kBadArgumentNumber, "error:bad argument number"},
        StatusCase{"A99999999999999999999", kBadArgumentNumber, "error:bad argument number"},
        StatusCase{"1 " + Repeated("1 +", 31) + "1 +", kTooManyConstants, "error:too many constants in expression"},
        StatusCase{Repeated("X", 9), kStackOverflow, "error:stack overflow"},
        StatusCase{Repeated("1 NEG", 9), kStackOverflow, "error:stack overflow"},
        // Text a literal's conversion leaves over is refused, not dropped.
        StatusCase{"1.2.3", kUnexpectedCharacter, "error:unexpected character:."},
        StatusCase{"2e+", kUnexpectedCharacter, "error:unexpected character:e"},
        // A function or NEG with no value to apply to.
        StatusCase{"SIN X", kStackUnderflow, "error:stack underflow"},
        StatusCase{"NEG X", kStackUnderflow, "error:stack underflow"}),
    testing::DescribedCaseName{});

TEST(CompilePostfix, ANewlineEndsTheScan) {
  const Compiled c = Compile("X\n+ garbage");
  EXPECT_EQ(c.status, kCompiled);
  EXPECT_EQ(c.code, (ByteCode{15, 0}));
}

TEST(CompilePostfix, ThirtyTwoConstantsFit) {
  const Compiled c = Compile("1 " + Repeated("1 +", 31));
  ASSERT_EQ(c.status, kCompiled) << c.error;
  EXPECT_EQ(c.code.size(), 2u + 3u * 31u + 1u);
}

TEST(CountParameters, HighestIndexPlusOneSteppingOverOperands) {
  EXPECT_EQ(CountParameters(Compile("A5").code), 6);
  EXPECT_EQ(CountParameters(Compile("A0 A3 +").code), 4);
  EXPECT_EQ(CountParameters(Compile("X 2 *").code), 0);
  // Constant 7 is an operand, not a parameter; operand 0 is not the end.
  EXPECT_EQ(CountParameters(ByteCode{8, 7, 7, 0, 1, 0}), 1);
  EXPECT_EQ(CountParameters(ByteCode{7, 31, 0}), 32);
  EXPECT_EQ(CountParameters(ByteCode{7}), 0);  // truncated: no overrun
}

TEST(IsRunnableByteCode, RefusesWhatWouldLeaveTheStack) {
  EXPECT_TRUE(IsRunnableByteCode(ByteCode{15, 0}));
  EXPECT_TRUE(IsRunnableByteCode(ByteCode{15, 99, 0}));  // no meaning: skipped
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{}));
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{15}));          // no End
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{0}));           // nothing on the stack
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{15, 15, 0}));   // two values left
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{15, 1, 0}));    // '+' with one value
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{10, 15, 0}));   // SIN on nothing
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{8, 32, 0}));    // operand out of range
  EXPECT_FALSE(IsRunnableByteCode(ByteCode{8}));           // operand missing
  ByteCode nine(9, 15);
  nine.push_back(0);
  EXPECT_FALSE(IsRunnableByteCode(nine));
}

}  // namespace
}  // namespace zentrel
