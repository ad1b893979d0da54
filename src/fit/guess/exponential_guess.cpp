// Exponentials: rates by integration and by peeling the tail, amplitudes
// and y0 by least squares. The squared form guesses its sum from the
// square root of the data above the baseline.

#include <algorithm>
#include <cmath>

#include "fit/guess/decay_rates.h"
#include "fit/guess/least_squares.h"
#include "fit/guess/family_guesses.h"

namespace zentrel::guess {

std::vector<int> LinearIndices(int first, int stride, int terms) {
  std::vector<int> indices{0};
  for (int k = 0; k < terms; ++k) indices.push_back(first + stride * k);
  return indices;
}

double DecayBaseline(const GuessContext& context, const std::vector<double>& y) {
  if (context.candidates.held(0)) return context.candidates.current(0);
  return EdgeMean(y, 0.1, false);
}

std::vector<double> DecayBaselines(const GuessContext& context, const std::vector<double>& y) {
  std::vector<double> baselines{DecayBaseline(context, y)};
  if (!context.candidates.held(0)) {
    const auto smooth = Smoothed(y, SmoothingHalfWidth(static_cast<int>(y.size())));
    baselines.push_back(*std::min_element(smooth.begin(), smooth.end()));
  }
  return baselines;
}

std::vector<std::vector<double>> DecayRateCandidates(const std::vector<double>& x, const std::vector<double>& y, int n,
                                                     double baseline, double noise) {
  std::vector<std::vector<double>> sets;
  if (auto rates = RatesByIntegration(x, y, n); !rates.empty()) sets.push_back(rates);
  std::vector<double> r(y.size());
  for (size_t i = 0; i < y.size(); ++i) r[i] = y[i] - baseline;
  if (auto rates = RatesByPeeling(x, r, n, noise); !rates.empty()) sets.push_back(rates);
  // One term's rate, spread: a start the fit can pull apart when the data
  // tells the terms apart but the estimates above did not.
  std::vector<double> one = RatesByIntegration(x, y, 1);
  if (one.empty()) one = RatesByPeeling(x, r, 1, noise);
  if (one.empty() && x.size() > 1 && x.back() > x.front()) one = {3 / (x.back() - x.front())};
  if (!one.empty()) {
    std::vector<double> spread;
    for (int k = 0; k < n; ++k) spread.push_back(one[0] * std::pow(4.0, k - 0.5 * (n - 1)));
    sets.push_back(spread);
  }
  return sets;
}

std::string GuessExponential(GuessContext& context) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const double baseline = DecayBaseline(context, pts.y);
  const std::vector<int> linear = LinearIndices(2, 2, n);
  std::vector<Candidates::Move> moves;
  for (int k = 0; k < n; ++k) moves.push_back({3 + 2 * k});
  for (const auto& rates : DecayRateCandidates(pts.x, pts.y, n, baseline, context.noise)) {
    Params p{};
    p[0] = baseline;
    p[1] = context.candidates.current(1);
    for (int k = 0; k < n; ++k) {
      p[static_cast<size_t>(2 + 2 * k)] = 1;
      p[static_cast<size_t>(3 + 2 * k)] = 1 / rates[static_cast<size_t>(k)];
    }
    context.candidates.propose(p, linear);
  }
  context.candidates.refine(moves, linear);
  return {};
}

// y0 + S²: the sum S is guessed as exponentials from sqrt(y - y0), for a
// few baselines at or below the data, and the squared model scores them.
std::string GuessSquaredExponential(GuessContext& context) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const double noise = context.noise;
  const std::vector<double> baselines = DecayBaselines(context, pts.y);
  // S² is y0's only partner: with S fixed y0 is linear.
  const std::vector<int> linear{0};
  for (double baseline : baselines) {
    std::vector<double> root(pts.y.size());
    for (size_t i = 0; i < root.size(); ++i) root[i] = std::sqrt(std::max(pts.y[i] - baseline, 0.0));
    const double rootNoise = std::max(NoiseLevel(root), noise / (2 * std::sqrt(std::max(EdgeMean(pts.y, 0.05, true) - baseline, noise))));
    for (const auto& rates : DecayRateCandidates(pts.x, root, n, 0.0, rootNoise)) {
      // Amplitudes of S by least squares on the root itself.
      std::vector<std::vector<double>> columns;
      for (double rate : rates) {
        std::vector<double> column(pts.x.size());
        for (size_t i = 0; i < column.size(); ++i)
          column[i] = std::exp(std::clamp(-(pts.x[i] - context.candidates.current(1)) * rate, -700.0, 700.0));
        columns.push_back(std::move(column));
      }
      const auto amplitudes = LeastSquares(columns, root);
      Params p{};
      p[0] = baseline;
      p[1] = context.candidates.current(1);
      for (int k = 0; k < n; ++k) {
        p[static_cast<size_t>(2 + 2 * k)] = amplitudes ? (*amplitudes)[static_cast<size_t>(k)] : 1.0;
        p[static_cast<size_t>(3 + 2 * k)] = 1 / rates[static_cast<size_t>(k)];
      }
      context.candidates.propose(p, linear);
    }
  }
  std::vector<Candidates::Move> moves;
  for (int k = 0; k < n; ++k) {
    moves.push_back({2 + 2 * k});
    moves.push_back({3 + 2 * k});
  }
  context.candidates.refine(moves, linear);
  return {};
}

}  // namespace zentrel::guess
