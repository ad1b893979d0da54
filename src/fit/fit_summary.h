#pragma once
// Everything the statistics printouts show about a stopped fit, gathered
// once from the fit, its columns and its covariance.

#include <optional>
#include <string>
#include <vector>

#include "fit/engine.h"
#include "fit/fit_data.h"
#include "fit/fit_statistics.h"
#include "fit/profile_confidence.h"
#include "model/fit.h"

namespace zentrel {

struct FitSummary {
  GoodnessOfFit goodness;
  RunsTest runs;
  bool absoluteWeights = false;  // 1/σ² with y errors, or Poisson likelihood
  // Parameter index of each row and column of the correlation matrix.
  std::vector<int> freeIndex;
  // freeIndex.size() squared, row-major; empty when the covariance could
  // not be computed (too few points, a singular curvature).
  std::vector<double> correlation;
  double correlationAt(size_t row, size_t column) const { return correlation[row * freeIndex.size() + column]; }
};

// The fit's statistics at its own parameters over the points in its range;
// nullopt when the model cannot be evaluated there. Leaves the numeric
// error state as it found it. `known`: the uncertainties the caller has
// already computed for these parameters, or null to compute them.
std::optional<FitSummary> SummariseFit(const Fit& fit, const FitData& data, const FitUncertainties* known = nullptr);

// The statistics as lines of text for a printout, without line ends:
// goodness of fit, the runs test, then the correlation matrix, entries
// with |r| > 0.95 marked with '*'. names holds every parameter's name.
std::vector<std::string> StatisticsLines(const FitSummary& summary, const std::vector<std::string>& names);

// The profile intervals as lines of text: the level and how the chi-square
// was scaled, then "name = best  [lower, upper]  (−down / +up)" per free
// parameter; an end the profile never reached reads "unbounded".
std::vector<std::string> ConfidenceLines(const ProfileConfidence& confidence, const std::vector<std::string>& names);

// One end of an interval as text: the number, "unbounded", or "fails
// beyond X".
std::string IntervalEndText(const IntervalEnd& end);

}  // namespace zentrel
