#include "fit/global_fit.h"

#include <algorithm>
#include <cmath>

#include "fit/damped_solve.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/normal_equations.h"
#include "fit/weights.h"
#include "numeric/linear_solve.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// The same limits as a single fit's trial (levenberg_marquardt.cpp).
constexpr double kSmallestDamping = 1e-15;
constexpr double kDampingCeiling = 1e20;
constexpr double kStartDamping = 1e-3;
constexpr double kLargestRelativeStep = 10;

}  // namespace

GlobalLinearisation LineariseGlobal(std::span<GlobalFitMember> members, const GlobalLayout& layout,
                                    const std::vector<double>& joint, GlobalFitWorkspace& work,
                                    std::vector<double>& curvature, std::vector<double>& gradient) {
  const size_t n = layout.unknowns.size();
  curvature.assign(n * n, 0.0);
  gradient.assign(n, 0.0);
  GlobalLinearisation result;
  result.memberChiSquare.assign(members.size(), 0.0);
  while (work.members.size() < members.size()) work.members.push_back(std::make_unique<FitWorkspace>());
  std::vector<double> blockCurvature, blockGradient;
  for (size_t m = 0; m < members.size(); ++m) {
    Fit& fit = *members[m].fit;
    FitWorkspace& own = *work.members[m];
    ModelScope scope{fit, members[m].data, own.spline, &own.convolution};
    std::array<double, kMaxFitParameters> p = fit.params;
    WriteJointParameters(layout, static_cast<int>(m), joint, p);
    const std::vector<int>& freeIndex = layout.freeIndex[m];
    const Linearisation part = Linearise(scope, p.data(), freeIndex, blockCurvature, blockGradient);
    result.points += part.points;
    if (!part.usable) {
      result.usable = false;
      result.failedMember = static_cast<int>(m);
      return result;
    }
    result.memberChiSquare[m] = part.chiSquare;
    result.chiSquare += part.chiSquare;
    // Each fit's residuals depend on the shared slots and its own only:
    // its block adds into the rows and columns of those slots.
    const std::vector<int>& slotOf = layout.slotOf[m];
    const size_t b = freeIndex.size();
    for (size_t j = 0; j < b; ++j) {
      const auto row = static_cast<size_t>(slotOf[j]);
      gradient[row] += blockGradient[j];
      for (size_t k = 0; k < b; ++k) curvature[row * n + static_cast<size_t>(slotOf[k])] += blockCurvature[j * b + k];
    }
  }
  return result;
}

