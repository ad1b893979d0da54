#pragma once
// The math functions models call. They go through the checked wrappers of
// the expression engine, so a domain error or overflow inside a model sets
// the numeric error state exactly as in a typed formula.

#include "numeric/checked_math.h"
#include "numeric/erfc.h"

namespace zentrel::fitmath {

inline double Exp(double v) { return CheckedExp(v); }
inline double Pow(double base, double exponent) { return CheckedPow(base, exponent); }
inline double Log(double v) { return CheckedLog(v); }
inline double Erfc(double v) { return zentrel::Erfc(v); }

}  // namespace zentrel::fitmath
