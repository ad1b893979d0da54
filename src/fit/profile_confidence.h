#pragma once
// Confidence intervals by profiling the chi-square: for each free parameter
// the values where the chi-square, minimised over the other free
// parameters, has risen by the level's Δχ². Unlike the standard errors
// (the curvature at the best fit) these follow the chi-square's real shape,
// so they may be asymmetric, and a side may never reach the level.

#include <string>
#include <vector>

#include "fit/fit_data.h"
#include "model/fit.h"
#include "util/progress.h"

namespace zentrel {

// Δχ² of a confidence level for one parameter: the chi-square quantile with
// one degree of freedom, (Φ⁻¹((1 + level)/2))². 0.683 is read as one
// standard deviation (Δχ² = 1 exactly); 0.95 gives 3.841.
double DeltaChiSquareForLevel(double level);

struct ProfileOptions {
  double level = 0.95;
  int maxIterations = 2000;  // of each re-fit of the other parameters
  int maxExpansions = 40;    // doublings of the trial step before a side is unbounded
  double relativeTolerance = 1e-7;  // of an end, relative to the first trial step
};

struct IntervalEnd {
  enum class Kind {
    kFound,      // where the profile crosses the level
    kUnbounded,  // the profile stays below the level as far as it was followed
    kFailed,     // the re-fit fails before the level is reached
  };
  Kind kind = Kind::kFound;
  double value = 0;  // kFound: the end; otherwise the farthest point reached below the level
  std::string reason;  // kFailed: the re-fit's message
};

struct ProfileInterval {
  int parameter = 0;  // index in the fit
  double best = 0;
  IntervalEnd lower, upper;
  int refits = 0;
};

struct ProfileConfidence {
  std::string error;  // why nothing could be profiled; empty on success
  bool cancelled = false;
  double level = 0;
  double deltaChiSquare = 0;
  double bestChiSquare = 0;
  // Relative weights: the chi-square is scaled by the residual variance
  // χ²_min/(N − k), so the level is χ²_min (1 + Δχ²/(N − k)); absolute
  // weights (1/σ² with y errors): χ²_min + Δχ².
  bool scaled = false;
  double threshold = 0;
  std::vector<ProfileInterval> intervals;  // one per free parameter, in parameter order
  bool ok() const { return error.empty() && !cancelled; }
};

// Profiles every free parameter of a fit that stands at its best
// parameters. The re-fits run Levenberg-Marquardt from the best fit with
// the profiled parameter held at each trial value. Reports progress after
// every re-fit; a cancel ends it with `cancelled` set.
ProfileConfidence ProfileConfidenceIntervals(const Fit& fit, const FitData& data, const ProfileOptions& options = {},
                                             const ProgressCallback& progress = {});

}  // namespace zentrel
