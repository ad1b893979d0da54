#pragma once
// The fitting engine's working state for one run of one fit: kept between
// steps, never saved, never copied with the fit.

#include <vector>

#include "fit/fast_convolution.h"
#include "fit/fit_data.h"

namespace zentrel {

// Levenberg-Marquardt state, reallocated on every restart. Matrices are
// row-major P x P.
struct LevenbergMarquardtState {
  double lambda = -10.0;  // negative: the next step initialises
  double previousChiSquare = 1e30;
  int freeCount = 0;
  bool workspaceAllocated = false;
  bool matricesAllocated = false;
  std::vector<double> trialParams, beta, delta;
  std::vector<double> rightHandSide;
  std::vector<double> covariance, curvature;
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
