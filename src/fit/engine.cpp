#include "fit/engine.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "fit/fit_parameters.h"
#include "fit/gridless.h"
#include "fit/model.h"
#include "numeric/linear_solve.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

bool Failed(const Fit& fit) { return fit.errorCode != 0 || NumericErrorState().code != 0; }

// The index range a step sums over: the data are in ascending x, so the
// points inside fitStart..fitEnd are first..last. False when none is.
bool PointRange(const Fit& fit, const FitData& data, int& first, int& last) {
  return PointsInRange(data, fit.fitStart, fit.fitEnd, first, last);
}

// One point's contribution to the chi-square under the fit's weighting.
double ChiContribution(const Fit& fit, const FitData& data, int i, double f) {
  const double y = data.y[i];
  switch (fit.weighting) {
    case kWeightEqual: return (y - f) * (y - f);
    case kWeightInverseY: {
      const double r = (y - f) / std::fabs(y);
      return r * r;
    }
    case kWeightInverseSigmaSquared: {
      const double r = !data.sigma.empty() ? (y - f) / data.sigma[i] : (y - f);
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
bool RangeIsContiguous(const Fit& fit, const FitData& data, int first, int last) {
  for (int i = 0; i < static_cast<int>(data.x.size()); ++i) {
    const bool counted = fit.fitStart <= data.x[i] && data.x[i] <= fit.fitEnd;
    if (counted != (i >= first && i <= last)) return false;
  }
  return true;
}

// Curvature matrix (lower triangle mirrored) and gradient over the free
// parameters for parameter vector v; returns the chi-square of v.
double Accumulate(ModelScope& scope, int freeCount, double* v, int first, int last, std::vector<double>& matrix,
                  std::vector<double>& vector) {
  Fit& fit = scope.fit;
  const FitData& data = scope.data;
  const int parameterCount = ParameterCount(fit);
  const auto stride = static_cast<size_t>(parameterCount);
  for (int j = 0; j < freeCount; ++j) {
    for (int k = 0; k <= j; ++k) matrix[static_cast<size_t>(j) * stride + static_cast<size_t>(k)] = 0;
    vector[static_cast<size_t>(j)] = 0;
  }
  const bool fused = RangeIsContiguous(fit, data, first, last);
  double chi = fused ? 0.0 : ChiSquare(scope, v);
  double chiSum = 0;
  std::array<double, kMaxFitParameters> d{};
  const double uniformWeight = 1.0 / (last - first + 1);
  for (int i = first; i <= last; ++i) {
    const double f = ModelValueAndDerivatives(scope, data.x[i], v, d.data(), fit.freeFlags.data());
    if (fused) {
      chiSum += ChiContribution(fit, data, i, f);
      if (NumericErrorState().code != 0) return 0.0;
    }
    const double w = !data.sigma.empty() ? 1.0 / (data.sigma[i] * data.sigma[i]) : uniformWeight;
    const double r = data.y[i] - f;
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

void MarquardtIteration(ModelScope& scope, LevenbergMarquardtState& lm, int first, int last) {
  Fit& fit = scope.fit;
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
    lm.previousChiSquare = Accumulate(scope, lm.freeCount, fit.params.data(), first, last, lm.curvature, lm.beta);
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
  const double chi = Accumulate(scope, freeCount, lm.trialParams.data(), first, last, lm.covariance, lm.delta);
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

double ChiSquare(ModelScope& scope, const double* p) {
  const Fit& fit = scope.fit;
  const FitData& data = scope.data;
  double sum = 0;
  for (int i = 0; i < static_cast<int>(data.x.size()); ++i) {
    const double x = data.x[i];
    if (!(fit.fitStart <= x && x <= fit.fitEnd)) continue;
    sum += ChiContribution(fit, data, i, ModelValue(scope, x, p));
    if (NumericErrorState().code != 0) return 0;
  }
  return FinishChiSquare(scope.fit, sum);
}

namespace {

StepStatus FailureStatus() {
  switch (NumericErrorState().code) {
    case kNoNumericError: return StepStatus::kNoFormula;  // only the model's own errorCode is set
    case kLmSingularError: return StepStatus::kSingularSystem;
    case kOverflowError: return StepStatus::kOverflow;
    default: return StepStatus::kMathError;
  }
}

StepResult Succeeded(const Fit& fit) { return {StepStatus::kSuccess, fit.chiSquare, {}}; }
// A restarted fit may have new columns: the spline through the old ones goes.
ModelScope StepScope(Fit& fit, const FitData& data, FitWorkspace& work) {
  if (fit.iterationCount == 0) {
    work.spline.prepared = false;
    work.convolution.clear();
  }
  return {fit, data, work.spline, &work.convolution};
}

StepResult NoPoints(const Fit& fit) { return {StepStatus::kNoPoints, fit.chiSquare, {}}; }
StepResult FailedStep(const Fit& fit) { return {FailureStatus(), fit.chiSquare, NumericErrorState().message}; }

}  // namespace

StepResult Step(Fit& fit, const FitData& data, FitWorkspace& work, int iterations) {
  return fit.method == kMethodLevenbergMarquardt ? LevenbergMarquardtStep(fit, data, work, iterations)
                                                 : GridlessStep(fit, data, work, iterations);
}

StepResult LevenbergMarquardtStep(Fit& fit, const FitData& data, FitWorkspace& work, int iterations) {
  int first = 0, last = 0;
  if (!PointRange(fit, data, first, last)) return NoPoints(fit);
  LevenbergMarquardtState& lm = work.lm;
  ModelScope scope = StepScope(fit, data, work);
  const auto count = static_cast<size_t>(ParameterCount(fit));
  if (fit.iterationCount == 0 || !lm.matricesAllocated || lm.covariance.size() != count * count) {
    lm.lambda = -10.0;
    lm.covariance.assign(count * count, 0.0);
    lm.curvature.assign(count * count, 0.0);
    lm.matricesAllocated = true;
  }
  for (int it = 0; it < iterations; ++it) {
    MarquardtIteration(scope, lm, first, last);
    if (Failed(fit)) return FailedStep(fit);
    ++fit.iterationCount;
  }
  return Succeeded(fit);
}

StepResult GridlessStep(Fit& fit, const FitData& data, FitWorkspace& work, int iterations) {
  // With no point in range every chi-square is 0 and the search would
  // walk the steps out to overflow.
  int first = 0, last = 0;
  if (!PointRange(fit, data, first, last)) return NoPoints(fit);
  ModelScope scope = StepScope(fit, data, work);
  PrepareGridless(fit, work.gridless);
  for (int it = 0; it < iterations; ++it) {
    ++fit.iterationCount;
    if (!GridlessSweep(scope, work.gridless)) return FailedStep(fit);
  }
  return Succeeded(fit);
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

std::optional<FitUncertainties> ComputeUncertainties(Fit& fit, const FitData& data) {
  int first = 0, last = 0;
  if (!PointRange(fit, data, first, last)) return std::nullopt;
  FitModel model(fit, data);
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
    const double f = ModelValueAndDerivatives(model.scope(), data.x[i], p.data(), d.data(), fit.freeFlags.data());
    const double w = !data.sigma.empty() ? 1.0 / (data.sigma[i] * data.sigma[i]) : 1.0;
    const double r = data.y[i] - f;
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
  const double scale = !data.sigma.empty() ? 1.0 : squares / dof;
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
