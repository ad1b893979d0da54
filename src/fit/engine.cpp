#include "fit/engine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

bool Failed(const Fit& fit) { return fit.errorCode != 0 || NumericErrorState().code != 0; }

// The contiguous index range a Levenberg-Marquardt step sums over: from the
// first point at or after fitStart up to the last before anything passes
// fitEnd. False when the range is empty.
bool PointRange(const Fit& fit, int& first, int& last) {
  const int n = fit.pointCount;
  first = 0;
  while (first < n && !(fit.x[first] >= fit.fitStart)) ++first;
  if (first >= n || fit.x[first] > fit.fitEnd) return false;
  last = first;
  while (last + 1 < n && fit.x[last + 1] <= fit.fitEnd) ++last;
  return true;
}

// One point's contribution to the chi-square under the fit's weighting.
double ChiContribution(const Fit& fit, int i, double f) {
  const double y = fit.y[i];
  switch (fit.weighting) {
    case kWeightEqual: return (y - f) * (y - f);
    case kWeightInverseY: {
      const double r = (y - f) / std::fabs(y);
      return r * r;
    }
    case kWeightInverseSigmaSquared: {
      const double r = fit.sigma != nullptr ? (y - f) / fit.sigma[i] : (y - f);
      return r * r;
    }
    case kWeightInverseSqrtY: return f != 0 ? (y - f) * (y - f) / std::sqrt(std::fabs(f)) : 0.0;
    default: return 0.0;
  }
}

// The chi-square sum's verdict: the sum itself, or 0 after a math error,
// or 1 with "Chi Squared overflow!" when it is not finite.
double FinishChiSquare(Fit& fit, double sum) {
  if (!std::isfinite(sum)) {
    SetNumericError(kOverflowError, "Chi Squared overflow!");
    return 1.0;
  }
  fit.chiSquare = sum;
  return sum;
}

// True when the points the chi-square counts are exactly first..last, as
// for x in ascending order: the derivative pass can then score the chi-
// square too, with the same model values in the same order.
bool RangeIsContiguous(const Fit& fit, int first, int last) {
  for (int i = 0; i < fit.pointCount; ++i) {
    const bool counted = fit.fitStart <= fit.x[i] && fit.x[i] <= fit.fitEnd;
    if (counted != (i >= first && i <= last)) return false;
  }
  return true;
}

// Curvature matrix (lower triangle mirrored) and gradient over the free
// parameters for parameter vector v; returns the chi-square of v.
double Accumulate(Fit& fit, double* v, int first, int last, std::vector<double>& matrix,
                  std::vector<double>& vector) {
  const int parameterCount = ParameterCount(fit);
  const int freeCount = fit.lm.freeCount;
  const auto stride = static_cast<size_t>(parameterCount);
  for (int j = 0; j < freeCount; ++j) {
    for (int k = 0; k <= j; ++k) matrix[static_cast<size_t>(j) * stride + static_cast<size_t>(k)] = 0;
    vector[static_cast<size_t>(j)] = 0;
  }
  const bool fused = RangeIsContiguous(fit, first, last);
  double chi = fused ? 0.0 : ChiSquare(fit, v);
  double chiSum = 0;
  std::array<double, kMaxFitParameters> d{};
  const double uniformWeight = 1.0 / (last - first + 1);
  for (int i = first; i <= last; ++i) {
    const double f = ModelValueAndDerivatives(fit, fit.x[i], v, d.data(), fit.freeFlags.data());
    if (fused) {
      chiSum += ChiContribution(fit, i, f);
      if (NumericErrorState().code != 0) return 0.0;
    }
    const double w = fit.sigma != nullptr ? 1.0 / (fit.sigma[i] * fit.sigma[i]) : uniformWeight;
    const double r = fit.y[i] - f;
    int j = 0;
    for (int l = 0; l < parameterCount; ++l) {
      if (!fit.freeFlags[static_cast<size_t>(l)]) continue;
      const double t = d[static_cast<size_t>(l)] * w;
      double* row = &matrix[static_cast<size_t>(j) * stride];
      int k = 0;
      for (int m = 0; m <= l; ++m) {
        if (!fit.freeFlags[static_cast<size_t>(m)]) continue;
        row[k++] += t * d[static_cast<size_t>(m)];
      }
      vector[static_cast<size_t>(j)] += r * t;
      ++j;
    }
  }
  for (int j = 1; j < freeCount; ++j)
    for (int k = 0; k < j; ++k)
      matrix[static_cast<size_t>(k) * stride + static_cast<size_t>(j)] =
          matrix[static_cast<size_t>(j) * stride + static_cast<size_t>(k)];
  if (fused) chi = FinishChiSquare(fit, chiSum);
  return chi;
}

