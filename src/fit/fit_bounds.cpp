#include "fit/fit_bounds.h"

#include <algorithm>
#include <cmath>

#include "fit/fit_parameters.h"
#include "model/fit.h"

namespace zentrel {

namespace {

bool ValidIndex(int index) { return index >= 0 && index < kMaxFitParameters; }

}  // namespace

bool IsBounded(const Fit& fit, int index) {
  if (!ValidIndex(index)) return false;
  const auto i = static_cast<size_t>(index);
  return std::isfinite(fit.lowerBounds[i]) || std::isfinite(fit.upperBounds[i]);
}

bool HasBounds(const Fit& fit) {
  for (int i = 0; i < kMaxFitParameters; ++i)
    if (IsBounded(fit, i)) return true;
  return false;
}

bool HasActiveBounds(const Fit& fit) {
  const int count = std::min(ParameterCount(fit), kMaxFitParameters);
  for (int i = 0; i < count; ++i)
    if (fit.freeFlags[static_cast<size_t>(i)] && IsBounded(fit, i)) return true;
  return false;
}

std::string BoundsProblem(double lower, double upper) {
  if (std::isnan(lower) || std::isnan(upper)) return "a bound is not a number";
  if (lower == HUGE_VAL) return "the lower bound is +inf";
  if (upper == -HUGE_VAL) return "the upper bound is -inf";
  if (lower > upper) return "the lower bound is above the upper bound";
  return {};
}

std::string SetBounds(Fit& fit, int index, double lower, double upper) {
  if (!ValidIndex(index)) return "parameter " + std::to_string(index) + " does not exist";
  if (std::string problem = BoundsProblem(lower, upper); !problem.empty()) return problem;
  const auto i = static_cast<size_t>(index);
  const double moved = std::clamp(fit.params[i], lower, upper);
  if (lower == fit.lowerBounds[i] && upper == fit.upperBounds[i] && moved == fit.params[i]) return {};
  fit.lowerBounds[i] = lower;
  fit.upperBounds[i] = upper;
  fit.params[i] = moved;
  fit.iterationCount = 0;
  return {};
}

void ClearBounds(Fit& fit) {
  fit.lowerBounds.fill(-HUGE_VAL);
  fit.upperBounds.fill(HUGE_VAL);
}

double ClampToBounds(const Fit& fit, int index, double value) {
  if (!ValidIndex(index)) return value;
  const auto i = static_cast<size_t>(index);
  // NaN stays NaN: the model reports it, not the bounds.
  if (value < fit.lowerBounds[i]) return fit.lowerBounds[i];
  if (value > fit.upperBounds[i]) return fit.upperBounds[i];
  return value;
}

bool MoveInsideBounds(Fit& fit) {
  bool moved = false;
  for (int i = 0; i < kMaxFitParameters; ++i) {
    double& value = fit.params[static_cast<size_t>(i)];
    const double inside = ClampToBounds(fit, i, value);
    if (inside != value) {
      value = inside;
      moved = true;
    }
  }
  return moved;
}

BoundSide BoundHit(const Fit& fit, int index) {
  if (!IsBounded(fit, index)) return BoundSide::kInside;
  const auto i = static_cast<size_t>(index);
  const double value = fit.params[i];
  if (value <= fit.lowerBounds[i]) return BoundSide::kLower;
  if (value >= fit.upperBounds[i]) return BoundSide::kUpper;
  return BoundSide::kInside;
}

const char* BoundHitText(BoundSide side) {
  switch (side) {
    case BoundSide::kLower: return "at lower bound";
    case BoundSide::kUpper: return "at upper bound";
    case BoundSide::kInside: return "";
  }
  return "";
}

}  // namespace zentrel
