#include "numeric/checked_math.h"

#include <cfloat>
#include <cmath>

#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

constexpr const char* kClassText[] = {
    "", "Argument domain", "Argument singularity", "overflow range error", "", "Total loss of significance",
    "artial loss of significance",
};

// The common tail of every exceptional case but underflow: the state is set
// and the calculation continues with 1.0.
[[gnu::cold, gnu::noinline]] double Report(int errorClass, const char* function, double arg1, double arg2 = 0.0) {
  SetNumericError(errorClass,
                  CFormat("%s error occured in fn:%s Arg1:%lg  Arg2:%lg", kClassText[errorClass], function, arg1, arg2));
  return 1.0;
}

// The fast paths test only what is cheap; these decide the rest.
[[gnu::cold, gnu::noinline]] double TrigSlow(const char* function, double a) {
  if (!std::isfinite(a)) return Report(kDomainError, function, a);
  if (std::fabs(a) >= kTotalLossBound) return Report(kTotalLossError, function, a);
  return Report(kPartialLossError, function, a);
}

[[gnu::cold, gnu::noinline]] double LogSlow(const char* function, double a) {
  if (std::isnan(a) || a < 0) return Report(kDomainError, function, a);
  if (a == 0) return Report(kSingularityError, function, a);
  return Report(kOverflowError, function, a);  // +inf
}

// A NaN argument (domain) or an infinite result (overflow).
[[gnu::cold, gnu::noinline]] double NonFiniteSlow(const char* function, double a) {
  return Report(std::isnan(a) ? kDomainError : kOverflowError, function, a);
}

}  // namespace

double CheckedExp(double a) {
  const double r = std::exp(a);
  if (r >= DBL_MIN && r <= DBL_MAX) [[likely]]
    return r;
  if (std::isnan(a)) return Report(kDomainError, "exp", a);
  if (r > DBL_MAX) return Report(kOverflowError, "exp", a);
  return 0.0;  // underflow: zero or a denormal
}

double CheckedSin(double a) {
  if (std::fabs(a) < kPartialLossBound) [[likely]]
    return std::sin(a);
  return TrigSlow("sin", a);
}

double CheckedCos(double a) {
  if (std::fabs(a) < kPartialLossBound) [[likely]]
    return std::cos(a);
  return TrigSlow("cos", a);
}

double CheckedTan(double a) {
  if (std::fabs(a) < kPartialLossBound) [[likely]]
    return std::tan(a);
  return TrigSlow("tan", a);
}

double CheckedLog(double a) {
  if (a > 0 && a <= DBL_MAX) [[likely]]
    return std::log(a);
  return LogSlow("log", a);
}

double CheckedLog10(double a) {
  if (a > 0 && a <= DBL_MAX) [[likely]]
    return std::log10(a);
  return LogSlow("log10", a);
}

double CheckedFabs(double a) {
  if (std::fabs(a) <= DBL_MAX) [[likely]]
    return std::fabs(a);
  return NonFiniteSlow("fabs", a);
}

double CheckedAcos(double a) {
  if (std::fabs(a) <= 1.0) [[likely]]
    return std::acos(a);
  return Report(kDomainError, "acos", a);
}

double CheckedAsin(double a) {
  if (std::fabs(a) <= 1.0) [[likely]]
    return std::asin(a);
  return Report(kDomainError, "asin", a);
}

double CheckedAtan(double a) {
  if (!std::isnan(a)) [[likely]]
    return std::atan(a);
  return Report(kDomainError, "atan", a);
}

double CheckedCosh(double a) {
  const double r = std::cosh(a);
  if (std::fabs(r) <= DBL_MAX) [[likely]]
    return r;
  return NonFiniteSlow("cosh", a);
}

double CheckedSinh(double a) {
  const double r = std::sinh(a);
  if (std::fabs(r) <= DBL_MAX) [[likely]]
    return r;
  return NonFiniteSlow("sinh", a);
}

double CheckedTanh(double a) {
  if (!std::isnan(a)) [[likely]]
    return std::tanh(a);
  return Report(kDomainError, "tanh", a);
}

double CheckedSqrt(double a) {
  if (a >= 0 && a <= DBL_MAX) [[likely]]
    return std::sqrt(a);
  if (std::isnan(a) || a < 0) return Report(kDomainError, "sqrt", a);
  return Report(kOverflowError, "sqrt", a);
}

double CheckedCeil(double a) {
  if (std::fabs(a) <= DBL_MAX) [[likely]]
    return std::ceil(a);
  return NonFiniteSlow("ceil", a);
}

double CheckedFloor(double a) {
  if (std::fabs(a) <= DBL_MAX) [[likely]]
    return std::floor(a);
  return NonFiniteSlow("floor", a);
}

double CheckedPow(double a, double b) {
  // Squares are common (SIN(X)^2); a*a is the correctly rounded square.
  const double r = b == 2.0 ? a * a : std::pow(a, b);
  const double magnitude = std::fabs(r);
  if (magnitude >= DBL_MIN && magnitude <= DBL_MAX) [[likely]]
    return r;
  // NaN: a NaN argument, or a negative base with a non-integer exponent.
  if (std::isnan(r)) return Report(kDomainError, "pow", a, b);
  if (std::isinf(r)) return Report(a == 0 ? kSingularityError : kOverflowError, "pow", a, b);
  if (r == 0 && a == 0) return r;  // zero to a positive power is exactly zero
  return 0.0;                      // underflow
}

}  // namespace zentrel
