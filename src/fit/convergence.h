#pragma once
// When a Levenberg-Marquardt run has converged: the combined test of the
// usual least-squares libraries, on the last trial (docs/fitting.md).

#include "fit/fit_workspace.h"

namespace zentrel {

struct ConvergenceTolerances {
  // An accepted step moved every free parameter by at most this much of its
  // size (plus this much, for parameters near 0).
  double parameterStep = 1e-10;
  // The residual vector is this close to orthogonal to every Jacobian column
  // (the cosine of the angle), so the gradient vanishes.
  double gradient = 1e-10;
  // An accepted step lowered the chi-square, and the linear model promised
  // to lower it, by at most this much of its value.
  double chiSquareChange = 1e-14;
  // Damping beyond this (relative to the curvature's diagonal) shrinks the
  // step below rounding: no step lowers the chi-square any more.
  double largestDamping = 1e16;
};

enum class Convergence {
  kNotYet,
  kParameterStep,
  kGradient,
  kChiSquareChange,
  kExactFit,      // the chi-square is 0
  kNoBetterStep,  // the damping passed its limit without a better trial
};

Convergence LevenbergMarquardtConvergence(const LevenbergMarquardtState& lm, const ConvergenceTolerances& tolerances = {});

// "parameter step", "gradient", …; empty for kNotYet.
const char* ConvergenceName(Convergence convergence);

}  // namespace zentrel