namespace {

StepResult Failed(const GlobalFitMember* member, double chiSquare) {
  StepStatus status = StepStatus::kMathError;
  switch (NumericErrorState().code) {
    case kNoNumericError: status = StepStatus::kNoFormula; break;
    case kLmSingularError: status = StepStatus::kSingularSystem; break;
    case kOverflowError: status = StepStatus::kOverflow; break;
    default: break;
  }
  std::string message = NumericErrorState().message;
  if (member != nullptr && !message.empty()) message = MemberMessage(*member, message);
  return {status, chiSquare, message};
}

bool NeedsRestart(std::span<GlobalFitMember> members, const SharedFlags& shared, const GlobalFitWorkspace& work) {
  const GlobalLmState& lm = work.lm;
  if (!lm.started || shared != work.shared || lm.memberParams.size() != members.size()) return true;
  // A fit whose set's columns changed was restarted (iteration count 0):
  // its caches belong to the old columns.
  for (size_t m = 0; m < members.size(); ++m)
    if (members[m].fit->iterationCount == 0 || members[m].fit->params != lm.memberParams[m] ||
        members[m].fit->freeFlags != lm.memberFlags[m])
      return true;
  return false;
}

// Writes the accepted vector into the fits and remembers what was written.
void Publish(std::span<GlobalFitMember> members, GlobalFitWorkspace& work) {
  GlobalLmState& lm = work.lm;
  lm.memberParams.resize(members.size());
  lm.memberFlags.resize(members.size());
  for (size_t m = 0; m < members.size(); ++m) {
    Fit& fit = *members[m].fit;
    WriteJointParameters(work.layout, static_cast<int>(m), lm.accepted, fit.params);
    fit.chiSquare = lm.memberChiSquare[m];
    lm.memberParams[m] = fit.params;
    lm.memberFlags[m] = fit.freeFlags;
  }
}

// False when the start vector cannot be evaluated; failedMember then
// names the fit whose model failed.
bool Start(std::span<GlobalFitMember> members, const SharedFlags& shared, GlobalFitWorkspace& work, int& failedMember) {
  AlignSharedParameters(members, shared);
  for (GlobalFitMember& member : members) MoveInsideBounds(*member.fit);
  work.shared = shared;
  work.layout = MakeGlobalLayout(members, shared);
  work.lm = GlobalLmState{};
  // New columns may have come with the restart: the caches go.
  for (auto& own : work.members) {
    own->spline.prepared = false;
    own->convolution.clear();
  }
  GlobalLmState& lm = work.lm;
  const GlobalLayout& layout = work.layout;
  lm.accepted = JointParameters(layout, members);
  const size_t n = lm.accepted.size();
  for (size_t j = 0; j < n; ++j) {
    lm.startSizes.push_back(std::fabs(lm.accepted[j]));
    lm.bounded = lm.bounded || std::isfinite(layout.lower[j]) || std::isfinite(layout.upper[j]);
  }
  const GlobalLinearisation at = LineariseGlobal(members, layout, lm.accepted, work, lm.curvature, lm.gradient);
  failedMember = at.failedMember;
  if (!at.usable) return false;
  lm.scale.resize(n);
  for (size_t j = 0; j < n; ++j) lm.scale[j] = lm.curvature[j * n + j];
  lm.chiSquare = at.chiSquare;
  lm.memberChiSquare = at.memberChiSquare;
  lm.lambda = kStartDamping;
  lm.started = true;
  Publish(members, work);
  return true;
}

std::vector<bool> ActiveAtBounds(const GlobalLayout& layout, const GlobalLmState& lm) {
  std::vector<bool> active(lm.accepted.size(), false);
  for (size_t j = 0; j < active.size(); ++j) {
    const double p = lm.accepted[j];
    active[j] = (p <= layout.lower[j] && lm.gradient[j] <= 0) || (p >= layout.upper[j] && lm.gradient[j] >= 0);
  }
  return active;
}

bool Solve(const GlobalLmState& lm, const std::vector<bool>& active, std::vector<double>& delta) {
  if (std::find(active.begin(), active.end(), true) == active.end())
    return SolveDampedSystem(lm.curvature, lm.gradient, lm.scale, lm.lambda, delta);
  const size_t n = lm.accepted.size();
  std::vector<double> curvature = lm.curvature, gradient = lm.gradient;
  for (size_t j = 0; j < n; ++j) {
    if (!active[j]) continue;
    for (size_t k = 0; k < n; ++k) curvature[j * n + k] = curvature[k * n + j] = 0;
    curvature[j * n + j] = 1;
    gradient[j] = 0;
  }
  return SolveDampedSystem(curvature, gradient, lm.scale, lm.lambda, delta);
}

double LinearDecrease(const GlobalLmState& lm, const std::vector<double>& delta) {
  const size_t n = delta.size();
  double decrease = 0;
  for (size_t j = 0; j < n; ++j) {
    double curved = 0;
    for (size_t k = 0; k < n; ++k) curved += lm.curvature[j * n + k] * delta[k];
    decrease += delta[j] * (2 * lm.gradient[j] - curved);
  }
  return decrease;
}

double GradientCosine(const GlobalLmState& lm, const std::vector<bool>& skip) {
  const size_t n = lm.accepted.size();
  const double norm = std::sqrt(lm.chiSquare);
  double largest = 0;
  for (size_t j = 0; j < n; ++j) {
    if (!skip.empty() && skip[j]) continue;
    const double column = std::sqrt(lm.curvature[j * n + j]);
    if (column > 0 && norm > 0) largest = std::max(largest, std::fabs(lm.gradient[j]) / (column * norm));
  }
  return largest;
}

void Reject(GlobalLmState& lm) {
  lm.lambda = std::min(lm.lambda * lm.lambdaGrowth, kDampingCeiling);
  lm.lambdaGrowth = std::min(lm.lambdaGrowth * 2, 1024.0);
}

StepResult Trial(std::span<GlobalFitMember> members, GlobalFitWorkspace& work) {
  GlobalLmState& lm = work.lm;
  const GlobalLayout& layout = work.layout;
  const size_t n = lm.accepted.size();
  lm.lastAccepted = lm.lastUnusable = false;
  lm.lastStep.assign(n, 0.0);
  const std::vector<bool> active = lm.bounded ? ActiveAtBounds(layout, lm) : std::vector<bool>{};
  std::vector<double> delta;
  if (!Solve(lm, active, delta)) {
    for (GlobalFitMember& member : members) member.fit->errorCode = kSingularSystemError;
    SetNumericError(kLmSingularError, "LM matrix singular");
    return Failed(nullptr, lm.chiSquare);
  }
  for (size_t j = 0; j < n; ++j) {
    const double p = lm.accepted[j];
    const double size = lm.bounded ? std::max(std::fabs(p), lm.startSizes[j]) : std::fabs(p);
    if (p != 0 && std::fabs(delta[j]) > kLargestRelativeStep * size) {
      Reject(lm);
      return {StepStatus::kSuccess, lm.chiSquare, {}};
    }
  }
  std::vector<double> trial = lm.accepted;
  double predicted = 0;
  for (size_t j = 0; j < n; ++j) {
    trial[j] += delta[j];
    predicted += delta[j] * (lm.gradient[j] + lm.lambda * lm.scale[j] * delta[j]);
  }
  if (lm.bounded) {
    bool clipped = false;
    for (size_t j = 0; j < n; ++j) {
      const double inside = std::clamp(trial[j], layout.lower[j], layout.upper[j]);
      if (inside == trial[j]) continue;
      trial[j] = inside;
      delta[j] = inside - lm.accepted[j];
      clipped = true;
    }
    if (clipped) predicted = LinearDecrease(lm, delta);
  }
  std::vector<double> trialCurvature, trialGradient;
  const GlobalLinearisation tried = LineariseGlobal(members, layout, trial, work, trialCurvature, trialGradient);
  if (!tried.usable) {
    lm.failure = NumericErrorState().message;
    lm.failureCode = NumericErrorState().code;
    if (tried.failedMember >= 0) lm.failure = MemberMessage(members[static_cast<size_t>(tried.failedMember)], lm.failure);
    ClearNumericError();
    lm.lastUnusable = true;
    Reject(lm);
    if (lm.lambda > ConvergenceTolerances{}.largestDamping) {
      SetNumericError(lm.failureCode, lm.failure);
      return Failed(nullptr, lm.chiSquare);
    }
    return {StepStatus::kSuccess, lm.chiSquare, {}};
  }
  if (!(tried.chiSquare < lm.chiSquare)) {
    Reject(lm);
    return {StepStatus::kSuccess, lm.chiSquare, {}};
  }
  const double rho = predicted > 0 ? (lm.chiSquare - tried.chiSquare) / predicted : 0.0;
  const double cube = (2 * rho - 1) * (2 * rho - 1) * (2 * rho - 1);
  lm.lambda = std::max(lm.lambda * std::max(1.0 / 3, 1 - cube), kSmallestDamping);
  lm.lambdaGrowth = 2;
  lm.lastAccepted = true;
  lm.lastStep = delta;
  lm.actualReduction = (lm.chiSquare - tried.chiSquare) / lm.chiSquare;
  lm.predictedReduction = predicted / lm.chiSquare;
  lm.curvature.swap(trialCurvature);
  lm.gradient.swap(trialGradient);
  for (size_t j = 0; j < n; ++j) lm.scale[j] = std::max(lm.scale[j], lm.curvature[j * n + j]);
  lm.accepted = trial;
  lm.chiSquare = tried.chiSquare;
  lm.memberChiSquare = tried.memberChiSquare;
  lm.gradientCosine = GradientCosine(lm, lm.bounded ? ActiveAtBounds(layout, lm) : std::vector<bool>{});
  Publish(members, work);
  return {StepStatus::kSuccess, lm.chiSquare, {}};
}

}  // namespace

