// A cubic spline through the fitted set's own points (the scope's
// columns), plus y0; x0 shifts it. Only y0 has a derivative (1).

#include <algorithm>
#include <vector>

#include "fit/families/family_helpers.h"
#include "fit/model.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace family {

namespace {

int Count(int, int) { return 2; }

std::string Name(int) { return {}; }

double SplineValue(ModelScope& scope, double u) {
  if (!scope.spline.prepared) PrepareSpline(scope);
  if (!scope.spline.prepared) return 0;
  const double* xa = scope.data.x.data();
  const double* ya = scope.data.y.data();
  const double* y2 = scope.spline.secondDerivatives.data();
  int lo = 0, hi = static_cast<int>(scope.data.x.size()) - 1;
  while (hi - lo > 1) {
    const int mid = (hi + lo) >> 1;
    if (xa[mid] > u) hi = mid;
    else lo = mid;
  }
  const double h = xa[hi] - xa[lo];
  if (h == 0) reportNumericError("Bad xa input to routine splint");
  const double a = (xa[hi] - u) / h;
  const double b = (u - xa[lo]) / h;
  return a * ya[lo] + b * ya[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}

double Value(ModelScope& scope, double u, const double* p) { return SplineValue(scope, u) + p[0]; }

void Derivatives(ModelScope&, double, double*, double* out) { out[1] = 0; }

std::string Equation(const Fit& fit, const std::string&) {
  return JoinTerms(fit.order, [](int) { return std::string("Cubic Spline"); });
}

}  // namespace

extern const ModelFamily kCubicSplineFamily;
const ModelFamily kCubicSplineFamily = {"Cubic Spline", Count, Name, LargestOrder(Count), Value, Derivatives, nullptr,
                                        Equation};

}  // namespace family

void PrepareSpline(ModelScope& scope) {
  const int n = static_cast<int>(std::min(scope.data.x.size(), scope.data.y.size()));
  if (n <= 3) {
    scope.spline.prepared = false;
    return;
  }
  const double* x = scope.data.x.data();
  const double* y = scope.data.y.data();
  std::vector<double>& y2 = scope.spline.secondDerivatives;
  y2.assign(static_cast<size_t>(n), 0.0);
  std::vector<double> u(static_cast<size_t>(n), 0.0);
  // Zero first derivative at both ends (a clamped, not a natural, spline).
  y2[0] = -0.5;
  u[0] = (3.0 / (x[1] - x[0])) * ((y[1] - y[0]) / (x[1] - x[0]));
  for (int i = 1; i < n - 1; ++i) {
    const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
    const double p = sig * y2[i - 1] + 2.0;
    y2[i] = (sig - 1.0) / p;
    const double slopes = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
    u[i] = (6.0 * slopes / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
  }
  const double qn = 0.5;
  const double un = (3.0 / (x[n - 1] - x[n - 2])) * (0.0 - (y[n - 1] - y[n - 2]) / (x[n - 1] - x[n - 2]));
  y2[n - 1] = (un - qn * u[n - 2]) / (qn * y2[n - 2] + 1.0);
  for (int k = n - 2; k >= 0; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
  scope.spline.prepared = true;
}

}  // namespace zentrel
