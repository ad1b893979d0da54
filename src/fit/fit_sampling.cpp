#include "fit/fit_sampling.h"

#include <algorithm>
#include <cmath>

#include "fit/model.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/even_grid.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Keeps the caller's numeric error state across the sampling, which clears
// every error it meets.
class KeepNumericError {
 public:
  KeepNumericError() : saved_(NumericErrorState()) { ClearNumericError(); }
  ~KeepNumericError() { NumericErrorState() = saved_; }
  KeepNumericError(const KeepNumericError&) = delete;
  KeepNumericError& operator=(const KeepNumericError&) = delete;

 private:
  NumericError saved_;
};

// Stores (x, model at x - offset) at point i unless the model raised an
// error.
bool AppendModelPoint(Data_Set& target, FitModel& model, double x, int& i, double offset = 0) {
  const double y = model(x);
  if (NumericErrorState().code != 0) {
    ClearNumericError();
    return false;
  }
  target.SetValue(0, i, x);
  target.SetValue(1, i, y - offset);
  ++i;
  return true;
}

// The model at the set's first `n` x values inside the fit range, less the
// data's y when `residual`.
std::unique_ptr<Data_Set> SampleAtData(const Data_Set& set, Fit& fit, int n, bool residual) {
  auto sampled = std::make_unique<Data_Set>();
  KeepNumericError keep;
  FitModel model(fit, FitDataOf(set));
  const double* xs = set.ColumnData(0);
  const double* ys = residual ? set.ColumnData(1) : nullptr;
  int i = 0;
  for (int j = 0; j < n; ++j) {
    const double x = xs[j];
    if (!(fit.fitStart <= x && x <= fit.fitEnd)) continue;
    AppendModelPoint(*sampled, model, x, i, residual ? ys[j] : 0.0);
  }
  return sampled;
}

}  // namespace

GridSample sampleGrid(Fit* fit, const Data_Set& owner, double from, double to, double step) {
  GridSample result;
  if (fit == nullptr || step == 0.0) return result;
  const double lo = std::min(from, to), hi = std::max(from, to);
  const double increment = std::fabs(step);
  double count = 0;
  if (hi >= lo) {
    // A step too small for the range would give points that do not move
    // (lo + step == lo) or fill all memory.
    count = EvenGridCount(lo, hi, increment);
    if (!(count <= kMaxSampledPoints) || lo + increment == lo) {
      result.tooManyPoints = true;
      return result;
    }
  }
  result.set = std::make_unique<Data_Set>();
  result.set->name = fit->name;
  if (!(hi >= lo)) return result;
  KeepNumericError keep;
  FitModel model(*fit, FitDataOf(owner));
  const auto points = static_cast<long long>(count);
  int i = 0;
  for (long long k = 0; k < points; ++k) AppendModelPoint(*result.set, model, EvenGridPoint(lo, hi, increment, k, points), i);
  return result;
}

std::unique_ptr<Data_Set> sampleAtDataX(const Data_Set& set, Fit& fit) {
  auto sampled = SampleAtData(set, fit, set.PointCount(0), false);
  sampled->name = fit.name;
  return sampled;
}

std::unique_ptr<Data_Set> ResidualsAtDataX(const Data_Set& set, Fit& fit) {
  return SampleAtData(set, fit, set.DrawablePointCount(), true);
}

}  // namespace zentrel
