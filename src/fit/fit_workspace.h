#pragma once
// The fitting engine's working state for one run of one fit: kept between
// steps, never saved, never copied with the fit.

#include <array>
#include <string>
#include <vector>

#include "fit/fast_convolution.h"
#include "fit/fit_data.h"
#include "fit/response_shift.h"
#include "model/fit.h"

namespace zentrel {

// What the last Levenberg-Marquardt trial did: the convergence test
// (fit/convergence.h) reads it.
struct TrialOutcome {
  bool accepted = false;
  bool unusable = false;            // the model failed or the chi-square was not finite
  EngineParameters step{};          // of an accepted trial, per parameter (the shift last)
  double actualReduction = 0;       // relative chi-square decrease of an accepted step
  double predictedReduction = 0;    // what the linear model promised, relative
  double gradientCosine = 0;        // max angle cosine between residuals and Jacobian columns, after the step
};

// Levenberg-Marquardt state, made afresh on every restart. Matrices are
// packed freeCount x freeCount, row-major, over the free parameters only.
struct LevenbergMarquardtState {
  bool started = false;
  bool bounded = false;       // a free parameter has a finite bound: the projected step
  // Bounded fits: each parameter's size when the run started, the smallest
  // size the step guard measures against (a parameter that left its bound
  // at 0 is tiny, not meant to stay so).
  EngineParameters startSizes{};
  double lambda = 1e-3;       // damping, relative to the scale
  double lambdaGrowth = 2;    // factor of the next rejection; doubles on each
  double chiSquare = 0;       // at the accepted parameters
  EngineParameters accepted{};  // the parameters the matrices belong to, the shift last
  std::vector<int> freeIndex;         // parameter index of each free parameter (kShiftIndex: the shift)
  std::vector<double> curvature, gradient;            // J^T J and -J^T r at the accepted parameters
  std::vector<double> trialCurvature, trialGradient;  // the same at the trial
  std::vector<double> scale;  // largest diagonal of J^T J seen, per free parameter
  TrialOutcome last;
  std::string failure;        // the message of the last unusable trial
  int failureCode = 0;
};

// Second derivatives of the spline through the fitted columns, made on first
// use.
struct SplineCache {
  bool prepared = false;
  std::vector<double> secondDerivatives;
};

// Gridless state: the directions recent sweeps moved the parameters in,
// oldest first, each with its grid step; a new run or other free flags
// forget them.
struct GridlessState {
  struct Direction {
    std::vector<double> delta;  // one entry per parameter, 0 for held ones
    double step = 1;            // in units of delta
  };
  std::vector<Direction> directions;
  std::vector<int> freeFlags;  // those the directions were made for
  // Successive sweeps, up to the last, that changed the chi-square by at
  // most 1e-12 of itself with every grid step fine.
  int settledSweeps = 0;
  // Per parameter, its size when the run started (1e-3 for 0): a grid step
  // is fine below 1e-6 of the larger of this and the parameter.
  std::vector<double> scales;
};

struct FitWorkspace {
  LevenbergMarquardtState lm;
  SplineCache spline;
  ConvolutionCache convolution;
  FitDataCache columns;  // the set's order in x, for FitDataOf
  GridlessState gridless;
};

}  // namespace zentrel