StepResult GlobalStep(std::span<GlobalFitMember> members, const SharedFlags& shared, GlobalFitWorkspace& work,
                      int iterations) {
  if (members.empty()) return {StepStatus::kNoPoints, 0, {}};
  for (const GlobalFitMember& member : members) {
    const Fit& fit = *member.fit;
    if (CountPointsInRange(member.data, fit.fitStart, fit.fitEnd) == 0)
      return {StepStatus::kNoPoints, work.lm.chiSquare, MemberMessage(member, "the fit range holds no points")};
    if (std::string problem = WeightingProblem(fit, member.data); !problem.empty())
      return {StepStatus::kBadWeights, work.lm.chiSquare, MemberMessage(member, problem)};
  }
  while (work.members.size() < members.size()) work.members.push_back(std::make_unique<FitWorkspace>());
  if (NeedsRestart(members, shared, work)) {
    for (GlobalFitMember& member : members) member.fit->iterationCount = 0;
    int failedMember = -1;
    if (!Start(members, shared, work, failedMember))
      return Failed(failedMember >= 0 ? &members[static_cast<size_t>(failedMember)] : nullptr, work.lm.chiSquare);
  }
  for (int it = 0; it < iterations; ++it) {
    if (StepResult trial = Trial(members, work); !trial.ok()) return trial;
    for (GlobalFitMember& member : members) ++member.fit->iterationCount;
  }
  return {StepStatus::kSuccess, work.lm.chiSquare, {}};
}

