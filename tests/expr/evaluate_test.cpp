// Formulas evaluated by the native code and by the interpreter: the values of
// the language's edge cases, math errors, parameters and constants read at
// every call, the bulk entry point, and random formulas compared bit for bit.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "case_names.h"
#include "eval_both.h"
#include "expr/byte_code.h"
#include "expr/eval_function.h"
#include "expr/expression.h"
#include "numeric/erfc.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::BothEvaluators;
using testing::CompileBoth;
using testing::EvaluateBoth;
using testing::SameBits;

class NativeCode : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!NativeCodeSupported()) GTEST_SKIP() << "no native code on this machine: only the interpreter runs";
  }
  void TearDown() override { ClearNumericError(); }
};

struct ValueCase {
  const char* formula;
  double x;
  double expected;
};

std::string Describe(const ValueCase& c) {
  return testing::Printable(std::string(c.formula) + " at " + std::to_string(c.x));
}
void PrintTo(const ValueCase& c, std::ostream* os) { *os << Describe(c); }

class Values : public NativeCode, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Values, BothEvaluatorsGiveTheValue) {
  const auto result = EvaluateBoth(GetParam().formula, GetParam().x);
  EXPECT_EQ(result.error.code, 0) << GetParam().formula << ": " << result.error.message;
  // The expectations are computed by the compiler, which may round a library
  // function differently in the last place; the evaluators agree exactly.
  const double expected = GetParam().expected;
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(result.value)) << GetParam().formula;
  } else {
    EXPECT_DOUBLE_EQ(result.value, expected) << GetParam().formula << " at x=" << GetParam().x;
    EXPECT_EQ(std::signbit(result.value), std::signbit(expected)) << GetParam().formula;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Language, Values,
    ::testing::Values(
        ValueCase{"2^3^2", 0, 64}, ValueCase{"2-3-4", 0, -5}, ValueCase{"8/2/2", 0, 2}, ValueCase{"1+2*3^2", 0, 19},
        ValueCase{"-X^2", 3, -9}, ValueCase{"2^-X", 1, 0.5}, ValueCase{"2+-3", 0, -1}, ValueCase{"2*-3", 0, -6},
        ValueCase{"--X", 4, 4}, ValueCase{"-X", 0, -0.0},  // −1·0
        ValueCase{"SIN X^2", 0.7, std::sin(0.7) * std::sin(0.7)}, ValueCase{"SIN(X^2)", 0.7, std::sin(0.7 * 0.7)},
        ValueCase{"COS COS X", 0.3, std::cos(std::cos(0.3))}, ValueCase{"sin(x)+pi", 1, std::sin(1.0) + M_PI},
        ValueCase{"Pi", 0, M_PI}, ValueCase{"2e3", 0, 2000}, ValueCase{"2E+3", 0, 2000}, ValueCase{"1.5e-2", 0, 0.015},
        ValueCase{"1 2", 0, 12}, ValueCase{"STEP(0)", 0, 1}, ValueCase{"STEP(-1e-300)", 0, 0},
        ValueCase{"STEP(X)", NAN, 1}, ValueCase{"X)+1", 5, 5}, ValueCase{"X/0", 1, INFINITY},
        ValueCase{"0/0*0+X", 1, NAN}, ValueCase{"ERFC(X)", 0.5, Erfc(0.5)}, ValueCase{"ERF(X)", -0.5, 1 - Erfc(-0.5)},
        ValueCase{"ABS X+CEIL(X)+FLOOR(X)", -2.5, 2.5 - 2 - 3}, ValueCase{"LOG(X)+LN(X)", 100, 2 + std::log(100.0)},
        ValueCase{"SQRT(X)", 2, std::sqrt(2.0)}, ValueCase{"TAN(X)+ATAN(X)", 0.4, std::tan(0.4) + std::atan(0.4)},
        ValueCase{"ACOS(X)*ASIN(X)", 0.3, std::acos(0.3) * std::asin(0.3)},
        ValueCase{"COSH(X)-SINH(X)+TANH(X)", 0.8, std::cosh(0.8) - std::sinh(0.8) + std::tanh(0.8)},
        ValueCase{"EXP(X)", -800, 0.0},  // underflow: 0, no report
        ValueCase{"X^0.5", 0, 0.0},
        // Eight values on the stack with calls in between: every value below
        // the argument survives the call.
        ValueCase{"X+(X*2+(X*3+(X*4+(X*5+(X*6+(X*7+SIN(X)))))))", 0.5,
                  0.5 + (1 + (1.5 + (2 + (2.5 + (3 + (3.5 + std::sin(0.5)))))))}),
    testing::DescribedCaseName{});

