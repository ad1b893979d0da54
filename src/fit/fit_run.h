#pragma once
// Fitting a data set from start to convergence in one call: what
// `zentrel-cli fit` runs for each file, on its own thread.

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "fit/fit_bounds.h"
#include "fit/fit_summary.h"
#include "fit/profile_confidence.h"
#include "model/fit.h"

namespace zentrel {

class Data_Set;

// The interval of one parameter; an infinite end is no bound on that side.
struct ParameterBounds {
  int index = 0;
  double lower = -HUGE_VAL;
  double upper = HUGE_VAL;
};

struct FitRequest {
  std::string model = "Exponential";  // a catalogue name
  int order = 1;
  std::string equation;                // the formula of a custom function
  std::vector<double> params;          // start values from index 0; the rest 0
  std::vector<int> hold;               // indices of held parameters
  std::vector<ParameterBounds> bounds;  // start values outside move to the nearer bound
  std::optional<std::pair<double, double>> range;  // default: the whole set
  int weighting = kWeightEqual;
  int method = kMethodLevenbergMarquardt;
  int maxIterations = 100000;  // 0: until converged
  // The model is convolved with this set (a measured response), as the
  // Fitting dialog's "convolve with" does; not owned, only read.
  const Data_Set* convolveWith = nullptr;
  // The response's shift along x (fit/response_shift.h), fitted when
  // freeShift; only with convolveWith.
  double shift = 0;
  bool freeShift = false;
  // Start values guessed from the data in the range (fit/guess/start_values.h)
  // replace params, except those of held parameters.
  bool guess = false;
  // Profile confidence intervals at this level after the fit (0.683, 0.95).
  std::optional<double> confidence;
  // Keep the fitted record in the result (for a report's picture).
  bool keepFit = false;
};

// Problems with a request found before fitting; empty when it is usable.
std::string ValidateFitRequest(const FitRequest& request);

struct FitRunResult {
  std::string error;  // empty on success; why the fit failed
  std::string model;
  int order = 0;
  // One entry per parameter; a fit that uses the response's shift has it
  // last, named "shift".
  std::vector<std::string> names;
  std::vector<double> params;
  std::vector<bool> held;                     // one flag per parameter
  std::vector<BoundSide> atBound;             // one per parameter when the request had bounds, else empty
  std::vector<std::optional<double>> errors;  // nullopt for held parameters, and when none could be computed
  std::string uncertaintyNote;                // why free parameters have no errors; empty when they have them
  double chiSquare = 0;                       // of the final parameters; no result when the fit failed
  double reducedChiSquare = 0;
  int iterations = 0;
  bool converged = false;
  int points = 0;  // points in the fit range
  std::vector<double> guessedStart;           // the guessed start values, when the request asked for them
  // Goodness of fit, runs test, correlations; nothing for a failed fit.
  std::optional<FitSummary> statistics;
  // The profile intervals when the request asked for them.
  std::optional<ProfileConfidence> confidence;
  // The fit at its final parameters, when the request keeps it; its
  // convolution source is the request's.
  std::shared_ptr<Fit> fitted;
  bool failed() const { return !error.empty(); }
};

// Iterates single steps until converged or maxIterations. Levenberg-
// Marquardt has converged by the combined test of fit/convergence.h;
// Gridless when three sweeps in a row change chi-square by less than 1e-12
// of it with fine grid steps, without meeting points beyond the model's
// domain (GridlessSweep).
FitRunResult RunFit(const Data_Set& set, const FitRequest& request);

}  // namespace zentrel
