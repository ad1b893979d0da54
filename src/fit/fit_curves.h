#pragma once
// What the graph draws of a fit: its curve and its residuals at the set's
// x values. Drawing never disturbs a fit: the numeric error state is the
// same afterwards as before.

#include <vector>

namespace zentrel {

class Fit;

// Model value where fitStart <= x[k] <= fitEnd, else 0.
std::vector<double> FitCurveValues(Fit& fit, const double* x, int n);
// baseline + scale * (model - y) where fitStart < x[k] < fitEnd (strict), else
// the baseline; y are the fit's bound values (points beyond them: baseline).
std::vector<double> FitResidualValues(Fit& fit, const double* x, int n, double baseline, double scale);

}  // namespace zentrel