TEST_F(NativeCode, ParametersAndConstantsAreReadAtEveryCall) {
  BothEvaluators both;
  ASSERT_TRUE(CompileBoth("A0*EXP(-X/A1)+A2*10", both));
  EXPECT_EQ(both.native.parameterCount, 3);
  std::array<double, 32> params{};
  params = {2, 1, 3};
  EXPECT_EQ(EvaluateBoth(both, 0, params.data()).value, 32);
  params[2] = 0.5;
  EXPECT_EQ(EvaluateBoth(both, 0, params.data()).value, 7);
  both.native.constants[1] = 100;  // the literal 10
  both.interpreted.constants[1] = 100;
  EXPECT_EQ(EvaluateBoth(both, 0, params.data()).value, 52);
}

struct MathErrorCase {
  const char* formula;
  double x;
  int code;
  const char* message;
  double value;
};

std::string Describe(const MathErrorCase& c) {
  return testing::Printable(std::string(c.formula) + " at " + std::to_string(c.x));
}
void PrintTo(const MathErrorCase& c, std::ostream* os) { *os << Describe(c); }

class MathErrors : public NativeCode, public ::testing::WithParamInterface<MathErrorCase> {};

TEST_P(MathErrors, SetTheStateAndContinueWithOne) {
  const auto result = EvaluateBoth(GetParam().formula, GetParam().x);
  EXPECT_EQ(result.error.code, GetParam().code) << GetParam().formula;
  EXPECT_EQ(result.error.message, GetParam().message) << GetParam().formula;
  EXPECT_EQ(result.value, GetParam().value) << GetParam().formula;
}

INSTANTIATE_TEST_SUITE_P(
    Reports, MathErrors,
    ::testing::Values(
        MathErrorCase{"LN(X)+1", 0, 2, "Argument singularity error occured in fn:log Arg1:0  Arg2:0", 2},
        MathErrorCase{"LN(X)", -1, 1, "Argument domain error occured in fn:log Arg1:-1  Arg2:0", 1},
        MathErrorCase{"LOG(X)*5", -2, 1, "Argument domain error occured in fn:log10 Arg1:-2  Arg2:0", 5},
        MathErrorCase{"X^0.5", -2, 1, "Argument domain error occured in fn:pow Arg1:-2  Arg2:0.5", 1},
        MathErrorCase{"X^-1", 0, 2, "Argument singularity error occured in fn:pow Arg1:0  Arg2:-1", 1},
        MathErrorCase{"10^X", 400, 3, "overflow range error error occured in fn:pow Arg1:10  Arg2:400", 1},
        MathErrorCase{"EXP(X)", 710, 3, "overflow range error error occured in fn:exp Arg1:710  Arg2:0", 1},
        MathErrorCase{"SQRT(X)", -4, 1, "Argument domain error occured in fn:sqrt Arg1:-4  Arg2:0", 1},
        MathErrorCase{"ACOS(X)", 2, 1, "Argument domain error occured in fn:acos Arg1:2  Arg2:0", 1},
        MathErrorCase{"SIN(X)", 1e17, 5, "Total loss of significance error occured in fn:sin Arg1:1e+17  Arg2:0", 1},
        MathErrorCase{"COS(X)", 1e9, 6, "artial loss of significance error occured in fn:cos Arg1:1e+09  Arg2:0", 1},
        MathErrorCase{"SIN(X/0)", 1, 1, "Argument domain error occured in fn:sin Arg1:inf  Arg2:0", 1}),
    testing::DescribedCaseName{});

TEST_F(NativeCode, TheStateStaysUntilAConsumerClearsIt) {
  BothEvaluators both;
  ASSERT_TRUE(CompileBoth("LN(X)", both));
  std::array<double, 32> params{};
  EXPECT_EQ(EvaluateBoth(both, 0, params.data()).error.code, 2);
  // A later good evaluation does not clear it.
  double result;
  const double x = 1;
  both.native.evaluator(&result, params.data(), both.native.constants.data(), &x);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(NumericErrorState().code, 2);
}

