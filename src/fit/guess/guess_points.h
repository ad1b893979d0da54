#pragma once
// The points a guess reads, and the small statistics every family's guess
// takes from them: noise level, a smoothed copy, baselines, weighted lines.

#include <optional>
#include <vector>

#include "fit/fit_data.h"

namespace zentrel::guess {

// The data's points in the fit range, ascending in x, finite only; more
// than 4000 are thinned to 2000 at evenly spaced indices.
struct GuessPoints {
  std::vector<double> x, y;
  int size() const { return static_cast<int>(x.size()); }
  double span() const { return x.empty() ? 0.0 : x.back() - x.front(); }
};

GuessPoints PointsInRange(const FitData& data, double start, double end);

double Median(std::vector<double> values);
// The standard deviation of the noise, from the median absolute second
// difference (a smooth curve's own curvature barely enters); never 0 for
// data that is not exactly smooth.
double NoiseLevel(const std::vector<double>& y);
// A centred moving average over 2·half + 1 points (fewer at the ends).
std::vector<double> Smoothed(const std::vector<double>& y, int half);
// The half-width of the moving average used to find features: about 1 %
// of the points, at least 1 and at most 10.
int SmoothingHalfWidth(int points);
// The mean of the first (atStart) or last `fraction` of the points, at
// least three of them.
double EdgeMean(const std::vector<double>& y, double fraction, bool atStart);

struct Line {
  double slope = 0, intercept = 0;
};
// Least-squares line through (x, y) with weights w (all 1 when empty);
// nothing with fewer than two distinct x.
std::optional<Line> WeightedLine(const std::vector<double>& x, const std::vector<double>& y,
                                 const std::vector<double>& w = {});

// Index of the largest |v[i]|.
int IndexOfLargestMagnitude(const std::vector<double>& v);
// From index `from`, walks in direction step (+1 or -1) until |v| drops
// below level; the x there, interpolated, or nothing when it never does.
std::optional<double> CrossingX(const std::vector<double>& x, const std::vector<double>& v, int from, int step,
                                double level);

}  // namespace zentrel::guess
