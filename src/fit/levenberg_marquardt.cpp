#include "fit/levenberg_marquardt.h"

#include <algorithm>
#include <cmath>

#include "fit/convergence.h"
#include "fit/damped_solve.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/normal_equations.h"
#include "fit/response_shift.h"
#include "model/fit.h"
#include "numeric/linear_solve.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Below this the damping no longer changes the solved step; above the
// ceiling it cannot grow further without overflowing the system.
constexpr double kSmallestDamping = 1e-15;
constexpr double kDampingCeiling = 1e20;
constexpr double kStartDamping = 1e-3;
// A step that multiplies a parameter's size by more than this is not
// tried: it leaves the region where the linear model can be trusted, and
// can land on a plateau where the parameter no longer matters.
constexpr double kLargestRelativeStep = 10;

StepStatus StatusOf(int code) {
  switch (code) {
    case kNoNumericError: return StepStatus::kNoFormula;  // only the fit's own errorCode is set
    case kLmSingularError: return StepStatus::kSingularSystem;
    case kOverflowError: return StepStatus::kOverflow;
    default: return StepStatus::kMathError;
  }
}

StepResult FromErrorState(const Fit& fit) {
  return {StatusOf(NumericErrorState().code), fit.chiSquare, NumericErrorState().message};
}

// The free parameters, and the response's shift when it is fitted.
std::vector<int> FreeIndex(const Fit& fit) { return FreeEngineIndex(fit); }

bool NeedsRestart(const Fit& fit, const LevenbergMarquardtState& lm) {
  return fit.iterationCount == 0 || !lm.started || EngineParametersOf(fit) != lm.accepted ||
         FreeIndex(fit) != lm.freeIndex;
}

// The largest cosine of the angle between the residual vector and a
// Jacobian column: 0 at a stationary point, scale-free. Columns marked in
// `skip` do not count.
double GradientCosine(const LevenbergMarquardtState& lm, const std::vector<bool>& skip = {}) {
  const size_t n = lm.freeIndex.size();
  const double norm = std::sqrt(lm.chiSquare);
  double largest = 0;
  for (size_t j = 0; j < n; ++j) {
    if (!skip.empty() && skip[j]) continue;
    const double column = std::sqrt(lm.curvature[j * n + j]);
    if (column > 0 && norm > 0) largest = std::max(largest, std::fabs(lm.gradient[j]) / (column * norm));
  }
  return largest;
}

bool Start(ModelScope& scope, LevenbergMarquardtState& lm) {
  Fit& fit = scope.fit;
  lm = LevenbergMarquardtState{};
  // Values that came from a file or the command line may lie outside
  // their intervals: the run starts inside.
  MoveInsideBounds(fit);
  lm.bounded = HasActiveBounds(fit);
  for (size_t i = 0; i < lm.startSizes.size(); ++i) lm.startSizes[i] = std::fabs(EngineParameter(fit, static_cast<int>(i)));
  lm.freeIndex = FreeIndex(fit);
  lm.accepted = EngineParametersOf(fit);
  // Numerical derivatives perturb and restore the vector they are given,
  // not always to the last bit: they get a copy.
  EngineParameters probe = lm.accepted;
  const Linearisation start = Linearise(scope, probe.data(), lm.freeIndex, lm.curvature, lm.gradient);
  if (!start.usable) return false;
  const size_t n = lm.freeIndex.size();
  lm.scale.resize(n);
  for (size_t j = 0; j < n; ++j) lm.scale[j] = lm.curvature[j * n + j];
  lm.chiSquare = start.chiSquare;
  lm.lambda = kStartDamping;
  lm.started = true;
  fit.chiSquare = lm.chiSquare;
  return true;
}

// The damped system over the free parameters; false when it is singular.
bool SolveDamped(const LevenbergMarquardtState& lm, std::vector<double>& delta) {
  return SolveDampedSystem(lm.curvature, lm.gradient, lm.scale, lm.lambda, delta);
}

