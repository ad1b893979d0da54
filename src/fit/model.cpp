#include "fit/model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

#include "fit/fit_parameters.h"
#include "fit/model_table.h"
#include "fit/response_shift.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// The model without convolution.
double UnconvolvedValue(ModelScope& scope, double x, const double* p) {
  return FamilyOf(scope.fit.modelKind).value(scope, x - p[1], p);
}

// The source a convolution sums over, in ascending x, as its grid runs from
// its smallest x to its largest. Not usable (fewer than five points, no
// area) makes the convolved model 0.
struct SourceGrid {
  FitData columns;
  std::vector<double> shifted;  // the response's y moved by the fit's shift; empty for none
  double delta = 0;
  bool usable = false;
  std::span<const double> y() const { return shifted.empty() ? columns.y : std::span<const double>(shifted); }
};

SourceGrid SourceGridOf(const Fit& fit) {
  SourceGrid grid;
  if (fit.convolutionSource == nullptr || fit.convolutionArea == 0) return grid;
  grid.columns = FitDataOf(*fit.convolutionSource);
  const auto m = static_cast<int>(grid.columns.x.size());
  if (m < 5) return grid;
  grid.delta = (grid.columns.x[static_cast<size_t>(m - 1)] - grid.columns.x[0]) / (m - 1);
  grid.usable = true;
  if (fit.shift != 0) grid.shifted = ShiftedResponse(grid.columns.y, fit.shift, grid.delta);
  return grid;
}

// Calls add(lag, Simpson weight × values[i]) for every source point at a
// strictly positive lag from x; values are the (shifted) source y unless
// given.
template <class Add>
void ForEachPositiveLag(const SourceGrid& grid, double x, Add add, std::span<const double> values = {}) {
  const auto m = static_cast<int>(grid.columns.x.size());
  const std::span<const double> y = values.empty() ? grid.y() : values;
  for (int i = 0; i < m; ++i) {
    const double lag = x - (grid.columns.x[0] + i * grid.delta);
    if (!(lag > 0)) continue;
    add(lag, SimpsonWeight(i, m) * y[static_cast<size_t>(i)]);
  }
}

// Simpson-weighted convolution with the source set's y values over the
// positive lags, normalised by the source's area.
double ConvolvedValue(ModelScope& scope, double x, const double* p) {
  const SourceGrid grid = SourceGridOf(scope.fit);
  if (!grid.usable) return 0;
  double sum = 0;
  ForEachPositiveLag(grid, x, [&](double lag, double weighted) { sum += weighted * UnconvolvedValue(scope, lag, p); });
  return grid.delta / 3 * sum / scope.fit.convolutionArea;
}

// The derivatives of ConvolvedValue, summed the same way: the convolution of
// the model's own analytic derivatives (y0's included, which the convolution
// carries along with the terms).
void ConvolvedDerivatives(ModelScope& scope, double x, double* p, double* out, int count) {
  std::fill(out, out + count, 0.0);
  const SourceGrid grid = SourceGridOf(scope.fit);
  if (!grid.usable) return;
  const ModelFamily& family = FamilyOf(scope.fit.modelKind);
  ModelScope terms = scope;
  terms.termsOnly = true;
  std::array<double, kMaxFitParameters> sums{}, at{};
  ForEachPositiveLag(grid, x, [&](double lag, double weighted) {
    at.fill(0.0);
    at[0] = 1;
    family.derivatives(terms, lag - p[1], p, at.data());
    for (int q = 0; q < count; ++q) sums[static_cast<size_t>(q)] += weighted * at[static_cast<size_t>(q)];
  });
  for (int q = 0; q < count; ++q) out[q] = grid.delta / 3 * sums[static_cast<size_t>(q)] / scope.fit.convolutionArea;
}

double RiddersStep(const double* p, int index) { return p[index] != 0 ? p[index] : 1e-15; }

void AllDerivatives(ModelScope& scope, double x, double* p, double* out, const int* freeOnly = nullptr) {
  const int count = std::min(ParameterCount(scope.fit), kMaxFitParameters);
  out[0] = 1;
  const double u = x - p[1];
  const ModelFamily& family = FamilyOf(scope.fit.modelKind);
  const bool convolved = scope.fit.convolve && !scope.termsOnly;
  if (!convolved && family.derivatives != nullptr) {
    family.derivatives(scope, u, p, out);
    return;
  }
  // A convolution's derivative is the convolution of the model's own:
  // through the FFT cache on the source's grid, else summed directly.
  if (convolved && family.derivatives != nullptr) {
    double value = 0;
    if (scope.convolution == nullptr || !scope.convolution->valueAndDerivatives(scope, x, p, value, out))
      ConvolvedDerivatives(scope, x, p, out, count);
    return;
  }
  // Without formulas every derivative is numerical; y0's too when convolved.
  if (convolved) out[0] = NumericalDerivative(scope, 0, u, p, RiddersStep(p, 0));
  for (int i = 1; i < count; ++i) {
    // The engine uses only the free parameters' derivatives.
    out[i] = freeOnly != nullptr && !freeOnly[i] ? 0.0 : NumericalDerivative(scope, i, u, p, RiddersStep(p, i));
  }
}

}  // namespace

double ModelValue(ModelScope& scope, double x, const double* p) {
  if (!scope.fit.convolve || scope.termsOnly) return UnconvolvedValue(scope, x, p);
  if (scope.convolution != nullptr)
    if (const auto fast = scope.convolution->value(scope, x, p)) return *fast;
  return ConvolvedValue(scope, x, p);
}

