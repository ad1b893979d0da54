#pragma once
// Fitting a data set from start to convergence in one call: what
// `zentrel-cli fit` runs for each file, on its own thread.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/fit.h"

namespace zentrel {

class Data_Set;

struct FitRequest {
  std::string model = "Exponential";  // a catalogue name
  int order = 1;
  std::string equation;                // the formula of a custom function
  std::vector<double> params;          // start values from index 0; the rest 0
  std::vector<int> hold;               // indices of held parameters
  std::optional<std::pair<double, double>> range;  // default: the whole set
  int weighting = kWeightEqual;
  int method = kMethodLevenbergMarquardt;
  int maxIterations = 1000;
};

// Problems with a request found before fitting; empty when it is usable.
std::string ValidateFitRequest(const FitRequest& request);

struct FitRunResult {
  std::string error;  // empty on success
  std::string model;
  int order = 0;
  std::vector<std::string> names;
  std::vector<double> params;
  std::vector<std::optional<double>> errors;  // nullopt for held parameters
  double chiSquare = 0;
  double reducedChiSquare = 0;
  int iterations = 0;
  bool converged = false;
  int points = 0;
};

// Iterates single steps until converged or maxIterations. Levenberg-
// Marquardt has converged when an accepted step lowers chi-square by less
// than 1e-12 of itself, or the damping passes 1e12 (no step helps any more);
// Gridless when three sweeps in a row change chi-square by less than 1e-12
// of it without meeting points beyond the model's domain.
FitRunResult RunFit(const Data_Set& set, const FitRequest& request);

}  // namespace zentrel
