#include "fit/fit_curves.h"

#include "fit/model.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// A model that fails at some x while being drawn must not leave its error
// behind for an iterating fit to trip over.
class KeepNumericError {
 public:
  KeepNumericError() : saved_(NumericErrorState()) {}
  ~KeepNumericError() { NumericErrorState() = saved_; }
  KeepNumericError(const KeepNumericError&) = delete;
  KeepNumericError& operator=(const KeepNumericError&) = delete;

 private:
  NumericError saved_;
};

}  // namespace

std::vector<double> FitCurveValues(Fit& fit, const double* x, int n) {
  KeepNumericError keep;
  std::vector<double> values(static_cast<size_t>(n > 0 ? n : 0), 0.0);
  for (int k = 0; k < n; ++k)
    if (fit.fitStart <= x[k] && x[k] <= fit.fitEnd) values[static_cast<size_t>(k)] = ModelValue(fit, x[k]);
  return values;
}

std::vector<double> FitResidualValues(Fit& fit, const double* x, int n, double baseline, double scale) {
  KeepNumericError keep;
  std::vector<double> values(static_cast<size_t>(n > 0 ? n : 0), baseline);
  const int bound = fit.y != nullptr ? fit.pointCount : 0;
  for (int k = 0; k < n && k < bound; ++k)
    if (fit.fitStart < x[k] && x[k] < fit.fitEnd)
      values[static_cast<size_t>(k)] = baseline + scale * (ModelValue(fit, x[k]) - fit.y[k]);
  return values;
}

}  // namespace zentrel