double ShiftDerivative(ModelScope& scope, double x, const double* p) {
  if (!scope.fit.convolve || scope.termsOnly) return 0;
  if (scope.convolution != nullptr)
    if (const auto fast = scope.convolution->shiftDerivative(scope, x, p)) return *fast;
  const SourceGrid grid = SourceGridOf(scope.fit);
  if (!grid.usable) return 0;
  const std::vector<double> slope = ShiftedResponseSlope(grid.columns.y, scope.fit.shift, grid.delta);
  double sum = 0;
  ForEachPositiveLag(
      grid, x, [&](double lag, double weighted) { sum += weighted * UnconvolvedValue(scope, lag, p); }, slope);
  return grid.delta / 3 * sum / scope.fit.convolutionArea;
}

double ModelValue(ModelScope& scope, double x) { return ModelValue(scope, x, scope.fit.params.data()); }

double FitModel::operator()(double x) { return ModelValue(scope_, x); }

void ModelDerivatives(ModelScope& scope, double x, double* p, double* out) { AllDerivatives(scope, x, p, out); }

double ModelValueAndDerivatives(ModelScope& scope, double x, double* p, double* out, const int* freeOnly) {
  const ModelFamily& family = FamilyOf(scope.fit.modelKind);
  const bool convolved = scope.fit.convolve && !scope.termsOnly;
  if (!convolved && family.valueAndDerivatives != nullptr) {
    out[0] = 1;
    return family.valueAndDerivatives(scope, x - p[1], p, out);
  }
  double value = 0;
  if (convolved && scope.convolution != nullptr &&
      scope.convolution->valueAndDerivatives(scope, x, p, value, out, freeOnly))
    return value;
  value = ModelValue(scope, x, p);
  AllDerivatives(scope, x, p, out, freeOnly);
  return value;
}

double PartialDerivative(ModelScope& scope, int index, double u, double* p) {
  if (index == 0) return 1;
  std::array<double, kMaxFitParameters> all{};
  AllDerivatives(scope, u + p[1], p, all.data());
  return index < kMaxFitParameters ? all[static_cast<size_t>(index)] : 0;
}

double Ridders(ModelScope& scope, int index, double u, double* p, double h) {
  return RiddersWithError(scope, index, u, p, h).value;
}

RiddersEstimate RiddersWithError(ModelScope& scope, int index, double u, double* p, double h) {
  constexpr double kCon = 1.4, kCon2 = kCon * kCon, kBig = 1.0e30, kSafe = 2.0;
  constexpr int kTableSize = 10;
  const double x = u + p[1];
  auto difference = [&](double step) {
    p[index] += step;
    const double above = ModelValue(scope, x, p);
    p[index] -= 2 * step;
    const double below = ModelValue(scope, x, p);
    p[index] += step;
    return (above - below) / (2 * step);
  };
  double a[kTableSize + 1][kTableSize + 1] = {};
  double hh = h;
  a[1][1] = difference(hh);
  double err = kBig;
  double answer = a[1][1];
  for (int i = 2; i <= kTableSize; ++i) {
    hh /= kCon;
    a[1][i] = difference(hh);
    double fac = kCon2;
    for (int j = 2; j <= i; ++j) {
      a[j][i] = (a[j - 1][i] * fac - a[j - 1][i - 1]) / (fac - 1);
      fac = kCon2 * fac;
      const double errt = std::max(std::fabs(a[j][i] - a[j - 1][i]), std::fabs(a[j][i] - a[j - 1][i - 1]));
      if (errt <= err) {
        err = errt;
        answer = a[j][i];
      }
    }
    if (std::fabs(a[i][i] - a[i - 1][i - 1]) >= kSafe * err) break;
  }
  return {answer, err};
}

double NumericalDerivative(ModelScope& scope, int index, double u, double* p, double h) {
  // The published algorithm starts from a large step (the parameter's own
  // size). Where the model bends sharply within that step, or cannot be
  // evaluated at its far ends (a parameter of 0 in a denominator), the
  // result is wrong or a math error stops the fit, and the error estimate
  // cannot be trusted there either. So the step shrinks tenfold until two
  // successive estimates agree and the latter's error estimate is small;
  // probes that raise a math error do not count, unless every probe does.
  constexpr double kAgreement = 1e-7;
  constexpr double kGoodEnough = 1e-9;
  constexpr int kAttempts = 6;
  const NumericError before = NumericErrorState();
  NumericError lastFailure;
  RiddersEstimate best{std::nan(""), std::numeric_limits<double>::infinity()};
  bool found = false;
  bool havePrevious = false;
  double previous = 0;
  double step = h;
  for (int attempt = 0; attempt < kAttempts; ++attempt, step *= 0.1) {
    ClearNumericError();
    const RiddersEstimate estimate = RiddersWithError(scope, index, u, p, step);
    if (NumericErrorState().code != 0) {
      lastFailure = NumericErrorState();
      havePrevious = false;
      continue;
    }
    if (!found || estimate.error < best.error) best = estimate;
    found = true;
    const double scale = std::fabs(estimate.value);
    if (havePrevious && std::fabs(estimate.value - previous) <= kAgreement * scale &&
        estimate.error <= kGoodEnough * scale) {
      best = estimate;
      break;
    }
    previous = estimate.value;
    havePrevious = true;
  }
  NumericErrorState() = found ? before : lastFailure;
  return best.value;
}

}  // namespace zentrel
