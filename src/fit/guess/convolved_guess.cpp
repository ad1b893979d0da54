// The forms with a rise and a tail: the dual-sided exponential (a cusp at
// x0), exponentials convolved with a Gaussian (a smoothed step at x0, then
// the decay) and the squared sum convolved with a dual-sided exponential.
// The rising edge places x0 and the Gaussian's width, the tail's decay
// gives the times.

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "fit/guess/family_guesses.h"
#include "fit/guess/least_squares.h"
#include "fit/model_kind.h"

namespace zentrel::guess {

namespace {

// Where the curve stands out of its floor: the peak of a smoothed copy,
// and the rising edge's crossings of 10 %, 50 % and 90 % of it.
struct Rise {
  double baseline = 0;
  double height = 0;  // signed, above the baseline
  int peak = 0;
  double xPeak = 0;
  double x10 = 0, x50 = 0, x90 = 0;
};

Rise FindRise(const GuessPoints& pts, double baseline) {
  Rise rise;
  rise.baseline = baseline;
  std::vector<double> r = Smoothed(pts.y, SmoothingHalfWidth(pts.size()));
  for (double& v : r) v -= baseline;
  rise.peak = IndexOfLargestMagnitude(r);
  rise.height = r[static_cast<size_t>(rise.peak)];
  rise.xPeak = pts.x[static_cast<size_t>(rise.peak)];
  const double h = std::fabs(rise.height);
  rise.x10 = CrossingX(pts.x, r, rise.peak, -1, 0.1 * h).value_or(pts.x.front());
  rise.x50 = CrossingX(pts.x, r, rise.peak, -1, 0.5 * h).value_or(pts.x.front());
  rise.x90 = CrossingX(pts.x, r, rise.peak, -1, 0.9 * h).value_or(rise.xPeak);
  return rise;
}

double Spacing(const GuessPoints& pts) { return pts.span() / std::max(1, pts.size() - 1); }

// The points at or after x (the tail) or before it, mirrored to a decay
// (x - from); as a decay in ascending x either way.
void Side(const GuessPoints& pts, double from, bool after, std::vector<double>& xs, std::vector<double>& ys) {
  xs.clear();
  ys.clear();
  if (after) {
    for (size_t i = 0; i < pts.x.size(); ++i)
      if (pts.x[i] >= from) {
        xs.push_back(pts.x[i] - from);
        ys.push_back(pts.y[i]);
      }
  } else {
    for (size_t i = pts.x.size(); i-- > 0;)
      if (pts.x[i] <= from) {
        xs.push_back(from - pts.x[i]);
        ys.push_back(pts.y[i]);
      }
  }
}

std::vector<double> Baselines(const GuessContext& context) {
  if (context.candidates.held(0)) return {context.candidates.current(0)};
  const double start = EdgeMean(context.points.y, 0.05, true), end = EdgeMean(context.points.y, 0.05, false);
  return {start, 0.5 * (start + end)};
}

// The squared sum convolved with a Gaussian counts each product a_j·a_k
// once: with the times fixed it is linear in the products, not in the
// amplitudes. The products are solved by least squares (each term pair's
// shape evaluated alone), the amplitudes read off the squares and the
// first row's signs, and p proposed with y0 alone left to the pool.
void ProposeFromProducts(Candidates& pool, Params p, int n, int first) {
  const GuessPoints& pts = pool.points();
  p[0] = 0;
  auto shape = [&](int j, int k) -> std::optional<std::vector<double>> {
    Params q = p;
    for (int m = 0; m < n; ++m) q[static_cast<size_t>(first + 2 * m)] = m == j || m == k ? 1 : 0;
    return pool.evaluate(q);
  };
  std::vector<std::vector<double>> singles, columns{std::vector<double>(pts.y.size(), 1.0)};
  for (int j = 0; j < n; ++j) {
    auto single = shape(j, j);
    if (!single) return;
    singles.push_back(*single);
  }
  std::vector<std::pair<int, int>> pairs;
  for (int j = 0; j < n; ++j)
    for (int k = j; k < n; ++k) {
      if (j == k) {
        columns.push_back(singles[static_cast<size_t>(j)]);
      } else {
        auto both = shape(j, k);
        if (!both) return;
        // a_j = a_k = 1 gives both squares and the cross term once.
        for (size_t i = 0; i < both->size(); ++i)
          (*both)[i] -= singles[static_cast<size_t>(j)][i] + singles[static_cast<size_t>(k)][i];
        columns.push_back(*both);
      }
      pairs.emplace_back(j, k);
    }
  const auto c = LeastSquares(columns, pts.y);
  if (!c) return;
  auto product = [&](int j, int k) {
    for (size_t m = 0; m < pairs.size(); ++m)
      if (pairs[m] == std::make_pair(j, k)) return (*c)[m + 1];
    return 0.0;
  };
  for (int k = 0; k < n; ++k) {
    // A negative square is noise on a term the data barely shows.
    const double square = std::fabs(product(k, k));
    const double sign = k == 0 ? 1.0 : (product(0, k) >= 0 ? 1.0 : -1.0);
    p[static_cast<size_t>(first + 2 * k)] = sign * std::sqrt(square);
  }
  p[0] = (*c)[0];
  pool.propose(p, {0});
}

}  // namespace

std::string GuessDualSided(GuessContext& context) {
  const GuessPoints& pts = context.points;
  Candidates& candidates = context.candidates;
  const int n = context.order();
  const std::vector<int> linear = LinearIndices(2, 3, n);
  std::vector<double> xs, ys;
  for (double baseline : Baselines(context)) {
    const Rise rise = FindRise(pts, baseline);
    const double x0 = candidates.x0Or(rise.xPeak);
    Side(pts, x0, true, xs, ys);
    const auto fall = DecayRateCandidates(xs, ys, n, baseline, context.noise);
    Side(pts, x0, false, xs, ys);
    const auto grow = DecayRateCandidates(xs, ys, n, baseline, context.noise);
    for (const auto& f : fall) {
      for (const auto& g : grow) {
        // Terms pair fastest with fastest, and the other way round.
        for (bool reversed : {false, true}) {
          if (reversed && n == 1) continue;
          Params p{};
          p[0] = baseline;
          p[1] = x0;
          for (int k = 0; k < n; ++k) {
            p[static_cast<size_t>(2 + 3 * k)] = rise.height;
            p[static_cast<size_t>(3 + 3 * k)] = 1 / std::fabs(f[static_cast<size_t>(k)]);
            p[static_cast<size_t>(4 + 3 * k)] = 1 / std::fabs(g[static_cast<size_t>(reversed ? n - 1 - k : k)]);
          }
          candidates.propose(p, linear);
        }
      }
    }
  }
  std::vector<Candidates::Move> moves{{1, Spacing(pts)}};
  for (int k = 0; k < n; ++k) {
    moves.push_back({3 + 3 * k});
    moves.push_back({4 + 3 * k});
  }
  candidates.refine(moves, linear);
  return {};
}

// Exponentials convolved with a Gaussian of width s, alone (kind 8), after
// a Gaussian of the same width (kind 11), or squared (kind 9): for s well
// below the times the curve is a step at x0 smoothed by s, so its half
// rise is x0 and its 10-90 % rise 2.56 s; the tail's decay gives the times
// (twice them for the squared sum, whose slowest decay is 2/t).
std::string GuessExpConvGaussian(GuessContext& context) {
  const GuessPoints& pts = context.points;
  Candidates& candidates = context.candidates;
  const int n = context.order();
  const int kind = context.fit.modelKind;
  const bool squared = kind == kSquaredExpConvGaussian, withGauss = kind == kGaussPlusExpConvGaussian;
  const int sIndex = withGauss ? 3 : 2, first = sIndex + 1;
  std::vector<int> linear{0};
  if (!squared) linear = LinearIndices(first, 2, n);
  if (withGauss) linear.push_back(2);
  std::vector<Candidates::Move> moves{{1, 0}, {sIndex}};
  for (int k = 0; k < n; ++k) {
    if (squared) moves.push_back({first + 2 * k});
    moves.push_back({first + 1 + 2 * k});
  }
  std::vector<double> xs, ys;
  for (double baseline : Baselines(context)) {
    const Rise rise = FindRise(pts, baseline);
    const double s = std::max(Spacing(pts) / 2, (rise.x90 - rise.x10) / 2.563);
    moves[0].shift = s;
    Side(pts, rise.xPeak, true, xs, ys);
    const double tailBase = candidates.held(0) ? candidates.current(0) : EdgeMean(pts.y, 0.1, false);
    const auto rateSets = DecayRateCandidates(xs, ys, n, tailBase, context.noise);
    // The squared sum's tail holds a term for every pair: its slowest is
    // 2/t of the longest time, its fastest 2/t of the shortest.
    std::vector<std::vector<double>> pairRateSets;
    if (squared && n > 1) pairRateSets = DecayRateCandidates(xs, ys, n * (n + 1) / 2, tailBase, context.noise);
    auto proposeAt = [&](Candidates& pool, double position) {
      for (const auto& rates : rateSets) {
        for (double width : {0.5, 0.75, 1.0, 1.4, 2.0}) {
          for (int signs = 0; signs < (squared && n > 1 ? 2 : 1); ++signs) {
            Params p{};
            p[0] = baseline;
            p[1] = pool.x0Or(position);
            p[static_cast<size_t>(sIndex)] = s * width;
            if (withGauss) p[2] = 0;
            for (int k = 0; k < n; ++k) {
              const double t = 1 / std::fabs(rates[static_cast<size_t>(k)]);
              const double a = squared ? std::sqrt(std::fabs(rise.height) / n) : rise.height / (2 * n);
              p[static_cast<size_t>(first + 2 * k)] = signs == 1 && k % 2 == 1 ? -a : a;
              p[static_cast<size_t>(first + 1 + 2 * k)] = squared ? 2 * t : t;
            }
            pool.propose(p, linear);
          }
        }
      }
      // The pair products find the valley where every term keeps the
      // sign the data shows; refined on their own, as the unrefined
      // trades of sign between the terms score alike.
      Candidates products = pool.emptyCopy();
      for (const auto& rates : pairRateSets) {
        double slow = INFINITY, fast = 0;
        for (double rate : rates) {
          slow = std::min(slow, std::fabs(rate));
          fast = std::max(fast, std::fabs(rate));
        }
        if (!(slow > 0) || !std::isfinite(fast)) continue;
        for (double width : {0.5, 0.75, 1.0, 1.4, 2.0}) {
          Params p{};
          p[1] = pool.x0Or(position);
          p[static_cast<size_t>(sIndex)] = s * width;
          // Times from the shortest to the longest, evenly in log.
          for (int k = 0; k < n; ++k)
            p[static_cast<size_t>(first + 1 + 2 * k)] = 2 / fast * std::pow(fast / slow, static_cast<double>(k) / (n - 1));
          ProposeFromProducts(products, p, n, first);
        }
      }
      if (!products.found()) return;
      products.refine(moves, linear, 4);
      pool.propose(products.best(), linear);
    };
    // x0 lies on the rising edge, at its half-height when s is well below
    // the times and later when it is not (or when a Gaussian rides on the
    // front): every place from before the edge to the peak is tried.
    std::vector<double> positions{rise.x50 - 0.5 * s, rise.x50, rise.x50 + 0.5 * s};
    for (int k = 0; k <= 9; ++k) positions.push_back(rise.x10 - s + k * (rise.xPeak - rise.x10 + s) / 9);
    for (double position : positions) {
      if (!withGauss) {
        proposeAt(candidates, position);
        continue;
      }
      // The Gaussian on the front makes valleys of its own along the edge
      // (the exponential's rise can stand in for it): each place is
      // refined on its own, and the best of them wins.
      Candidates local = candidates.emptyCopy();
      proposeAt(local, position);
      local.refine(moves, linear, 4);
      if (local.found()) candidates.propose(local.best(), linear);
    }
  }
  if (!candidates.found()) return {};
  candidates.refine(moves, linear);
  return {};
}

namespace {

// The squared sum convolved with a dual-sided exponential rises as
// exp(v/tr) before x0 and falls after it as the sum's pair rates
// (2/t_k, 1/t_j + 1/t_k) and 1/tf. Each pair is normalised to its peak
// and the model is linear in the amplitudes' products, which least
// squares sets for every candidate (a held amplitude leaves the others
// a share of the peak's height each, to the search).
void ProposeSquaredExpConvDualSided(const GuessContext& context, Candidates& candidates) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const std::vector<int> linear{0};
  std::vector<double> xs, ys;
  for (double baseline : Baselines(context)) {
    const Rise rise = FindRise(pts, baseline);
    const double width = std::max(rise.xPeak - rise.x10, Spacing(pts));
    const double tailBase = candidates.held(0) ? candidates.current(0) : EdgeMean(pts.y, 0.1, false);
    Side(pts, rise.x50, false, xs, ys);
    const auto grows = DecayRateCandidates(xs, ys, 1, baseline, context.noise);
    const double rising = grows.empty() ? 1 / width : std::fabs(grows[0][0]);
    Side(pts, rise.xPeak, true, xs, ys);
    auto proposeTimes = [&](Params p) {
      for (int k = 0; k < n; ++k) p[static_cast<size_t>(4 + 2 * k)] = std::sqrt(std::fabs(rise.height) / n);
      for (double shift : {0.0, 0.5, 1.0}) {
        p[0] = baseline;
        p[1] = candidates.x0Or(rise.xPeak - shift * (rise.xPeak - rise.x50));
        candidates.propose(p, linear);
      }
    };
    // The tail as n + 1 exponentials, one of them 1/tf, the others 2/t_k
    // (the pair rates between them are not told apart): every choice.
    for (const auto& fall : DecayRateCandidates(xs, ys, n + 1, tailBase, context.noise)) {
      for (int fallIndex = 0; fallIndex <= n; ++fallIndex) {
        Params p{};
        p[2] = 1 / std::fabs(fall[static_cast<size_t>(fallIndex)]);
        p[3] = 1 / rising;
        int k = 0;
        for (int j = 0; j <= n; ++j) {
          if (j == fallIndex) continue;
          p[static_cast<size_t>(5 + 2 * k)] = 2 / std::fabs(fall[static_cast<size_t>(j)]);
          ++k;
        }
        proposeTimes(p);
      }
    }
    // A fall as fast as the rise hides in the peak, and the tail holds the
    // sum's pair rates alone: the times from its slowest and fastest, tf
    // and tr from the rise's width.
    for (const auto& rates : DecayRateCandidates(xs, ys, n * (n + 1) / 2, tailBase, context.noise)) {
      double slow = INFINITY, fast = 0;
      for (double rate : rates) {
        slow = std::min(slow, std::fabs(rate));
        fast = std::max(fast, std::fabs(rate));
      }
      if (!(slow > 0) || !std::isfinite(fast)) continue;
      for (double fallShare : {0.1, 0.25, 0.5, 1.0})
        for (double riseShare : {0.15, 0.3, 0.6}) {
          Params p{};
          p[2] = fallShare * width;
          p[3] = riseShare * width;
          for (int k = 0; k < n; ++k)
            p[static_cast<size_t>(5 + 2 * k)] =
                n == 1 ? 2 / slow : 2 / fast * std::pow(fast / slow, static_cast<double>(k) / (n - 1));
          proposeTimes(p);
        }
    }
  }
}

}  // namespace

