#pragma once
// What each weighting makes of one point: the chi-square is the sum of the
// squared weighted residuals r, and the engine needs dr/df to minimise
// exactly that sum where the weight depends on the model value f.

#include <limits>
#include <string>

#include "fit/fit_data.h"
#include "model/fit.h"

namespace zentrel {

struct WeightedResidual {
  double value = 0;  // r; its square is the point's chi-square contribution
  double slope = 0;  // dr/df
};

// r for data y (with y error sigma, NaN when the set has none) and model
// value f under a weighting:
//   equal       r = y - f
//   1/Y         r = (y - f) / |y|
//   1/sigma^2   r = (y - f) / sigma (y - f without y errors)
//   1/Sqrt(Y)   r = (y - f) / |f|^(1/4), 0 where f = 0
//   Poisson     r = (y - f) / sqrt(f), 0 where f <= 0: the Pearson residual;
//               the fit minimises the deviance instead (fit/poisson_deviance.h)
// An unknown weighting counts nothing.
WeightedResidual WeighResidual(int weighting, double y, double sigma, double f);

// The weight w of a point, r² = w (y − f)²: 1, 1/y², 1/σ² (1 without
// y errors), 1/|f|^(1/2) (0 where f = 0) or, for Poisson likelihood, 1/f
// (0 where f <= 0).
double PointWeight(int weighting, double y, double sigma, double f);

// The y error of point i, NaN when the set has none.
inline double SigmaAt(const FitData& data, int i) {
  return data.sigma.empty() ? std::numeric_limits<double>::quiet_NaN() : data.sigma[static_cast<size_t>(i)];
}

// Points count when fitStart <= x <= fitEnd, whatever the order of x.
inline bool InFitRange(const Fit& fit, double x) { return fit.fitStart <= x && x <= fit.fitEnd; }

// Why the fit's weighting cannot be used on the points in its range (a y
// error of 0 or not a number under 1/sigma^2, a negative count under
// Poisson likelihood); empty when it can.
std::string WeightingProblem(const Fit& fit, const FitData& data);

// True when the weights are absolute (1/sigma^2 with y errors, Poisson
// likelihood, whose variance is the model value itself): standard
// errors then come from the curvature as it is; relative weights scale it by
// the residual variance.
bool WeightsAreAbsolute(const Fit& fit, const FitData& data);

}  // namespace zentrel
