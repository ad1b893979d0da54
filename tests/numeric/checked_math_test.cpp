// The classes the checked math functions give, the substituted results and
// the message format; the erfc approximation against the exact function.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>

#include "case_names.h"
#include "numeric/checked_math.h"
#include "numeric/erfc.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct MathCase {
  const char* name;
  std::function<double(double, double)> checked;
  double a, b;
  int code;         // 0: no report
  double expected;  // NaN: the library's own value
};

std::string Describe(const MathCase& c) {
  return testing::Printable(std::string(c.name) + "(" + std::to_string(c.a) + ", " + std::to_string(c.b) + ")");
}
void PrintTo(const MathCase& c, std::ostream* os) { *os << Describe(c); }

double Library(const std::string& name, double a, double b) {
  if (name == "pow") return std::pow(a, b);
  if (name == "exp") return std::exp(a);
  if (name == "sin") return std::sin(a);
  if (name == "cos") return std::cos(a);
  if (name == "log") return std::log(a);
  if (name == "cosh") return std::cosh(a);
  return std::nan("");
}

class CheckedMath : public ::testing::TestWithParam<MathCase> {
 protected:
  void TearDown() override { ClearNumericError(); }
};

TEST_P(CheckedMath, Classifies) {
  const MathCase& c = GetParam();
  ClearNumericError();
  const double result = c.checked(c.a, c.b);
  EXPECT_EQ(NumericErrorState().code, c.code) << c.name << "(" << c.a << ", " << c.b << ")";
  const double expected = std::isnan(c.expected) ? Library(c.name, c.a, c.b) : c.expected;
  EXPECT_EQ(result, expected) << c.name << "(" << c.a << ", " << c.b << ")";
  if (c.code != 0) {
    EXPECT_NE(NumericErrorState().message.find(std::string(" error occured in fn:") + c.name + " Arg1:"),
              std::string::npos)
        << NumericErrorState().message;
  }
}

#define ONE(f) [](double a, double) { return f(a); }
const auto kPow = [](double a, double b) { return CheckedPow(a, b); };
constexpr double kLibrary = NAN;

INSTANTIATE_TEST_SUITE_P(
    Classes, CheckedMath,
    ::testing::Values(
        MathCase{"exp", ONE(CheckedExp), 1, 0, 0, kLibrary}, MathCase{"exp", ONE(CheckedExp), 709, 0, 0, kLibrary},
        MathCase{"exp", ONE(CheckedExp), 710, 0, 3, 1.0}, MathCase{"exp", ONE(CheckedExp), INFINITY, 0, 3, 1.0},
        MathCase{"exp", ONE(CheckedExp), -740, 0, 0, 0.0},  // a denormal: underflow to 0
        MathCase{"exp", ONE(CheckedExp), -INFINITY, 0, 0, 0.0}, MathCase{"exp", ONE(CheckedExp), NAN, 0, 1, 1.0},
        MathCase{"sin", ONE(CheckedSin), 1e7, 0, 0, kLibrary}, MathCase{"sin", ONE(CheckedSin), 0x1p26, 0, 6, 1.0},
        MathCase{"sin", ONE(CheckedSin), -0x1p52, 0, 5, 1.0}, MathCase{"cos", ONE(CheckedCos), INFINITY, 0, 1, 1.0},
        MathCase{"tan", ONE(CheckedTan), 1e300, 0, 5, 1.0}, MathCase{"log", ONE(CheckedLog), 1e-310, 0, 0, kLibrary},
        MathCase{"log", ONE(CheckedLog), 0.0, 0, 2, 1.0}, MathCase{"log", ONE(CheckedLog), -0.0, 0, 2, 1.0},
        MathCase{"log", ONE(CheckedLog), -1e-300, 0, 1, 1.0}, MathCase{"log", ONE(CheckedLog), INFINITY, 0, 3, 1.0},
        MathCase{"log10", ONE(CheckedLog10), 0.0, 0, 2, 1.0}, MathCase{"log10", ONE(CheckedLog10), 1000, 0, 0, 3.0},
        MathCase{"fabs", ONE(CheckedFabs), -2, 0, 0, 2.0}, MathCase{"fabs", ONE(CheckedFabs), -INFINITY, 0, 3, 1.0},
        MathCase{"acos", ONE(CheckedAcos), 1.0, 0, 0, 0.0}, MathCase{"acos", ONE(CheckedAcos), 1.0000001, 0, 1, 1.0},
        MathCase{"asin", ONE(CheckedAsin), -1.5, 0, 1, 1.0}, MathCase{"atan", ONE(CheckedAtan), NAN, 0, 1, 1.0},
        MathCase{"atan", ONE(CheckedAtan), INFINITY, 0, 0, M_PI_2}, MathCase{"cosh", ONE(CheckedCosh), 710, 0, 0, kLibrary},
        MathCase{"cosh", ONE(CheckedCosh), 711, 0, 3, 1.0}, MathCase{"sinh", ONE(CheckedSinh), -711, 0, 3, 1.0},
        MathCase{"tanh", ONE(CheckedTanh), INFINITY, 0, 0, 1.0}, MathCase{"sqrt", ONE(CheckedSqrt), -0.0, 0, 0, -0.0},
        MathCase{"sqrt", ONE(CheckedSqrt), -1, 0, 1, 1.0}, MathCase{"sqrt", ONE(CheckedSqrt), INFINITY, 0, 3, 1.0},
        MathCase{"ceil", ONE(CheckedCeil), -0.5, 0, 0, -0.0}, MathCase{"floor", ONE(CheckedFloor), NAN, 0, 1, 1.0},
        MathCase{"pow", kPow, 2, 10, 0, 1024}, MathCase{"pow", kPow, -2, 3, 0, -8},
        MathCase{"pow", kPow, -8, 1.0 / 3, 1, 1.0}, MathCase{"pow", kPow, 0, -2, 2, 1.0},
        MathCase{"pow", kPow, -0.0, -3, 2, 1.0}, MathCase{"pow", kPow, 0, 0, 0, 1.0}, MathCase{"pow", kPow, 0, 3, 0, 0.0},
        MathCase{"pow", kPow, 10, 309, 3, 1.0}, MathCase{"pow", kPow, 1e200, 2, 3, 1.0},
        MathCase{"pow", kPow, 10, -320, 0, 0.0}, MathCase{"pow", kPow, 1e-200, 2, 0, 0.0},
        MathCase{"pow", kPow, NAN, 2, 1, 1.0}, MathCase{"pow", kPow, 1, NAN, 0, 1.0},
        MathCase{"pow", kPow, 1.1, 2, 0, 1.1 * 1.1}),
    testing::DescribedCaseName{});

