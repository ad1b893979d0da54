#include "fit/gridless.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <utility>

#include "fit/engine.h"
#include "fit/fit_bounds.h"
#include "fit/fit_parameters.h"
#include "fit/response_shift.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

using Parameters = EngineParameters;

int CountOf(const Fit& fit) { return std::min(ParameterCount(fit), kMaxFitParameters); }
// The parameters a direction spans: the family's, and up to the shift's
// index when the shift is fitted too.
int DimensionsOf(const Fit& fit) { return ShiftIsFree(fit) ? kEngineParameters : CountOf(fit); }
// A parameter's grid step: the shift keeps its own beside the family's.
double& StepOf(Fit& fit, int index) {
  return index == kShiftIndex ? fit.shiftStep : fit.steps[static_cast<size_t>(index)];
}

// The parameters along one line, origin + t * direction, and their
// chi-square.
class Line {
 public:
  Line(ModelScope& scope, std::span<const double> direction)
      : scope_(scope), origin_(EngineParametersOf(scope.fit)), direction_(direction), bounded_(HasActiveBounds(scope.fit)) {}

  // Chi-square with the parameters at t; they stay there. A point where
  // the model raises a math error is worse than any other (infinity): the
  // walk went past the model's domain, the fit has not failed.
  double At(double t) {
    MoveTo(t);
    const double chi = ChiSquare(scope_, scope_.fit.params.data());
    failed_ = failed_ || scope_.fit.errorCode != 0;
    if (NumericErrorState().code == 0) return chi;
    ClearNumericError();
    leftDomain_ = true;
    return std::numeric_limits<double>::infinity();
  }
  // A bounded parameter stops at its bound: past the face of the box the
  // line runs along it.
  void MoveTo(double t) {
    for (size_t j = 0; j < direction_.size(); ++j) {
      if (direction_[j] == 0) continue;
      const double value = origin_[j] + t * direction_[j];
      SetEngineParameter(scope_.fit, static_cast<int>(j),
                         bounded_ ? ClampToBounds(scope_.fit, static_cast<int>(j), value) : value);
    }
  }
  bool failed() const { return failed_; }
  // Whether some point of the line was beyond the model's domain.
  bool leftDomain() const { return leftDomain_; }
  // Whether a step of s still moves some parameter by more than 1e-14 of
  // itself: below that a grid step stops shrinking.
  bool Resolves(double s) const {
    for (size_t j = 0; j < direction_.size(); ++j) {
      const double p = EngineParameter(scope_.fit, static_cast<int>(j));
      if (direction_[j] != 0 && p != 0 && std::fabs(s * direction_[j] / p) > 1e-14) return true;
    }
    return false;
  }

 private:
  ModelScope& scope_;
  const Parameters origin_;
  std::span<const double> direction_;
  const bool bounded_;
  bool failed_ = false;
  bool leftDomain_ = false;
};

// One walk along a line from t = 0, where chi-square is c0, with grid step
// `step`: a step that changes nothing doubles and turns round (at most 500
// times); the walk turns round when its first step goes uphill and goes on
// while chi-square falls (at most 100 steps); then the parameters jump to
// the vertex of the parabola through the last three grid points, or stay
// on the best grid point when the vertex is worse. The next step is k/3 of
// this one after k grid steps, half of it after a worse vertex, and never
// shrinks below what the parameters resolve. Returns the chi-square where
// the parameters are left.
double Walk(Line& line, double c0, double& step) {
  double s = step;
  double t = s;
  double c1 = line.At(t);
  if (line.failed()) return c0;
  double d = c1 - c0;
  for (int tries = 0; d == 0 && tries < 500; ++tries) {
    t -= 2 * s;
    s = -2 * s;
    c1 = line.At(t);
    if (line.failed()) return c0;
    d = c1 - c0;
  }
  double current;
  if (d > 0) {  // uphill: turn round at the start
    t -= s;
    s = -s;
    d = -d;
    current = c0;
  } else {
    current = c1;
  }
  double best = t;
  t += s;
  double q = line.At(t);
  if (line.failed()) return c0;
  double previousDifference = d;
  double difference = q - current;
  int k = 1;
  while (difference < 0 && k < 100) {
    best = t;
    t += s;
    ++k;
    previousDifference = difference;
    current = q;
    q = line.At(t);
    if (line.failed()) return c0;
    difference = q - current;
  }
  if (!std::isfinite(difference) || !std::isfinite(previousDifference)) {
    // A grid point beyond the model's domain: no parabola; a smaller step
    // next time.
    line.MoveTo(best);
    step = line.Resolves(0.5 * s) ? 0.5 * std::fabs(s) : std::fabs(s);
    return current;
  }
  // Vertex of the parabola through the last three grid points.
  const double curvature = difference - previousDifference;
  t -= curvature != 0 ? s * (difference / curvature + 0.5) : 0.5 * s;
  const double final = line.At(t);
  if (line.failed()) return c0;
  if (final > current) {
    line.MoveTo(best);
    step = line.Resolves(0.5 * s) ? 0.5 * std::fabs(s) : std::fabs(s);
    return current;
  }
  step = line.Resolves(k * s / 3) ? k * std::fabs(s) / 3 : std::fabs(s);
  return final;
}

