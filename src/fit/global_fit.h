#pragma once
// Global fits: several fits of one family and order, each on its own set
// with its own range, weighting and convolution source, fitted together.
// Parameters marked shared take one value in every fit and appear once in
// the joint parameter vector; the others appear once per fit. One
// chi-square sums every fit's part, and one Levenberg-Marquardt step moves
// the union of the free parameters. Each fit's model values and derivatives
// come from the single-fit code (Linearise), so kinds, weightings and
// convolution behave exactly as in a single fit.

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "fit/convergence.h"
#include "fit/engine.h"
#include "fit/fit_data.h"
#include "fit/fit_workspace.h"
#include "fit/global_fit_layout.h"
#include "fit/step_result.h"
#include "model/fit.h"

namespace zentrel {

// Levenberg-Marquardt state of a global fit, over the joint vector.
struct GlobalLmState {
  bool started = false;
  bool bounded = false;
  double lambda = 1e-3;
  double lambdaGrowth = 2;
  double chiSquare = 0;
  std::vector<double> accepted;    // the joint vector the matrices belong to
  std::vector<double> startSizes;  // |value| at the start, the step guard's smallest size
  std::vector<double> curvature, gradient, scale;
  std::vector<double> memberChiSquare;  // each fit's part at the accepted vector
  // Each fit's parameters and free flags when the state last wrote them:
  // an edit by anybody else restarts the run.
  std::vector<std::array<double, kMaxFitParameters>> memberParams;
  std::vector<std::array<int, kMaxFitParameters>> memberFlags;
  // The last trial, for the convergence test.
  bool lastAccepted = false;
  bool lastUnusable = false;
  std::vector<double> lastStep;
  double actualReduction = 0, predictedReduction = 0, gradientCosine = 0;
  std::string failure;
  int failureCode = 0;
};

struct GlobalFitWorkspace {
  GlobalLayout layout;
  SharedFlags shared{};
  GlobalLmState lm;
  // One per fit, for its spline and convolution caches; kept at stable
  // addresses because model scopes refer into them.
  std::vector<std::unique_ptr<FitWorkspace>> members;
};

// The joint linearisation at the joint vector: J^T J and -J^T r over every
// fit's points in range, and the chi-square sum with each fit's part.
struct GlobalLinearisation {
  int points = 0;
  double chiSquare = 0;
  bool usable = true;
  int failedMember = -1;  // the fit whose model failed, when not usable
  std::vector<double> memberChiSquare;
};
GlobalLinearisation LineariseGlobal(std::span<GlobalFitMember> members, const GlobalLayout& layout,
                                    const std::vector<double>& joint, GlobalFitWorkspace& work,
                                    std::vector<double>& curvature, std::vector<double>& gradient);

// Runs `iterations` Levenberg-Marquardt trials of the joint problem. It
// starts afresh (aligning the shared parameters) when a fit's iteration
// count is 0 (a new run, or its set's columns changed), the sharing
// changed, or a fit's parameters or free flags were changed by anybody else. After each accepted trial every fit
// holds its parameters and its part of the chi-square; every fit's
// iteration count advances. A failure names the fit it concerns.
StepResult GlobalStep(std::span<GlobalFitMember> members, const SharedFlags& shared, GlobalFitWorkspace& work,
                      int iterations);

// The convergence test of single fits applied to the joint vector.
Convergence GlobalConvergence(const GlobalLmState& lm, const ConvergenceTolerances& tolerances = {});

struct GlobalUncertainties {
  // Per fit: its standard errors, its points, its free parameters and
  // their block of the joint covariance (shared ones included), so a
  // single fit's statistics can be made from it (SummariseFit's `known`).
  std::vector<FitUncertainties> members;
  double chiSquare = 0;
  double reducedChiSquare = 0;  // chiSquare / (points - freeCount)
  int points = 0;
  int freeCount = 0;            // unknowns of the joint problem
  bool absoluteWeights = false;  // every fit weighs by 1/sigma^2 with y errors
  std::vector<double> covariance;  // freeCount squared, over the layout's slots
};

// Errors from the inverse of the joint curvature at the fits' parameters:
// unscaled when every fit's weights are absolute, else scaled by the joint
// residual variance chiSquare / (points - freeCount). nullopt when the
// matrix is singular, a model fails, or no degree of freedom remains.
std::optional<GlobalUncertainties> ComputeGlobalUncertainties(std::span<GlobalFitMember> members,
                                                              const SharedFlags& shared);

}  // namespace zentrel