Convergence GlobalConvergence(const GlobalLmState& lm, const ConvergenceTolerances& tolerances) {
  if (!lm.started) return Convergence::kNotYet;
  if (lm.chiSquare == 0) return Convergence::kExactFit;
  if (!lm.lastAccepted)
    return lm.lambda > tolerances.largestDamping && !lm.lastUnusable ? Convergence::kNoBetterStep
                                                                      : Convergence::kNotYet;
  bool small = true;
  const double x = tolerances.parameterStep;
  for (size_t j = 0; j < lm.accepted.size(); ++j)
    small = small && std::fabs(lm.lastStep[j]) <= x * (std::fabs(lm.accepted[j]) + x);
  if (small) return Convergence::kParameterStep;
  if (lm.gradientCosine <= tolerances.gradient) return Convergence::kGradient;
  if (lm.actualReduction <= tolerances.chiSquareChange && lm.predictedReduction <= tolerances.chiSquareChange)
    return Convergence::kChiSquareChange;
  return Convergence::kNotYet;
}

std::optional<GlobalUncertainties> ComputeGlobalUncertainties(std::span<GlobalFitMember> members,
                                                              const SharedFlags& shared) {
  if (members.empty()) return std::nullopt;
  // The fits as they stand, with the engine's state left alone.
  const GlobalLayout layout = MakeGlobalLayout(members, shared);
  const std::vector<double> joint = JointParameters(layout, members);
  GlobalFitWorkspace work;
  std::vector<double> alpha, gradient;
  const GlobalLinearisation at = LineariseGlobal(members, layout, joint, work, alpha, gradient);
  GlobalUncertainties result;
  result.points = at.points;
  result.freeCount = static_cast<int>(layout.unknowns.size());
  result.chiSquare = at.chiSquare;
  const int n = result.freeCount;
  const int dof = result.points - n;
  if (!at.usable || n == 0 || dof <= 0) return std::nullopt;
  std::vector<double> none(static_cast<size_t>(n), 0.0);
  if (GaussJordan(alpha.data(), n, none.data(), 1) != 0) return std::nullopt;
  result.absoluteWeights = true;
  for (const GlobalFitMember& member : members)
    result.absoluteWeights = result.absoluteWeights && WeightsAreAbsolute(*member.fit, member.data);
  // One fit with relative weights leaves the scale of the joint errors unknown.
  const double scale = result.absoluteWeights ? 1.0 : at.chiSquare / dof;
  result.reducedChiSquare = at.chiSquare / dof;
  result.covariance.assign(alpha.begin(), alpha.begin() + static_cast<size_t>(n) * static_cast<size_t>(n));
  for (double& c : result.covariance) c *= scale;
  const auto un = static_cast<size_t>(n);
  for (size_t m = 0; m < members.size(); ++m) {
    FitUncertainties own;
    own.reducedChiSquare = result.reducedChiSquare;
    own.points = CountPointsInRange(members[m].data, members[m].fit->fitStart, members[m].fit->fitEnd);
    own.freeIndex = layout.freeIndex[m];
    own.freeCount = static_cast<int>(own.freeIndex.size());
    const std::vector<int>& ownSlots = layout.slotOf[m];
    const size_t b = ownSlots.size();
    own.covariance.resize(b * b);
    for (size_t j = 0; j < b; ++j) {
      for (size_t k = 0; k < b; ++k)
        own.covariance[j * b + k] = result.covariance[static_cast<size_t>(ownSlots[j]) * un + static_cast<size_t>(ownSlots[k])];
      const double variance = own.covariance[j * b + j];
      own.errors[static_cast<size_t>(own.freeIndex[j])] = variance >= 0 ? std::sqrt(variance) : std::nan("");
    }
    result.members.push_back(std::move(own));
  }
  return result;
}

}  // namespace zentrel
