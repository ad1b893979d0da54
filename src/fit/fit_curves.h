#pragma once
// What the graph draws of a fit: its curve and its residuals at the set's
// x values. Drawing never disturbs a fit: the numeric error state is the
// same afterwards as before.

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

}  // namespace zentrel
