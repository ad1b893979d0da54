#pragma once
// The complementary error function used by formulas (ERF, ERFC) and by the
// fit models: a Chebyshev fit with fractional error below 1.2e-7. It never
// reports a numeric error.

namespace zentrel {

double Erfc(double a);
// 1 − Erfc(a).
double Erf(double a);

}  // namespace zentrel
