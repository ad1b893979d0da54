// Stretched exponentials a·exp(-(u/t)^b): for each stretch b of a grid,
// ln|y - y0| is a line in u^b, whose slope gives t; several terms start
// from the exponential rates with stretches from a coarser grid. The
// squared form guesses its sum from the square root above the baseline.

#include <algorithm>
#include <cmath>
#include <optional>

#include "fit/guess/family_guesses.h"
#include "fit/model_kind.h"
#include "numeric/c_format.h"

namespace zentrel::guess {

namespace {

constexpr double kStretches[] = {0.3, 0.45, 0.6, 0.8, 1.0, 1.3, 1.7, 2.2, 3.0};
constexpr double kTermStretches[] = {0.5, 0.75, 1.0, 1.5, 2.0};

// The x0 the stretched forms need: no point before it.
std::string BeforeX0(const GuessContext& context) {
  const double x0 = context.candidates.current(1);
  if (context.points.x.front() < x0)
    return CFormat("The fit range starts at %g, before x0 = %g: the stretched exponential has no value there",
                   context.points.x.front(), x0);
  return {};
}

struct StretchedTerm {
  double a, t, b;
  double misfit;  // weighted squared residual of its log line
};

// The stretched term a·exp(-(u/t)^b) that best explains the signed
// values v over points [lo, hi) (u = x - x0): for each stretch of the
// grid, ln|v| against u^b is a line; the straightest wins.
std::optional<StretchedTerm> TermOnWindow(const GuessPoints& pts, const std::vector<double>& v, double x0, size_t lo,
                                          size_t hi, double floor) {
  double sum = 0;
  for (size_t i = lo; i < hi; ++i) sum += v[i];
  const double sign = sum >= 0 ? 1.0 : -1.0;
  std::optional<StretchedTerm> best;
  for (double b : kStretches) {
    std::vector<double> powers, logs, weights;
    for (size_t i = lo; i < hi; ++i) {
      const double u = pts.x[i] - x0, value = sign * v[i];
      if (u <= 0 || value <= floor) continue;
      powers.push_back(std::pow(u, b));
      logs.push_back(std::log(value));
      weights.push_back(value * value);
    }
    if (powers.size() < 4) continue;
    const auto line = WeightedLine(powers, logs, weights);
    if (!line || !(line->slope < 0)) continue;
    double misfit = 0;
    for (size_t i = 0; i < powers.size(); ++i) {
      const double r = logs[i] - line->intercept - line->slope * powers[i];
      misfit += weights[i] * r * r;
    }
    if (!best || misfit < best->misfit)
      best = StretchedTerm{sign * std::exp(std::min(line->intercept, 700.0)), std::pow(-line->slope, -1 / b), b, misfit};
  }
  return best;
}

// Peels stretched terms off the data less its baseline, slowest first,
// each from its share of the points still above the noise.
void ProposePeeledStretched(GuessContext& context, const std::vector<double>& y, double baseline,
                            const std::vector<int>& linear, double noise) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const double x0 = context.candidates.current(1);
  std::vector<double> rest(y.size());
  for (size_t i = 0; i < y.size(); ++i) rest[i] = y[i] - baseline;
  const auto smooth = Smoothed(rest, SmoothingHalfWidth(pts.size()));
  size_t last = rest.size() - 1;
  while (last > 0 && std::fabs(smooth[last]) <= 3 * noise) --last;
  Params p{};
  p[0] = baseline;
  p[1] = x0;
  for (int term = n - 1; term >= 0; --term) {
    const size_t lo = (last + 1) * static_cast<size_t>(term) / static_cast<size_t>(n);
    const size_t hi = (last + 1) * static_cast<size_t>(term + 1) / static_cast<size_t>(n);
    const auto found = TermOnWindow(pts, rest, x0, lo, hi, 2 * noise);
    if (!found) return;
    p[static_cast<size_t>(2 + 3 * term)] = found->a;
    p[static_cast<size_t>(3 + 3 * term)] = found->t;
    p[static_cast<size_t>(4 + 3 * term)] = found->b;
    for (size_t i = 0; i < rest.size(); ++i) {
      const double u = pts.x[i] - x0;
      if (u > 0) rest[i] -= found->a * std::exp(-std::pow(u / found->t, found->b));
      else if (u == 0) rest[i] -= found->a;
    }
  }
  context.candidates.propose(p, linear);
}

// Proposes (t, b) per term for the sum y0 + Σ a exp(-(u/t)^b) of data y;
// `linear` says which parameters least squares sets.
void ProposeStretched(GuessContext& context, const std::vector<double>& y, double baseline,
                      const std::vector<int>& linear, double noise) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const double x0 = context.candidates.current(1);
  Params p{};
  p[0] = baseline;
  p[1] = x0;
  if (n == 1) {
    double sum = 0;
    for (double v : y) sum += v - baseline;
    const double sign = sum >= 0 ? 1.0 : -1.0;
    for (double b : kStretches) {
      std::vector<double> powers, logs, weights;
      for (size_t i = 0; i < y.size(); ++i) {
        const double u = pts.x[i] - x0, v = sign * (y[i] - baseline);
        if (u <= 0 || v <= 2 * noise) continue;
        powers.push_back(std::pow(u, b));
        logs.push_back(std::log(v));
        weights.push_back(v * v);
      }
      const auto line = WeightedLine(powers, logs, weights);
      if (!line || !(line->slope < 0)) continue;
      p[2] = sign * std::exp(std::min(line->intercept, 700.0));
      p[3] = std::pow(-line->slope, -1 / b);
      p[4] = b;
      context.candidates.propose(p, linear);
    }
    return;
  }
  ProposePeeledStretched(context, y, baseline, linear, noise);
  for (const auto& rates : DecayRateCandidates(pts.x, y, n, baseline, noise)) {
    const int combinations = n == 2 ? 25 : 5;
    for (int c = 0; c < combinations; ++c) {
      for (int k = 0; k < n; ++k) {
        const int pick = n == 2 ? (k == 0 ? c / 5 : c % 5) : c;
        p[static_cast<size_t>(2 + 3 * k)] = 1;
        p[static_cast<size_t>(3 + 3 * k)] = 1 / std::fabs(rates[static_cast<size_t>(k)]);
        p[static_cast<size_t>(4 + 3 * k)] = kTermStretches[pick];
      }
      context.candidates.propose(p, linear);
    }
  }
}