// The free flags a run's directions were made for; other flags or another
// parameter count make them meaningless.
std::vector<int> FreeFlagsOf(const Fit& fit) {
  const int count = CountOf(fit);
  std::vector<int> flags(fit.freeFlags.begin(), fit.freeFlags.begin() + count);
  if (ShiftIsFree(fit)) flags.push_back(kShiftIndex);
  return flags;
}

// The parameters a sweep walks one at a time: the free family slots, then
// the shift when it is fitted.
std::vector<int> WalkedOf(const Fit& fit) {
  std::vector<int> walked;
  for (int i = 0; i < CountOf(fit); ++i) walked.push_back(i);
  if (ShiftIsFree(fit)) walked.push_back(kShiftIndex);
  return walked;
}

}  // namespace

void PrepareGridless(Fit& fit, GridlessState& state) {
  const int dimensions = DimensionsOf(fit);
  // A run starts inside the intervals, whatever the values came from.
  if (fit.iterationCount == 0) MoveInsideBounds(fit);
  for (int i : WalkedOf(fit)) {
    double& step = StepOf(fit, i);
    const double p = EngineParameter(fit, i);
    if (fit.iterationCount == 0 || step == 0) step = 0.1 * p;
    // A shift of 0 starts with a tenth of the response's channel.
    if (step == 0 && i == kShiftIndex) step = 0.1 * ResponseSpacing(fit);
    if (step == 0) step = 0.0001;
    if (!EngineParameterFree(fit, i)) step = 0;
  }
  if (fit.iterationCount == 0 || state.freeFlags != FreeFlagsOf(fit)) {
    state.directions.clear();
    state.freeFlags = FreeFlagsOf(fit);
    state.settledSweeps = 0;
    state.scales.assign(static_cast<size_t>(dimensions), 0.0);
    for (int i : WalkedOf(fit)) state.scales[static_cast<size_t>(i)] = 10 * std::fabs(StepOf(fit, i));
  }
}

bool GridlessSweep(ModelScope& scope, GridlessState& state) {
  Fit& fit = scope.fit;
  const int dimensions = DimensionsOf(fit);
  const Parameters before = EngineParametersOf(fit);
  double chi = ChiSquare(scope, fit.params.data());
  if (fit.errorCode != 0 || NumericErrorState().code != 0) return false;
  const double chiBefore = chi;
  bool leftDomain = false;

  // One parameter at a time, each on its own grid.
  int freeCount = 0;
  for (int i : WalkedOf(fit)) {
    double& step = StepOf(fit, i);
    if (step == 0) continue;
    ++freeCount;
    Parameters unit{};
    unit[static_cast<size_t>(i)] = 1;
    Line line(scope, std::span(unit).first(static_cast<size_t>(dimensions)));
    chi = Walk(line, chi, step);
    if (line.failed()) return false;
    leftDomain = leftDomain || line.leftDomain();
  }
  // Then along the directions of earlier sweeps, oldest first.
  for (GridlessState::Direction& direction : state.directions) {
    Line line(scope, direction.delta);
    chi = Walk(line, chi, direction.step);
    if (line.failed()) return false;
    leftDomain = leftDomain || line.leftDomain();
  }
  // This sweep's whole move is the newest direction: walking on along it
  // first repeats the move. Directions searched in every sweep since become
  // conjugate, so a valley along several parameters is followed, not zig-zagged.
  GridlessState::Direction newest{std::vector<double>(static_cast<size_t>(dimensions)), 1.0};
  bool moved = false;
  for (size_t j = 0; j < newest.delta.size(); ++j) {
    newest.delta[j] = EngineParameter(fit, static_cast<int>(j)) - before[j];
    moved = moved || newest.delta[j] != 0;
  }
  if (moved && chi < chiBefore) {
    Line line(scope, newest.delta);
    chi = Walk(line, chi, newest.step);
    if (line.failed()) return false;
    leftDomain = leftDomain || line.leftDomain();
    state.directions.push_back(std::move(newest));
    if (static_cast<int>(state.directions.size()) > freeCount) state.directions.erase(state.directions.begin());
  }
  fit.chiSquare = chi;
  // A sweep that met points beyond the domain only shrank the steps that
  // reached there: standing still then is not settling.
  // Nor is one whose grid steps are still coarse: on a narrow valley every
  // walk overshoots, and only smaller steps find the way down.
  bool fine = true;
  for (int i : WalkedOf(fit)) {
    const auto k = static_cast<size_t>(i);
    if (k >= state.scales.size()) continue;
    fine = fine && std::fabs(StepOf(fit, i)) <= 1e-6 * std::max(std::fabs(EngineParameter(fit, i)), state.scales[k]);
  }
  const bool settled =
      !leftDomain && (chi == 0 || (fine && std::fabs(chiBefore - chi) <= 1e-12 * std::fabs(chiBefore)));
  state.settledSweeps = settled ? state.settledSweeps + 1 : 0;
  return true;
}

}  // namespace zentrel
