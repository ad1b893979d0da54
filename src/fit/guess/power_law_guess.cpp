// Power laws a·(u - off)^e: exponents from log-log lines of the data less
// its baseline and from a grid, offsets below the first point, y0 and the
// amplitudes by least squares. The MCT power laws: the minimum of the
// valley places wmin and xmin, a grid of exponents the two sides.

#include <algorithm>
#include <cmath>

#include "fit/guess/family_guesses.h"
#include "numeric/c_format.h"

namespace zentrel::guess {

namespace {

std::vector<double> ExponentGrid() {
  std::vector<double> grid;
  for (int k = -6; k <= 6; ++k)
    if (k != 0) grid.push_back(0.5 * k);
  return grid;
}

// Offsets to try: the held one, else 0 (a law from x0) when the data lies
// beyond x0, and points below the first point by fractions of the span.
std::vector<double> OffsetCandidates(const Candidates& candidates, int index, double firstU, double span, bool many) {
  if (candidates.held(index)) return {candidates.current(index)};
  std::vector<double> offsets;
  if (firstU > 0) offsets.push_back(0);
  const std::vector<double> fractions = many ? std::vector<double>{0.001, 0.01, 0.05, 0.2, 0.5, 1, 2}
                                             : std::vector<double>{0.1};
  for (double f : fractions) offsets.push_back(firstU - f * span);
  return offsets;
}

// The log-log slope of |y - baseline| against (u - off) over points
// [lo, hi): the exponent a law ruling there would have.
std::optional<double> LogLogSlope(const GuessPoints& pts, double x0, double off, double baseline, size_t lo, size_t hi) {
  std::vector<double> lx, ly;
  for (size_t i = lo; i < hi && i < pts.x.size(); ++i) {
    const double base = pts.x[i] - x0 - off, v = std::fabs(pts.y[i] - baseline);
    if (base <= 0 || v <= 0) continue;
    lx.push_back(std::log(base));
    ly.push_back(std::log(v));
  }
  const auto line = WeightedLine(lx, ly);
  if (!line) return std::nullopt;
  return line->slope;
}

}  // namespace

std::string GuessPowerLaw(GuessContext& context) {
  const GuessPoints& pts = context.points;
  Candidates& candidates = context.candidates;
  const int n = context.order();
  const double x0 = candidates.current(1);
  const double firstU = pts.x.front() - x0, span = pts.span();
  const std::vector<int> linear = LinearIndices(2, 3, n);
  const double baseline = candidates.held(0) ? candidates.current(0) : 0.0;
  const auto grid = ExponentGrid();
  Params p{};
  p[1] = x0;
  if (n == 1) {
    for (double off : OffsetCandidates(candidates, 3, firstU, span, true)) {
      p[3] = off;
      std::vector<double> exponents = grid;
      if (auto slope = LogLogSlope(pts, x0, off, baseline, 0, pts.x.size())) exponents.push_back(*slope);
      for (double e : exponents) {
        p[2] = 1;
        p[4] = e;
        candidates.propose(p, linear);
      }
    }
  } else {
    const size_t third = pts.x.size() / 3;
    for (double off : OffsetCandidates(candidates, 3, firstU, span, false)) {
      for (int k = 0; k < n; ++k) p[static_cast<size_t>(3 + 3 * k)] = candidates.held(3 + 3 * k) ? candidates.current(3 + 3 * k) : off;
      // The two ends' slopes: the law ruling each end.
      const auto low = LogLogSlope(pts, x0, off, baseline, 0, third);
      const auto high = LogLogSlope(pts, x0, off, baseline, pts.x.size() - third, pts.x.size());
      std::vector<std::vector<double>> sets;
      if (low && high) {
        std::vector<double> spread;
        for (int k = 0; k < n; ++k) spread.push_back(*low + (*high - *low) * k / (n - 1));
        sets.push_back(spread);
      }
      for (size_t i = 0; i < grid.size(); ++i)
        for (size_t j = i + 1; j < grid.size(); ++j) {
          std::vector<double> pair(static_cast<size_t>(n));
          for (int k = 0; k < n; ++k) pair[static_cast<size_t>(k)] = grid[i] + (grid[j] - grid[i]) * k / (n - 1);
          sets.push_back(pair);
        }
      for (const auto& exponents : sets) {
        for (int k = 0; k < n; ++k) {
          p[static_cast<size_t>(2 + 3 * k)] = 1;
          p[static_cast<size_t>(4 + 3 * k)] = exponents[static_cast<size_t>(k)];
        }
        candidates.propose(p, linear);
      }
    }
  }
  std::vector<Candidates::Move> moves;
  for (int k = 0; k < n; ++k) {
    moves.push_back({3 + 3 * k, 0.1 * span});
    moves.push_back({4 + 3 * k});
  }
  candidates.refine(moves, linear);
  return {};
}

std::string GuessMctPowerLaws(GuessContext& context) {
  const GuessPoints& pts = context.points;
  Candidates& candidates = context.candidates;
  const double x0 = candidates.current(1);
  if (pts.x.front() <= x0)
    return CFormat("The fit range starts at %g, not beyond x0 = %g: the MCT power laws have no value there",
                   pts.x.front(), x0);
  const auto smooth = Smoothed(pts.y, SmoothingHalfWidth(pts.size()));
  const auto low = std::min_element(smooth.begin(), smooth.end()) - smooth.begin();
  const auto high = std::max_element(smooth.begin(), smooth.end()) - smooth.begin();
  static const double kExponents[] = {0.1, 0.2, 0.3, 0.5, 0.7, 1.0};
  const std::vector<int> linear{0, 2};
  for (auto extreme : {low, high}) {
    const double wmin = pts.x[static_cast<size_t>(extreme)] - x0;
    for (double scale : {0.5, 1.0, 2.0}) {
      for (double a : kExponents) {
        for (double b : kExponents) {
          Params p{};
          p[1] = x0;
          p[2] = 1;
          p[3] = a;
          p[4] = b;
          p[5] = wmin * scale;
          candidates.propose(p, linear);
        }
      }
    }
  }
  candidates.refine({{3}, {4}, {5}}, linear);
  return {};
}

}  // namespace zentrel::guess
