#include "fit/fit_curves.h"

#include <algorithm>
#include <cmath>

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

namespace zentrel {

CurveSamples SampleFitCurve(Fit& fit, const Data_Set& set, const FitSampling& sampling) {
  KeepNumericError keep;
  CurveSamples out;
  double lo = std::max(std::min(fit.fitStart, fit.fitEnd), sampling.visibleMin);
  double hi = std::min(std::max(fit.fitStart, fit.fitEnd), sampling.visibleMax);
  if (sampling.logX) lo = std::max(lo, std::nextafter(0.0, 1.0));
  if (!(lo <= hi) || !std::isfinite(lo) || !std::isfinite(hi)) return out;
  const double* x = set.ColumnData(0);
  const int n = set.PointCount(0);
  for (int k = 0; k < n; ++k)
    if (lo <= x[k] && x[k] <= hi) out.x.push_back(x[k]);
  const int samples = std::clamp(sampling.samples, 2, 100000);
  if (!fit.convolve && hi > lo) {
    const bool log = sampling.logX && lo > 0.0;
    const double a = log ? std::log(lo) : lo, b = log ? std::log(hi) : hi;
    for (int k = 0; k < samples; ++k) {
      const double t = a + (b - a) * k / (samples - 1);
      out.x.push_back(k == 0 ? lo : k == samples - 1 ? hi : log ? std::exp(t) : t);
    }
  }
  std::sort(out.x.begin(), out.x.end());
  out.x.erase(std::unique(out.x.begin(), out.x.end()), out.x.end());
  FitModel model(fit, FitDataOf(set));
  out.y.reserve(out.x.size());
  for (const double v : out.x) out.y.push_back(model(v));
  return out;
}

}  // namespace zentrel