TEST_F(NativeCode, BulkGivesThePerPointResultsAndStopsAtTheFirstError) {
  BothEvaluators both;
  ASSERT_TRUE(CompileBoth("A0*EXP(-X/A1)+A2*SIN(X)^2+LN(X+4)", both));
  std::array<double, 32> params{};
  params = {2.5, 1.7, 0.3};
  std::vector<double> xs;
  for (int i = 0; i < 1000; ++i) xs.push_back(-3.0 + i * 0.01);
  xs.push_back(-4);  // LN(0)
  xs.push_back(1);
  for (const Expression* e : {&both.native, &both.interpreted}) {
    std::vector<double> ys(xs.size(), -7.0);
    ClearNumericError();
    const size_t done = e->evaluator.evaluateMany(params.data(), e->constants.data(), xs.data(), ys.data(), xs.size());
    EXPECT_EQ(done, 1001u);
    EXPECT_EQ(NumericErrorState().code, 2);
    EXPECT_EQ(ys[1001], -7.0);  // not reached
    for (size_t i = 0; i < 1000; ++i) {
      ClearNumericError();
      const double single = (*e)(params.data(), xs[i]);
      ASSERT_TRUE(SameBits(ys[i], single)) << "point " << i;
    }
    ClearNumericError();
  }
}

TEST_F(NativeCode, BulkOfAFormulaWithoutCallsAndOfNothing) {
  BothEvaluators both;
  ASSERT_TRUE(CompileBoth("X*X-A0", both));
  const std::array<double, 32> params{{1}};
  const std::vector<double> xs{1, 2, 3};
  for (const Expression* e : {&both.native, &both.interpreted}) {
    std::vector<double> ys(3);
    EXPECT_EQ(e->evaluator.evaluateMany(params.data(), e->constants.data(), xs.data(), ys.data(), 3), 3u);
    EXPECT_EQ(ys, (std::vector<double>{0, 3, 8}));
    EXPECT_EQ(e->evaluator.evaluateMany(params.data(), e->constants.data(), xs.data(), ys.data(), 0), 0u);
  }
}

TEST_F(NativeCode, EnvironmentSwitchesTheJitOff) {
  Expression expression;
  ::setenv("ZENTREL_JIT", "0", 1);
  ASSERT_TRUE(CompileExpression("X+1", expression).ok());
  EXPECT_FALSE(expression.evaluator.isNative());
  ::unsetenv("ZENTREL_JIT");
  ASSERT_TRUE(CompileExpression("X+1", expression).ok());
  EXPECT_TRUE(expression.evaluator.isNative());
}

TEST(EvalFunction, EmptyAndInvalidEvaluatorsAreSafe) {
  EvalFunction empty;
  EXPECT_FALSE(empty);
  double result = 0;
  const double x = 1;
  empty(&result, nullptr, nullptr, &x);
  EXPECT_TRUE(std::isnan(result));
  // Byte code that would run off the stack gets no evaluator.
  EXPECT_FALSE(GenerateCode(ByteCode{10, 15, 0}));
  EXPECT_FALSE(GenerateCode(ByteCode{15, 15, 0}, EvalBackend::Interpreter));
  // Releasing one copy leaves the other working.
  EvalFunction a = GenerateCode(ByteCode{15, 15, 3, 0});
  EvalFunction b = a;
  ReleaseCode(a);
  EXPECT_FALSE(a);
  const double three = 3;
  b(&result, nullptr, nullptr, &three);
  EXPECT_EQ(result, 9);
}

TEST(Expression, AFailedCompileLeavesTheOldEvaluatorAndConstants) {
  Expression expression;
  ASSERT_TRUE(CompileExpression("2*X", expression).ok());
  const std::array<double, 32> params{};
  CompileOutcome outcome = CompileExpression("3*X+", expression);
  EXPECT_EQ(outcome.failedAt, CompileStage::Compilation);
  EXPECT_EQ(outcome.status, kStackUnderflow);
  EXPECT_EQ(outcome.message, "error:stack underflow");
  EXPECT_EQ(expression(params.data(), 5), 10);
  outcome = CompileExpression("(X", expression);
  EXPECT_EQ(outcome.failedAt, CompileStage::Conversion);
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(expression.equation, "2*X");
}

struct FormulaFailure {
  const char* formula;
  CompileStage stage;
  int status;
  const char* message;
};

std::string Describe(const FormulaFailure& c) { return testing::Printable(c.formula); }
void PrintTo(const FormulaFailure& c, std::ostream* os) { *os << Describe(c); }