void ReleaseWorkspace(LevenbergMarquardtState& lm) {
  lm.trialParams.clear();
  lm.beta.clear();
  lm.delta.clear();
  lm.rightHandSide.clear();
  lm.workspaceAllocated = false;
}

void MarquardtIteration(Fit& fit, int first, int last) {
  LevenbergMarquardtState& lm = fit.lm;
  const int parameterCount = ParameterCount(fit);
  const auto count = static_cast<size_t>(parameterCount);
  if (lm.lambda < 0) {
    ReleaseWorkspace(lm);
    lm.trialParams.assign(count, 0.0);
    lm.beta.assign(count, 0.0);
    lm.delta.assign(count, 0.0);
    lm.freeCount = 0;
    for (int l = 0; l < parameterCount; ++l) lm.freeCount += fit.freeFlags[static_cast<size_t>(l)] ? 1 : 0;
    lm.rightHandSide.assign(static_cast<size_t>(lm.freeCount), 0.0);
    lm.workspaceAllocated = true;
    lm.lambda = 0.001;
    lm.previousChiSquare = Accumulate(fit, fit.params.data(), first, last, lm.curvature, lm.beta);
    std::copy_n(fit.params.begin(), count, lm.trialParams.begin());
  }
  const int freeCount = lm.freeCount;
  for (int j = 0; j < freeCount; ++j) {
    for (int k = 0; k < freeCount; ++k)
      lm.covariance[static_cast<size_t>(j) * count + static_cast<size_t>(k)] =
          lm.curvature[static_cast<size_t>(j) * count + static_cast<size_t>(k)];
    lm.covariance[static_cast<size_t>(j) * count + static_cast<size_t>(j)] =
        lm.curvature[static_cast<size_t>(j) * count + static_cast<size_t>(j)] * (1.0 + lm.lambda);
    lm.rightHandSide[static_cast<size_t>(j)] = lm.beta[static_cast<size_t>(j)];
  }
  // The solver wants the free block packed with stride freeCount.
  std::vector<double> packed(static_cast<size_t>(freeCount) * static_cast<size_t>(freeCount));
  for (int j = 0; j < freeCount; ++j)
    for (int k = 0; k < freeCount; ++k)
      packed[static_cast<size_t>(j * freeCount + k)] = lm.covariance[static_cast<size_t>(j) * count + static_cast<size_t>(k)];
  if (GaussJordan(packed.data(), freeCount, lm.rightHandSide.data(), 1) != 0) {
    fit.errorCode = kSingularSystemError;
    SetNumericError(kLmSingularError, "LM matrix singular");
    return;
  }
  for (int j = 0; j < freeCount; ++j) {
    for (int k = 0; k < freeCount; ++k)
      lm.covariance[static_cast<size_t>(j) * count + static_cast<size_t>(k)] = packed[static_cast<size_t>(j * freeCount + k)];
    lm.delta[static_cast<size_t>(j)] = lm.rightHandSide[static_cast<size_t>(j)];
  }
  if (lm.lambda == 0) {
    // Only reachable by underflow after hundreds of accepted steps; the
    // workspace goes, so make the next step start afresh.
    SortCovariance(lm.covariance, parameterCount, fit.freeFlags.data(), freeCount);
    ReleaseWorkspace(lm);
    lm.lambda = -10.0;
    return;
  }
  int next = 0;
  for (int p = 0; p < parameterCount; ++p)
    if (fit.freeFlags[static_cast<size_t>(p)])
      lm.trialParams[static_cast<size_t>(p)] = fit.params[static_cast<size_t>(p)] + lm.delta[static_cast<size_t>(next++)];
  const double chi = Accumulate(fit, lm.trialParams.data(), first, last, lm.covariance, lm.delta);
  if (chi - lm.previousChiSquare < 0) {
    lm.lambda *= 0.1;
    lm.previousChiSquare = chi;
    for (int j = 0; j < freeCount; ++j) {
      for (int k = 0; k < freeCount; ++k)
        lm.curvature[static_cast<size_t>(j) * count + static_cast<size_t>(k)] =
            lm.covariance[static_cast<size_t>(j) * count + static_cast<size_t>(k)];
      lm.beta[static_cast<size_t>(j)] = lm.delta[static_cast<size_t>(j)];
    }
    std::copy_n(lm.trialParams.begin(), count, fit.params.begin());
  } else {
    lm.lambda *= 10;
    fit.chiSquare = lm.previousChiSquare;
  }
}

}  // namespace

