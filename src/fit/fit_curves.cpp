#include "fit/fit_curves.h"

#include "fit/model.h"
#include "model/data_set.h"
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

std::vector<double> FitCurveValues(Fit& fit, const Data_Set& set) {
  KeepNumericError keep;
  const double* x = set.ColumnData(0);
  const int n = set.PointCount(0);
  FitModel model(fit, FitDataOf(set));
  std::vector<double> values(static_cast<size_t>(n > 0 ? n : 0), 0.0);
  for (int k = 0; k < n; ++k)
    if (fit.fitStart <= x[k] && x[k] <= fit.fitEnd) values[static_cast<size_t>(k)] = model(x[k]);
  return values;
}

std::vector<double> FitResidualValues(Fit& fit, const Data_Set& set, double baseline, double scale) {
  KeepNumericError keep;
  const double* x = set.ColumnData(0);
  const int n = set.PointCount(0);
  FitModel model(fit, FitDataOf(set));
  // The set's own y, paired with its x: the model's columns are sorted by x.
  const double* y = set.ColumnCount() >= 2 ? set.ColumnData(1) : nullptr;
  std::vector<double> values(static_cast<size_t>(n > 0 ? n : 0), baseline);
  const int bound = y != nullptr ? set.DrawablePointCount() : 0;
  for (int k = 0; k < n && k < bound; ++k)
    if (fit.fitStart < x[k] && x[k] < fit.fitEnd)
      values[static_cast<size_t>(k)] = baseline + scale * (model(x[k]) - y[k]);
  return values;
}

}  // namespace zentrel