class FormulaFailures : public ::testing::TestWithParam<FormulaFailure> {};

TEST_P(FormulaFailures, ReportTheStageStatusAndMessage) {
  Expression expression;
  const CompileOutcome outcome = CompileExpression(GetParam().formula, expression);
  EXPECT_EQ(outcome.failedAt, GetParam().stage) << GetParam().formula;
  EXPECT_EQ(outcome.status, GetParam().status) << GetParam().formula;
  EXPECT_EQ(outcome.message, GetParam().message) << GetParam().formula;
  EXPECT_FALSE(expression.evaluator);
}

// One case per stage; the messages of each stage have their own tables.
INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaFailures,
    ::testing::Values(
        FormulaFailure{"", CompileStage::Compilation, -4, "error:incomplete expression! stack size:0"},
        FormulaFailure{"(X+1", CompileStage::Conversion, 1, "Parentheses mismatch"},
        FormulaFailure{"A32*X", CompileStage::Compilation, -1, "error:bad argument number"},
        // Its postfix form starts with nine X.
        FormulaFailure{"X+(X+(X+(X+(X+(X+(X+(X+X)))))))", CompileStage::Compilation, -7, "error:stack overflow"}),
    testing::DescribedCaseName{});

TEST_F(NativeCode, NativeCodeIsExecutableButNotWritable) {
  Expression expression;
  ASSERT_TRUE(CompileExpression("SIN(X)", expression, EvalBackend::Native).ok());
  const auto address = reinterpret_cast<std::uintptr_t>(expression.evaluator.nativeAddress());
  std::ifstream maps("/proc/self/maps");
  if (!maps) GTEST_SKIP() << "no /proc/self/maps here";
  bool found = false;
  for (std::string line; std::getline(maps, line);) {
    std::uintptr_t low = 0, high = 0;
    char permissions[5] = {};
    if (std::sscanf(line.c_str(), "%lx-%lx %4s", &low, &high, permissions) != 3) continue;
    if (address < low || address >= high) continue;
    found = true;
    EXPECT_EQ(std::string(permissions, 3), "r-x") << line;
  }
  EXPECT_TRUE(found);
}

// Random formulas over the whole language, compared bit for bit.
class RandomFormula {
 public:
  explicit RandomFormula(unsigned seed) : random_(seed) {}

  std::string make(int depth) {
    const int choice = pick(depth <= 0 ? 4 : 12);
    static const char* const kFunctions[] = {"EXP", "SIN", "COS", "TAN", "LN", "LOG", "ABS", "ACOS", "ASIN", "ATAN",
                                             "COSH", "SINH", "TANH", "SQRT", "CEIL", "FLOOR", "ERF", "ERFC", "STEP"};
    static const char* const kOperators[] = {"+", "-", "*", "/", "^"};
    switch (choice) {
      case 0: return "X";
      case 1: return "A" + std::to_string(pick(4));
      case 2: return std::to_string(pick(9)) + "." + std::to_string(pick(100));
      case 3: return "PI";
      case 4:
      case 5: return std::string(kFunctions[pick(19)]) + "(" + make(depth - 1) + ")";
      case 6: return "-" + make(depth - 1);
      default: return "(" + make(depth - 1) + kOperators[pick(5)] + make(depth - 1) + ")";
    }
  }

 private:
  int pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  std::mt19937 random_;
};

TEST_F(NativeCode, RandomFormulasAgreeBitForBit) {
  RandomFormula generator(20240611);
  const std::array<double, 32> params{{0.7, -1.3, 2.9, 1e-3}};
  const double xs[] = {-2.5, -1, -0.0, 0, 0.3, 1, 2.75, 40, 1e300, NAN, INFINITY};
  int compiled = 0;
  for (int n = 0; n < 600; ++n) {
    const std::string formula = generator.make(4);
    BothEvaluators both;
    if (!CompileExpression(formula, both.native, EvalBackend::Native).ok()) continue;  // e.g. too deep
    ASSERT_TRUE(CompileExpression(formula, both.interpreted, EvalBackend::Interpreter).ok());
    ++compiled;
    for (double x : xs) EvaluateBoth(both, x, params.data());
    if (HasFailure()) {
      ADD_FAILURE() << "formula: " << formula;
      return;
    }
  }
  EXPECT_GT(compiled, 300);
}

}  // namespace
}  // namespace zentrel