double ChiSquare(Fit& fit, const double* p) {
  double sum = 0;
  for (int i = 0; i < fit.pointCount; ++i) {
    const double x = fit.x[i];
    if (!(fit.fitStart <= x && x <= fit.fitEnd)) continue;
    sum += ChiContribution(fit, i, ModelValue(fit, x, p));
    if (NumericErrorState().code != 0) return 0;
  }
  return FinishChiSquare(fit, sum);
}

int Step(Fit& fit, int iterations) {
  return fit.method == kMethodLevenbergMarquardt ? LevenbergMarquardtStep(fit, iterations)
                                                 : GridlessStep(fit, iterations);
}

int LevenbergMarquardtStep(Fit& fit, int iterations) {
  int first = 0, last = 0;
  if (fit.x == nullptr || fit.y == nullptr || !PointRange(fit, first, last)) return -1;
  LevenbergMarquardtState& lm = fit.lm;
  const auto count = static_cast<size_t>(ParameterCount(fit));
  if (fit.iterationCount == 0 || !lm.matricesAllocated || lm.covariance.size() != count * count) {
    lm.lambda = -10.0;
    lm.covariance.assign(count * count, 0.0);
    lm.curvature.assign(count * count, 0.0);
    lm.matricesAllocated = true;
  }
  for (int it = 0; it < iterations; ++it) {
    MarquardtIteration(fit, first, last);
    if (Failed(fit)) return -1;
    ++fit.iterationCount;
  }
  return 0;
}

