// A cubic spline through the fitted set's own points, plus y0; x0 shifts
// it. Both parameters have derivative 0 but y0's.

#include <vector>

#include "fit/families/family_helpers.h"
#include "fit/model.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace family {

namespace {

int Count(int, int) { return 2; }

std::string Name(int) { return {}; }

double SplineValue(Fit& fit, double u) {
  if (!fit.splinePrepared) PrepareSpline(fit);
  if (!fit.splinePrepared) return 0;
  const double* xa = fit.x;
  const double* ya = fit.y;
  const double* y2 = fit.splineSecondDerivatives.data();
  int lo = 0, hi = fit.pointCount - 1;
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

double Value(Fit& fit, double u, const double* p) { return SplineValue(fit, u) + p[0]; }

void Derivatives(Fit&, double, double*, double* out) { out[1] = 0; }

std::string Equation(const Fit& fit, const std::string&) {
  return JoinTerms(fit.order, [](int) { return std::string("Cubic Spline"); });
}

}  // namespace

extern const ModelFamily kCubicSplineFamily;
const ModelFamily kCubicSplineFamily = {"Cubic Spline", Count, Name, LargestOrder(Count), Value, Derivatives, nullptr,
                                        Equation};

}  // namespace family

void PrepareSpline(Fit& fit) {
  const int n = fit.pointCount;
  if (fit.x == nullptr || fit.y == nullptr || n <= 3) {
    fit.splinePrepared = false;
    return;
  }
  const double* x = fit.x;
  const double* y = fit.y;
  std::vector<double>& y2 = fit.splineSecondDerivatives;
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
  fit.splinePrepared = true;
}

}  // namespace zentrel
