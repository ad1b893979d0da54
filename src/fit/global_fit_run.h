#pragma once
// A global fit from start to convergence in one call, over sets that are
// only read: what `zentrel-cli fit --global` and scripts' `global-fit`
// run when asked to iterate.

#include <optional>
#include <string>
#include <vector>

#include "fit/fit_run.h"
#include "fit/global_fit.h"

namespace zentrel {

class Data_Set;

struct GlobalFitRequest {
  // Model, order, start values, held parameters, bounds, range, weighting,
  // convolution, guess and iteration limit, as for one set. Each set gets
  // its own fit from it; a guess is made per set, and the shared
  // parameters then take the first set's values.
  FitRequest fit;
  std::vector<int> shared;  // indices of the shared parameters
};

// Problems with a request found before fitting; empty when it is usable.
std::string ValidateGlobalFitRequest(const GlobalFitRequest& request, size_t setCount);

struct GlobalFitRunResult {
  std::string error;  // empty on success
  // Per set, in the order given: its parameters (the shared ones with the
  // joint values), the errors from the joint problem, its part of the
  // chi-square, its points and its statistics. iterations and converged
  // are the joint run's.
  std::vector<FitRunResult> sets;
  std::vector<std::string> labels;
  std::vector<bool> shared;  // one flag per parameter
  double chiSquare = 0;
  double reducedChiSquare = 0;
  int points = 0;
  int freeCount = 0;  // unknowns of the joint problem
  int iterations = 0;
  bool converged = false;
  std::string uncertaintyNote;  // why there are no errors; empty when there are
  bool failed() const { return !error.empty(); }
};

// labels name the sets in messages (file names); sets are not changed.
GlobalFitRunResult RunGlobalFit(const std::vector<const Data_Set*>& sets, const std::vector<std::string>& labels,
                                const GlobalFitRequest& request);

}  // namespace zentrel