int GridlessStep(Fit& fit, int iterations) {
  if (fit.pointCount == 0 || fit.x == nullptr || fit.y == nullptr) return -1;
  const int parameterCount = std::min(ParameterCount(fit), kMaxFitParameters);
  double* params = fit.params.data();
  double* steps = fit.steps.data();
  for (int i = 0; i < parameterCount; ++i) {
    if (fit.iterationCount == 0 || steps[i] == 0) steps[i] = 0.1 * params[i];
    if (steps[i] == 0) steps[i] = 0.0001;
    if (!fit.freeFlags[static_cast<size_t>(i)]) steps[i] = 0;
  }
  bool failed = false;
  auto chi = [&] {
    const double value = ChiSquare(fit, params);
    failed = Failed(fit);
    return value;
  };
  chi();
  if (failed) return -1;
  for (int it = 0; it < iterations; ++it) {
    ++fit.iterationCount;
    for (int i = 0; i < parameterCount; ++i) {
      double s = steps[i];
      if (s == 0) continue;
      const double c0 = chi();
      if (failed) return -1;
      params[i] += s;
      double c1 = chi();
      if (failed) return -1;
      double d = c1 - c0;
      for (int tries = 0; d == 0 && tries < 500; ++tries) {
        params[i] -= 2 * s;
        s = -2 * s;
        c1 = chi();
        if (failed) return -1;
        d = c1 - c0;
      }
      double current;
      if (d > 0) {  // uphill: turn round at the start
        params[i] -= s;
        s = -s;
        d = -d;
        current = c0;
      } else {
        current = c1;
      }
      double best = params[i];
      params[i] += s;
      double q = chi();
      if (failed) return -1;
      double previousDifference = d;
      double difference = q - current;
      int k = 1;
      while (difference < 0 && k < 100) {
        best = params[i];
        params[i] += s;
        ++k;
        previousDifference = difference;
        current = q;
        q = chi();
        if (failed) return -1;
        difference = q - current;
      }
      // Vertex of the parabola through the last three grid points.
      const double curvature = difference - previousDifference;
      if (curvature != 0) params[i] -= s * (difference / curvature + 0.5);
      else params[i] -= 0.5 * s;
      const double final = chi();
      if (failed) return -1;
      double newStep;
      if (final > current) {
        params[i] = best;
        newStep = (best != 0 && std::fabs(0.5 * s / best) > 1e-14) ? 0.5 * std::fabs(s) : std::fabs(s);
      } else {
        newStep = (params[i] != 0 && std::fabs(k * s / 3 / params[i]) > 1e-14) ? k * std::fabs(s) / 3
                                                                                 : std::fabs(s);
      }
      steps[i] = newStep;
    }
  }
  return 0;
}

int GaussJordan(double* a, int n, double* b, int m) {
  std::vector<int> indexColumn(static_cast<size_t>(n)), indexRow(static_cast<size_t>(n)),
      pivoted(static_cast<size_t>(n), 0);
  auto at = [&](int row, int column) -> double& { return a[static_cast<size_t>(row * n + column)]; };
  auto rhs = [&](int row, int column) -> double& { return b[static_cast<size_t>(row * m + column)]; };
  for (int i = 0; i < n; ++i) {
    double big = 0;
    int pivotRow = -1, pivotColumn = -1;
    for (int j = 0; j < n; ++j) {
      if (pivoted[static_cast<size_t>(j)] == 1) continue;
      for (int k = 0; k < n; ++k) {
        if (pivoted[static_cast<size_t>(k)] == 0) {
          if (std::fabs(at(j, k)) >= big) {
            big = std::fabs(at(j, k));
            pivotRow = j;
            pivotColumn = k;
          }
        } else if (pivoted[static_cast<size_t>(k)] > 1) {
          reportNumericError("gaussj: Singular Matrix-1");
          return -1;
        }
      }
    }
    if (pivotColumn < 0) {  // nothing comparable left (NaN entries)
      reportNumericError("gaussj: Singular Matrix-1");
      return -1;
    }
    ++pivoted[static_cast<size_t>(pivotColumn)];
    if (pivotRow != pivotColumn) {
      for (int l = 0; l < n; ++l) std::swap(at(pivotRow, l), at(pivotColumn, l));
      for (int l = 0; l < m; ++l) std::swap(rhs(pivotRow, l), rhs(pivotColumn, l));
    }
    indexRow[static_cast<size_t>(i)] = pivotRow;
    indexColumn[static_cast<size_t>(i)] = pivotColumn;
    if (at(pivotColumn, pivotColumn) == 0) {
      reportNumericError("gaussj: Singular Matrix-2");
      return -1;
    }
    const double inverse = 1.0 / at(pivotColumn, pivotColumn);
    at(pivotColumn, pivotColumn) = 1.0;
    for (int l = 0; l < n; ++l) at(pivotColumn, l) *= inverse;
    for (int l = 0; l < m; ++l) rhs(pivotColumn, l) *= inverse;
    for (int row = 0; row < n; ++row) {
      if (row == pivotColumn) continue;
      const double factor = at(row, pivotColumn);
      at(row, pivotColumn) = 0.0;
      for (int l = 0; l < n; ++l) at(row, l) -= at(pivotColumn, l) * factor;
      for (int l = 0; l < m; ++l) rhs(row, l) -= rhs(pivotColumn, l) * factor;
    }
  }
  for (int l = n - 1; l >= 0; --l) {
    const int r = indexRow[static_cast<size_t>(l)], c = indexColumn[static_cast<size_t>(l)];
    if (r == c) continue;
    for (int k = 0; k < n; ++k) std::swap(at(k, r), at(k, c));
  }
  return 0;
}

