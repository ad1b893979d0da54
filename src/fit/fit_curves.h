#pragma once
// What the graph draws of a fit: its curve and its residuals at the set's
// x values. Drawing never disturbs a fit: the numeric error state is the
// same afterwards as before.

#include <cmath>
#include <vector>

namespace zentrel {

class Data_Set;
class Fit;

// Model value at each x of the fit's set where fitStart <= x <= fitEnd,
// else 0.
std::vector<double> FitCurveValues(Fit& fit, const Data_Set& set);
// baseline + scale * (model - y) at each x of the set where fitStart < x <
// fitEnd (strict), else the baseline; points without a y: the baseline.
std::vector<double> FitResidualValues(Fit& fit, const Data_Set& set, double baseline, double scale);

// A fit's curve as a smooth line: x from the fit range (narrowed to
// [visibleMin, visibleMax]) in `samples` even steps (even in log x when
// logX), merged with the set's x inside it, ascending, and the model at
// each. A convolved fit is known only at the set's x and is sampled there.
struct FitSampling {
  int samples = 500;
  double visibleMin = -HUGE_VAL;
  double visibleMax = HUGE_VAL;
  bool logX = false;
};
struct CurveSamples {
  std::vector<double> x;
  std::vector<double> y;
};
CurveSamples SampleFitCurve(Fit& fit, const Data_Set& set, const FitSampling& sampling);

}  // namespace zentrel