std::vector<Candidates::Move> StretchedMoves(int n, bool amplitudes) {
  std::vector<Candidates::Move> moves;
  for (int k = 0; k < n; ++k) {
    if (amplitudes) moves.push_back({2 + 3 * k});
    moves.push_back({3 + 3 * k});
    moves.push_back({4 + 3 * k});
  }
  return moves;
}

}  // namespace

std::string GuessStretched(GuessContext& context) {
  if (std::string problem = BeforeX0(context); !problem.empty()) return problem;
  const std::vector<int> linear = LinearIndices(2, 3, context.order());
  ProposeStretched(context, context.points.y, DecayBaseline(context, context.points.y), linear, context.noise);
  context.candidates.refine(StretchedMoves(context.order(), false), linear);
  return {};
}

std::string GuessSquaredStretched(GuessContext& context) {
  if (std::string problem = BeforeX0(context); !problem.empty()) return problem;
  const GuessPoints& pts = context.points;
  const std::vector<double> baselines = DecayBaselines(context, pts.y);
  const std::vector<int> linear{0};
  for (double baseline : baselines) {
    // The sum's own amplitudes come from the root; the squared model then
    // takes only y0 by least squares.
    std::vector<double> root(pts.y.size());
    for (size_t i = 0; i < root.size(); ++i) root[i] = std::sqrt(std::max(pts.y[i] - baseline, 0.0));
    GuessPoints rootPoints{pts.x, root};
    Fit sumFit(context.fit);
    sumFit.modelKind = kStretchedExponential;
    sumFit.convolve = 0;
    sumFit.freeFlags[0] = 0;
    sumFit.params[0] = 0;
    Candidates sum(sumFit, FitData{}, rootPoints);
    GuessContext sumContext{sumFit, sum, rootPoints, std::max(NoiseLevel(root), 1e-300)};
    ProposeStretched(sumContext, root, 0.0, LinearIndices(2, 3, context.order()), sumContext.noise);
    if (!sum.found()) continue;
    // The root's best few, brought into their valleys first: the square
    // ranks them differently than the root does.
    sum.refine(StretchedMoves(context.order(), false), LinearIndices(2, 3, context.order()));
    for (Params p : sum.leading()) {
      p[0] = baseline;
      context.candidates.propose(p, linear);
    }
  }
  context.candidates.refine(StretchedMoves(context.order(), true), linear);
  return {};
}

}  // namespace zentrel::guess