// The data rarely tells apart the valleys where the fall 1/tf trades
// places with a term's 2/t (for one term the curve is the very same, for
// more nearly so) or where the terms' signs differ, and a fit stays in
// the valley it starts in. The guess takes the one meant most often: the
// fall the fastest rate (the response sharper than the decay) and every
// amplitude of one sign. Only when the other valleys fit the data clearly
// better (a tenth of the chi-square) does it start there.
std::string GuessSquaredExpConvDualSided(GuessContext& context) {
  const int n = context.order();
  const std::vector<int> linear{0};
  context.candidates.solveAmplitudesAsProducts(4, 2, n);
  Candidates any = context.candidates.emptyCopy();
  Candidates preferred = context.candidates.emptyCopy();
  preferred.solveAmplitudesAsProducts(4, 2, n, true);
  preferred.admitOnly([n](const Params& p) {
    for (int k = 0; k < n; ++k)
      if (!(std::fabs(p[2]) <= 0.5 * std::fabs(p[static_cast<size_t>(5 + 2 * k)]))) return false;
    return true;
  });
  ProposeSquaredExpConvDualSided(context, preferred);
  ProposeSquaredExpConvDualSided(context, any);
  std::vector<Candidates::Move> moves{{1, Spacing(context.points)}, {2}, {3}};
  bool amplitudeHeld = false;
  for (int k = 0; k < n; ++k) amplitudeHeld = amplitudeHeld || context.candidates.held(4 + 2 * k);
  for (int k = 0; k < n; ++k) {
    if (amplitudeHeld) moves.push_back({4 + 2 * k});
    moves.push_back({5 + 2 * k});
  }
  if (preferred.found()) preferred.refine(moves, linear);
  Candidates& chosen =
      preferred.found() && !(any.found() && any.bestChiSquare() < 0.1 * preferred.bestChiSquare()) ? preferred : any;
  if (!chosen.found()) return {};
  if (&chosen == &any) any.refine(moves, linear);
  // Its amplitudes are solved again as the chosen pool solved them.
  context.candidates.solveAmplitudesAsProducts(4, 2, n, &chosen == &preferred);
  context.candidates.propose(chosen.best(), linear);
  return {};
}

}  // namespace zentrel::guess
