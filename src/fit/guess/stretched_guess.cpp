// Stretched exponentials a·exp(-(u/t)^b): for each stretch b of a grid,
// ln|y - y0| is a line in u^b, whose slope gives t; several terms start
// from the exponential rates with stretches from a coarser grid. The
// squared form guesses its sum from the square root above the baseline.

#include <algorithm>
#include <cmath>

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
  std::vector<double> baselines{DecayBaseline(context, pts.y)};
  if (!context.candidates.held(0)) {
    const auto smooth = Smoothed(pts.y, SmoothingHalfWidth(pts.size()));
    baselines.push_back(*std::min_element(smooth.begin(), smooth.end()));
  }
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
    Params p = sum.best();
    p[0] = baseline;
    context.candidates.propose(p, linear);
  }
  context.candidates.refine(StretchedMoves(context.order(), true), linear);
  return {};
}

}  // namespace zentrel::guess