// A free parameter on a bound whose descent direction (the gradient -J^T r)
// points out of its interval: it stays where it is for this trial.
std::vector<bool> ActiveAtBounds(const Fit& fit, const LevenbergMarquardtState& lm) {
  const size_t n = lm.freeIndex.size();
  std::vector<bool> active(n, false);
  for (size_t j = 0; j < n; ++j) {
    const auto i = static_cast<size_t>(lm.freeIndex[j]);
    if (lm.freeIndex[j] == kShiftIndex) continue;  // the shift has no bounds
    const double p = lm.accepted[i];
    active[j] = (p <= fit.lowerBounds[i] && lm.gradient[j] <= 0) || (p >= fit.upperBounds[i] && lm.gradient[j] >= 0);
  }
  return active;
}

// The damped step of the inactive parameters, 0 for the active ones: their
// rows and columns leave the system, which keeps the others' solution that
// of the reduced problem.
bool SolveWithActiveSet(const LevenbergMarquardtState& lm, const std::vector<bool>& active, std::vector<double>& delta) {
  if (std::find(active.begin(), active.end(), true) == active.end()) return SolveDamped(lm, delta);
  const size_t n = lm.freeIndex.size();
  LevenbergMarquardtState reduced;
  reduced.freeIndex = lm.freeIndex;
  reduced.lambda = lm.lambda;
  reduced.curvature = lm.curvature;
  reduced.gradient = lm.gradient;
  reduced.scale = lm.scale;
  for (size_t j = 0; j < n; ++j) {
    if (!active[j]) continue;
    for (size_t k = 0; k < n; ++k) reduced.curvature[j * n + k] = reduced.curvature[k * n + j] = 0;
    reduced.curvature[j * n + j] = 1;
    reduced.gradient[j] = 0;
  }
  return SolveDamped(reduced, delta);
}

// Clips the trial to the intervals; the step becomes what was taken. True
// when anything was clipped.
bool ClipTrial(const Fit& fit, const LevenbergMarquardtState& lm, EngineParameters& trial,
               std::vector<double>& delta) {
  bool clipped = false;
  for (size_t j = 0; j < lm.freeIndex.size(); ++j) {
    const auto i = static_cast<size_t>(lm.freeIndex[j]);
    const double inside = ClampToBounds(fit, lm.freeIndex[j], trial[i]);
    if (inside == trial[i]) continue;
    trial[i] = inside;
    delta[j] = inside - lm.accepted[i];
    clipped = true;
  }
  return clipped;
}

// The chi-square decrease the linear model predicts for a step delta that
// does not solve the damped system: 2 delta.g - delta^T C delta, g being
// -J^T r and C J^T J.
double LinearDecrease(const LevenbergMarquardtState& lm, const std::vector<double>& delta) {
  const size_t n = lm.freeIndex.size();
  double decrease = 0;
  for (size_t j = 0; j < n; ++j) {
    double curved = 0;
    for (size_t k = 0; k < n; ++k) curved += lm.curvature[j * n + k] * delta[k];
    decrease += delta[j] * (2 * lm.gradient[j] - curved);
  }
  return decrease;
}

void Reject(LevenbergMarquardtState& lm) {
  lm.lambda = std::min(lm.lambda * lm.lambdaGrowth, kDampingCeiling);
  lm.lambdaGrowth = std::min(lm.lambdaGrowth * 2, 1024.0);
}

}  // namespace

