#pragma once
// Checked versions of the math library functions that formulas and fit
// models call. Each returns the library's value when the argument is
// ordinary; otherwise it classifies the condition and
//   - underflow: returns 0.0 and reports nothing;
//   - domain error, singularity, overflow, total or partial loss of
//     significance: sets the numeric error state (code = the class,
//     message = "<class text> error occured in fn:<name> Arg1:%lg  Arg2:%lg")
//     and returns 1.0, so the calculation goes on with that value.
// docs/math_errors.md lists which arguments give which class.

namespace zentrel {

double CheckedExp(double a);
double CheckedSin(double a);
double CheckedCos(double a);
double CheckedTan(double a);
double CheckedLog(double a);    // natural logarithm
double CheckedLog10(double a);
double CheckedFabs(double a);
double CheckedAcos(double a);
double CheckedAsin(double a);
double CheckedAtan(double a);
double CheckedCosh(double a);
double CheckedSinh(double a);
double CheckedTanh(double a);
double CheckedSqrt(double a);
double CheckedCeil(double a);
double CheckedFloor(double a);
double CheckedPow(double a, double b);

// Beyond these magnitudes the argument of sin, cos and tan no longer pins the
// angle down: partial loss (fewer than half of the significant digits of the
// angle are known), then total loss (doubles there are a radian or more apart).
inline constexpr double kPartialLossBound = 0x1p26;
inline constexpr double kTotalLossBound = 0x1p52;

}  // namespace zentrel
