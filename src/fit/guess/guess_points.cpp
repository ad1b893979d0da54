#include "fit/guess/guess_points.h"

#include <algorithm>
#include <cmath>

namespace zentrel::guess {

GuessPoints PointsInRange(const FitData& data, double start, double end) {
  GuessPoints points;
  const size_t n = std::min(data.x.size(), data.y.size());
  for (size_t i = 0; i < n; ++i) {
    const double x = data.x[i], y = data.y[i];
    if (x < start || x > end || !std::isfinite(x) || !std::isfinite(y)) continue;
    points.x.push_back(x);
    points.y.push_back(y);
  }
  // Every candidate is scored on every point: a long record is thinned to
  // evenly spaced indices, plenty for a shape.
  const size_t kept = 2000;
  if (points.x.size() > 2 * kept) {
    GuessPoints thinned;
    for (size_t k = 0; k < kept; ++k) {
      const size_t i = k * (points.x.size() - 1) / (kept - 1);
      thinned.x.push_back(points.x[i]);
      thinned.y.push_back(points.y[i]);
    }
    return thinned;
  }
  return points;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(mid), values.end());
  return values[mid];
}

double NoiseLevel(const std::vector<double>& y) {
  if (y.size() < 3) return 0;
  std::vector<double> second;
  second.reserve(y.size());
  for (size_t i = 1; i + 1 < y.size(); ++i) second.push_back(std::fabs(y[i - 1] - 2 * y[i] + y[i + 1]));
  // A second difference of white noise has variance 6σ²; 1.4826 turns a
  // median absolute value into a standard deviation.
  return 1.4826 * Median(std::move(second)) / std::sqrt(6.0);
}

std::vector<double> Smoothed(const std::vector<double>& y, int half) {
  const int n = static_cast<int>(y.size());
  std::vector<double> out(y.size());
  for (int i = 0; i < n; ++i) {
    const int lo = std::max(0, i - half), hi = std::min(n - 1, i + half);
    double sum = 0;
    for (int j = lo; j <= hi; ++j) sum += y[static_cast<size_t>(j)];
    out[static_cast<size_t>(i)] = sum / (hi - lo + 1);
  }
  return out;
}

int SmoothingHalfWidth(int points) { return std::clamp(points / 100, 1, 10); }

double EdgeMean(const std::vector<double>& y, double fraction, bool atStart) {
  if (y.empty()) return 0;
  const size_t count = std::min(y.size(), std::max<size_t>(3, static_cast<size_t>(fraction * static_cast<double>(y.size()))));
  double sum = 0;
  for (size_t i = 0; i < count; ++i) sum += atStart ? y[i] : y[y.size() - 1 - i];
  return sum / static_cast<double>(count);
}

std::optional<Line> WeightedLine(const std::vector<double>& x, const std::vector<double>& y,
                                 const std::vector<double>& w) {
  double sw = 0, sx = 0, sy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double wi = w.empty() ? 1.0 : w[i];
    sw += wi;
    sx += wi * x[i];
    sy += wi * y[i];
  }
  if (x.size() < 2 || !(sw > 0)) return std::nullopt;
  const double mx = sx / sw, my = sy / sw;
  double sxx = 0, sxy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double wi = w.empty() ? 1.0 : w[i];
    sxx += wi * (x[i] - mx) * (x[i] - mx);
    sxy += wi * (x[i] - mx) * (y[i] - my);
  }
  if (!(sxx > 0)) return std::nullopt;
  Line line;
  line.slope = sxy / sxx;
  line.intercept = my - line.slope * mx;
  if (!std::isfinite(line.slope) || !std::isfinite(line.intercept)) return std::nullopt;
  return line;
}

int IndexOfLargestMagnitude(const std::vector<double>& v) {
  int best = 0;
  for (size_t i = 1; i < v.size(); ++i)
    if (std::fabs(v[i]) > std::fabs(v[static_cast<size_t>(best)])) best = static_cast<int>(i);
  return best;
}

std::optional<double> CrossingX(const std::vector<double>& x, const std::vector<double>& v, int from, int step,
                                double level) {
  const int n = static_cast<int>(v.size());
  for (int i = from + step; i >= 0 && i < n; i += step) {
    const auto at = static_cast<size_t>(i), before = static_cast<size_t>(i - step);
    if (std::fabs(v[at]) < level) {
      const double above = std::fabs(v[before]) - level, below = level - std::fabs(v[at]);
      const double t = above + below > 0 ? above / (above + below) : 0.5;
      return x[before] + t * (x[at] - x[before]);
    }
  }
  return std::nullopt;
}

}  // namespace zentrel::guess
