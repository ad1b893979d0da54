#pragma once
// Compiles a formula for both evaluators and checks that they agree bit for
// bit (NaN payloads aside), error state included.

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include "expr/expression.h"
#include "numeric/numeric_error.h"

namespace zentrel::testing {

inline bool SameBits(double a, double b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct BothEvaluators {
  Expression native;
  Expression interpreted;
};

// Fails the test (and returns false) when the formula does not compile.
inline bool CompileBoth(const std::string& formula, BothEvaluators& both) {
  const CompileOutcome a = CompileExpression(formula, both.native, EvalBackend::Native);
  const CompileOutcome b = CompileExpression(formula, both.interpreted, EvalBackend::Interpreter);
  EXPECT_TRUE(a.ok()) << formula << ": " << a.message;
  EXPECT_TRUE(b.ok()) << formula << ": " << b.message;
  if (!a.ok() || !b.ok()) return false;
  EXPECT_TRUE(both.native.evaluator.isNative()) << formula;
  EXPECT_FALSE(both.interpreted.evaluator.isNative()) << formula;
  return true;
}

struct Evaluation {
  double value = 0;
  NumericError error;
};

// Evaluates with both, from a cleared error state each time; expects the same
// bits and the same error state, and returns the native result. The error
// state is left as the native evaluation left it.
inline Evaluation EvaluateBoth(const BothEvaluators& both, double x, const double* params) {
  ClearNumericError();
  const double interpreted = both.interpreted(params, x);
  const NumericError interpretedError = NumericErrorState();
  ClearNumericError();
  const double native = both.native(params, x);
  const NumericError nativeError = NumericErrorState();
  EXPECT_TRUE(SameBits(native, interpreted))
      << both.native.equation << " at x=" << x << ": native " << native << ", interpreted " << interpreted;
  EXPECT_EQ(nativeError.code, interpretedError.code) << both.native.equation << " at x=" << x;
  EXPECT_EQ(nativeError.message, interpretedError.message) << both.native.equation << " at x=" << x;
  return {native, nativeError};
}

inline Evaluation EvaluateBoth(const std::string& formula, double x, const double* params = nullptr) {
  static const std::array<double, 32> kZeros{};
  BothEvaluators both;
  if (!CompileBoth(formula, both)) return {std::nan(""), {}};
  return EvaluateBoth(both, x, params ? params : kZeros.data());
}

}  // namespace zentrel::testing