TEST(CheckedMath, MessageFormat) {
  ClearNumericError();
  EXPECT_EQ(CheckedLog(-1), 1.0);
  EXPECT_EQ(NumericErrorState().code, kDomainError);
  EXPECT_EQ(NumericErrorState().message, "Argument domain error occured in fn:log Arg1:-1  Arg2:0");
  EXPECT_EQ(CheckedPow(-2.5, 0.25), 1.0);
  EXPECT_EQ(NumericErrorState().message, "Argument domain error occured in fn:pow Arg1:-2.5  Arg2:0.25");
  EXPECT_EQ(CheckedTan(1e10), 1.0);
  EXPECT_EQ(NumericErrorState().code, kPartialLossError);
  EXPECT_EQ(NumericErrorState().message, "artial loss of significance error occured in fn:tan Arg1:1e+10  Arg2:0");
  EXPECT_EQ(CheckedCos(1e20), 1.0);
  EXPECT_EQ(NumericErrorState().message, "Total loss of significance error occured in fn:cos Arg1:1e+20  Arg2:0");
  EXPECT_EQ(CheckedExp(1000), 1.0);
  EXPECT_EQ(NumericErrorState().message, "overflow range error error occured in fn:exp Arg1:1000  Arg2:0");
  // Underflow leaves the last report alone.
  EXPECT_EQ(CheckedExp(-1000), 0.0);
  EXPECT_EQ(NumericErrorState().code, kOverflowError);
  ClearNumericError();
}

TEST(Erfc, ChebyshevFitWithinItsError) {
  for (double a = -6; a <= 6; a += 0.01) {
    EXPECT_NEAR(Erfc(a), std::erfc(a), 1.2e-7 * std::erfc(a) + 1e-300) << a;
    EXPECT_DOUBLE_EQ(Erf(a), 1 - Erfc(a));
  }
  EXPECT_EQ(Erfc(-INFINITY), 2.0);
  EXPECT_EQ(Erfc(INFINITY), 0.0);
  ClearNumericError();
  Erfc(1e10);
  Erfc(NAN);
  EXPECT_EQ(NumericErrorState().code, 0);  // never reports
}

}  // namespace
}  // namespace zentrel
