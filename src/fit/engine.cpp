#include "fit/engine.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "fit/fit_parameters.h"
#include "fit/gridless.h"
#include "fit/levenberg_marquardt.h"
#include "fit/model.h"
#include "fit/normal_equations.h"
#include "fit/poisson_deviance.h"
#include "fit/response_shift.h"
#include "fit/weights.h"
#include "numeric/linear_solve.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// The index range a step sums over: the data are in ascending x, so the
// points inside fitStart..fitEnd are first..last. False when none is.
bool PointRange(const Fit& fit, const FitData& data, int& first, int& last) {
  return PointsInRange(data, fit.fitStart, fit.fitEnd, first, last);
}

// The chi-square sum's verdict: the sum itself, or 1 with "Chi Squared
// overflow!" when it is not finite.
double FinishChiSquare(Fit& fit, double sum) {
  if (!std::isfinite(sum)) {
    SetNumericError(kOverflowError, "Chi Squared overflow!");
    return 1.0;
  }
  fit.chiSquare = sum;
  return sum;
}

}  // namespace

double ChiSquare(ModelScope& scope, const double* p) {
  const Fit& fit = scope.fit;
  const FitData& data = scope.data;
  double sum = 0;
  for (int i = 0; i < static_cast<int>(data.x.size()); ++i) {
    const double x = data.x[static_cast<size_t>(i)];
    if (!InFitRange(fit, x)) continue;
    const double f = ModelValue(scope, x, p);
    if (NumericErrorState().code != 0) return 0;
    if (fit.weighting == kWeightPoisson) {
      const double y = data.y[static_cast<size_t>(i)];
      const PoissonTerm term = PoissonPointTerm(y, f);
      if (!term.finite) {
        SetNumericError(kDomainError, PoissonDomainMessage(x, y, f));
        return 0;
      }
      sum += term.deviance;
      continue;
    }
    const double r = WeighResidual(fit.weighting, data.y[static_cast<size_t>(i)], SigmaAt(data, i), f).value;
    sum += r * r;
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
  if (std::string problem = WeightingProblem(fit, data); !problem.empty())
    return {StepStatus::kBadWeights, fit.chiSquare, problem};
  return fit.method == kMethodLevenbergMarquardt ? LevenbergMarquardtStep(fit, data, work, iterations)
                                                 : GridlessStep(fit, data, work, iterations);
}

StepResult LevenbergMarquardtStep(Fit& fit, const FitData& data, FitWorkspace& work, int iterations) {
  if (CountPointsInRange(data, fit.fitStart, fit.fitEnd) == 0) return NoPoints(fit);
  if (std::string problem = WeightingProblem(fit, data); !problem.empty())
    return {StepStatus::kBadWeights, fit.chiSquare, problem};
  ModelScope scope = StepScope(fit, data, work);
  for (int it = 0; it < iterations; ++it) {
    if (StepResult trial = LevenbergMarquardtTrial(scope, work.lm); !trial.ok()) return trial;
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
  FitModel model(fit, data);
  const std::vector<int> freeIndex = FreeEngineIndex(fit);
  FitUncertainties result;
  result.freeCount = static_cast<int>(freeIndex.size());
  // The curvature of the chi-square the fit reports, at its own parameters;
  // the engine's state is left alone.
  std::vector<double> alpha, gradient;
  EngineParameters p = EngineParametersOf(fit);
  const Linearisation at = Linearise(model.scope(), p.data(), freeIndex, alpha, gradient);
  result.points = at.points;
  const int freeCount = result.freeCount;
  const int dof = result.points - freeCount;
  if (!at.usable || freeCount == 0 || dof <= 0) return std::nullopt;
  std::vector<double> none(static_cast<size_t>(freeCount), 0.0);
  if (GaussJordan(alpha.data(), freeCount, none.data(), 1) != 0) return std::nullopt;
  // Relative weights leave the scale of the errors unknown: the residual
  // variance stands in for it. Weights 1/sigma^2 are absolute.
  const double scale = WeightsAreAbsolute(fit, data) ? 1.0 : at.chiSquare / dof;
  result.reducedChiSquare = fit.chiSquare / dof;
  result.freeIndex = freeIndex;
  result.covariance.assign(alpha.begin(), alpha.begin() + freeCount * freeCount);
  for (double& c : result.covariance) c *= scale;
  for (int j = 0; j < freeCount; ++j) {
    const double variance = alpha[static_cast<size_t>(j * freeCount + j)] * scale;
    result.errors[static_cast<size_t>(freeIndex[static_cast<size_t>(j)])] =
        variance >= 0 ? std::sqrt(variance) : std::nan("");
  }
  return result;
}

}  // namespace zentrel
