#include "fit/convergence.h"

#include <cmath>

namespace zentrel {

Convergence LevenbergMarquardtConvergence(const LevenbergMarquardtState& lm, const ConvergenceTolerances& tolerances) {
  if (!lm.started) return Convergence::kNotYet;
  if (lm.chiSquare == 0) return Convergence::kExactFit;
  const TrialOutcome& last = lm.last;
  if (!last.accepted) {
    // An unusable trial at the largest damping is a failure, reported by the step.
    return lm.lambda > tolerances.largestDamping && !last.unusable ? Convergence::kNoBetterStep : Convergence::kNotYet;
  }
  bool small = true;
  const double x = tolerances.parameterStep;
  for (int index : lm.freeIndex) {
    const auto i = static_cast<size_t>(index);
    small = small && std::fabs(last.step[i]) <= x * (std::fabs(lm.accepted[i]) + x);
  }
  if (small) return Convergence::kParameterStep;
  if (last.gradientCosine <= tolerances.gradient) return Convergence::kGradient;
  if (last.actualReduction <= tolerances.chiSquareChange && last.predictedReduction <= tolerances.chiSquareChange)
    return Convergence::kChiSquareChange;
  return Convergence::kNotYet;
}

const char* ConvergenceName(Convergence convergence) {
  switch (convergence) {
    case Convergence::kNotYet: return "";
    case Convergence::kParameterStep: return "parameter step";
    case Convergence::kGradient: return "gradient";
    case Convergence::kChiSquareChange: return "chi-square change";
    case Convergence::kExactFit: return "exact fit";
    case Convergence::kNoBetterStep: return "no better step";
  }
  return "";
}

}  // namespace zentrel