StepResult LevenbergMarquardtTrial(ModelScope& scope, LevenbergMarquardtState& lm) {
  Fit& fit = scope.fit;
  if (NeedsRestart(fit, lm) && !Start(scope, lm)) return FromErrorState(fit);
  const size_t n = lm.freeIndex.size();
  std::vector<double> delta;
  // Bounded fits only: the unbounded path stays exactly as it was.
  const std::vector<bool> active = lm.bounded ? ActiveAtBounds(fit, lm) : std::vector<bool>{};
  if (!(lm.bounded ? SolveWithActiveSet(lm, active, delta) : SolveDamped(lm, delta))) {
    fit.errorCode = kSingularSystemError;
    SetNumericError(kLmSingularError, "LM matrix singular");
    return FromErrorState(fit);
  }
  for (size_t j = 0; j < n; ++j) {
    const auto i = static_cast<size_t>(lm.freeIndex[j]);
    const double p = lm.accepted[i];
    const double size = lm.bounded ? std::max(std::fabs(p), lm.startSizes[i]) : std::fabs(p);
    if (p != 0 && std::fabs(delta[j]) > kLargestRelativeStep * size) {
      lm.last = TrialOutcome{};
      Reject(lm);
      fit.chiSquare = lm.chiSquare;
      return {StepStatus::kSuccess, fit.chiSquare, {}};
    }
  }
  EngineParameters trial = lm.accepted;
  double predicted = 0;
  for (size_t j = 0; j < n; ++j) {
    trial[static_cast<size_t>(lm.freeIndex[j])] += delta[j];
    predicted += delta[j] * (lm.gradient[j] + lm.lambda * lm.scale[j] * delta[j]);
  }
  if (lm.bounded && ClipTrial(fit, lm, trial, delta)) predicted = LinearDecrease(lm, delta);
  EngineParameters probe = trial;
  // The model reads the shift from the fit: it takes the trial's while the
  // trial is scored, and goes back unless the trial is accepted.
  fit.shift = trial[kShiftIndex];
  const Linearisation tried = Linearise(scope, probe.data(), lm.freeIndex, lm.trialCurvature, lm.trialGradient);
  fit.shift = lm.accepted[kShiftIndex];
  lm.last = TrialOutcome{};
  fit.chiSquare = lm.chiSquare;
  if (!tried.usable && tried.outsideDomain) {
    // The deviance is +inf there: simply a worse step.
    ClearNumericError();
    Reject(lm);
    return {StepStatus::kSuccess, fit.chiSquare, {}};
  }
  if (!tried.usable) {
    // Rejected like a worse step; only the largest damping failing ends the fit.
    lm.failure = NumericErrorState().message;
    lm.failureCode = NumericErrorState().code;
    ClearNumericError();
    lm.last.unusable = true;
    Reject(lm);
    if (lm.lambda > ConvergenceTolerances{}.largestDamping) {
      SetNumericError(lm.failureCode, lm.failure);
      return FromErrorState(fit);
    }
    return {StepStatus::kSuccess, fit.chiSquare, {}};
  }
  if (!(tried.chiSquare < lm.chiSquare)) {
    Reject(lm);
    return {StepStatus::kSuccess, fit.chiSquare, {}};
  }
  // Nielsen's update: the closer the linear model's promise, the less damping.
  const double rho = predicted > 0 ? (lm.chiSquare - tried.chiSquare) / predicted : 0.0;
  const double cube = (2 * rho - 1) * (2 * rho - 1) * (2 * rho - 1);
  lm.lambda = std::max(lm.lambda * std::max(1.0 / 3, 1 - cube), kSmallestDamping);
  lm.lambdaGrowth = 2;
  lm.last.accepted = true;
  for (size_t j = 0; j < n; ++j) lm.last.step[static_cast<size_t>(lm.freeIndex[j])] = delta[j];
  lm.last.actualReduction = (lm.chiSquare - tried.chiSquare) / lm.chiSquare;
  lm.last.predictedReduction = predicted / lm.chiSquare;
  lm.curvature.swap(lm.trialCurvature);
  lm.gradient.swap(lm.trialGradient);
  for (size_t j = 0; j < n; ++j) lm.scale[j] = std::max(lm.scale[j], lm.curvature[j * n + j]);
  lm.accepted = trial;
  lm.chiSquare = tried.chiSquare;
  // A parameter held on its bound by the gradient keeps a gradient at a
  // solution: only the others must have none.
  lm.last.gradientCosine = lm.bounded ? GradientCosine(lm, ActiveAtBounds(fit, lm)) : GradientCosine(lm);
  StoreEngineParameters(fit, trial);
  fit.chiSquare = lm.chiSquare;
  return {StepStatus::kSuccess, fit.chiSquare, {}};
}

}  // namespace zentrel