void SortCovariance(std::vector<double>& covariance, int parameterCount, const int* freeFlags, int freeCount) {
  const auto n = static_cast<size_t>(parameterCount);
  auto at = [&](int row, int column) -> double& { return covariance[static_cast<size_t>(row) * n + static_cast<size_t>(column)]; };
  for (int i = freeCount; i < parameterCount; ++i)
    for (int j = 0; j <= i; ++j) at(i, j) = at(j, i) = 0.0;
  int k = freeCount - 1;
  for (int j = parameterCount - 1; j >= 0; --j) {
    if (!freeFlags[j]) continue;
    for (int i = 0; i < parameterCount; ++i) std::swap(at(i, k), at(i, j));
    for (int i = 0; i < parameterCount; ++i) std::swap(at(k, i), at(j, i));
    --k;
  }
}

std::optional<FitUncertainties> ComputeUncertainties(Fit& fit) {
  int first = 0, last = 0;
  if (fit.x == nullptr || fit.y == nullptr || !PointRange(fit, first, last)) return std::nullopt;
  const int parameterCount = std::min(ParameterCount(fit), kMaxFitParameters);
  FitUncertainties result;
  for (int l = 0; l < parameterCount; ++l) result.freeCount += fit.freeFlags[static_cast<size_t>(l)] ? 1 : 0;
  result.points = last - first + 1;
  const int freeCount = result.freeCount;
  const int dof = result.points - freeCount;
  if (freeCount == 0 || dof <= 0) return std::nullopt;

  // Curvature and squared residuals at the fit's own parameters; the
  // engine's state is left alone.
  std::vector<double> alpha(static_cast<size_t>(freeCount * freeCount), 0.0);
  std::array<double, kMaxFitParameters> d{};
  std::array<double, kMaxFitParameters> p = fit.params;
  double squares = 0;
  for (int i = first; i <= last; ++i) {
    const double f = ModelValueAndDerivatives(fit, fit.x[i], p.data(), d.data(), fit.freeFlags.data());
    const double w = fit.sigma != nullptr ? 1.0 / (fit.sigma[i] * fit.sigma[i]) : 1.0;
    const double r = fit.y[i] - f;
    squares += r * r * w;
    int j = 0;
    for (int l = 0; l < parameterCount; ++l) {
      if (!fit.freeFlags[static_cast<size_t>(l)]) continue;
      int k = 0;
      for (int m = 0; m < parameterCount; ++m) {
        if (!fit.freeFlags[static_cast<size_t>(m)]) continue;
        alpha[static_cast<size_t>(j * freeCount + k)] += w * d[static_cast<size_t>(l)] * d[static_cast<size_t>(m)];
        ++k;
      }
      ++j;
    }
  }
  if (NumericErrorState().code != 0) return std::nullopt;
  std::vector<double> none(static_cast<size_t>(freeCount), 0.0);
  if (GaussJordan(alpha.data(), freeCount, none.data(), 1) != 0) return std::nullopt;
  // Without y errors the residual variance stands in for the unknown sigma.
  const double scale = fit.sigma != nullptr ? 1.0 : squares / dof;
  result.reducedChiSquare = fit.chiSquare / dof;
  int j = 0;
  for (int l = 0; l < parameterCount; ++l) {
    if (!fit.freeFlags[static_cast<size_t>(l)]) continue;
    const double variance = alpha[static_cast<size_t>(j * freeCount + j)] * scale;
    result.errors[static_cast<size_t>(l)] = variance >= 0 ? std::sqrt(variance) : std::nan("");
    ++j;
  }
  return result;
}

}  // namespace zentrel
