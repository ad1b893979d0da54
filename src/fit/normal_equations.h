#pragma once
// The Gauss-Newton linearisation of a fit's weighted residuals over the
// points in its range: J^T J, -J^T r and the chi-square sum r^T r, in one
// pass over the data. The Levenberg-Marquardt step and the standard errors
// both start from it, so both see the chi-square the fit reports.

#include <string>
#include <vector>

#include "fit/model.h"

namespace zentrel {

struct Linearisation {
  int points = 0;     // points in the fit range
  double chiSquare = 0;
  bool usable = true; // false when the model raised a math error or a residual was not finite
  // Poisson likelihood: a model value at which the deviance is +inf (usable
  // is then false too). A step there is worse than any, not a failure.
  bool outsideDomain = false;
};

// Fills curvature (n x n packed, n = freeIndex.size()) with J^T J and
// gradient with -J^T r for the parameters p, J being the derivatives of the
// weighted residuals (fit/weights.h) with respect to the free parameters
// listed in freeIndex (the shift's index, fit/response_shift.h, last when
// the shift is fitted; the model reads the shift from the fit). The points are those of ChiSquare, in the same
// order, so chiSquare equals ChiSquare(scope, p). A math error of the model
// is left in the numeric error state; a residual that is not finite sets
// "Chi Squared overflow!".
Linearisation Linearise(ModelScope& scope, double* p, const std::vector<int>& freeIndex, std::vector<double>& curvature,
                        std::vector<double>& gradient);

}  // namespace zentrel
