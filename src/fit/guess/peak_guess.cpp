// Gaussian and Lorentzian peaks: found one at a time on a smoothed copy
// less the baseline (the largest excursion, up or down, is the next peak;
// its half-maximum crossings give its width), each found peak subtracted
// before the next is looked for. Heights and y0 by least squares.

#include <algorithm>
#include <cmath>

#include "fit/guess/family_guesses.h"
#include "fit/model_kind.h"

namespace zentrel::guess {

namespace {

struct Peak {
  double position, height, fwhm;
};

// The peak shape at unit height, for subtracting found peaks.
double Shape(bool gaussian, double z) { return gaussian ? std::exp(-0.5 * z * z) : 1 / (1 + 4 * z * z); }

std::vector<Peak> FindPeaks(const GuessPoints& pts, double baseline, int count, bool gaussian) {
  std::vector<double> rest = Smoothed(pts.y, SmoothingHalfWidth(pts.size()));
  for (double& v : rest) v -= baseline;
  const double span = pts.span();
  std::vector<Peak> peaks;
  for (int k = 0; k < count; ++k) {
    const int top = IndexOfLargestMagnitude(rest);
    const double height = rest[static_cast<size_t>(top)];
    const auto left = CrossingX(pts.x, rest, top, -1, std::fabs(height) / 2);
    const auto right = CrossingX(pts.x, rest, top, 1, std::fabs(height) / 2);
    const double x = pts.x[static_cast<size_t>(top)];
    double fwhm = left && right ? *right - *left : left ? 2 * (x - *left) : right ? 2 * (*right - x) : span / 4;
    // Peaks narrower than the spacing still need a width the fit can see.
    const double spacing = span / std::max(1, pts.size() - 1);
    fwhm = std::max(fwhm, 2 * spacing);
    peaks.push_back({x, height, fwhm});
    const double width = gaussian ? fwhm / 2.3548 : fwhm;
    for (size_t i = 0; i < rest.size(); ++i) rest[i] -= height * Shape(gaussian, (pts.x[i] - x) / width);
  }
  return peaks;
}

}  // namespace

std::string GuessPeaks(GuessContext& context) {
  const GuessPoints& pts = context.points;
  const int n = context.order();
  const bool gaussian = context.fit.modelKind == kGaussian;
  Candidates& candidates = context.candidates;
  const double x0 = candidates.current(1);
  std::vector<double> baselines;
  if (candidates.held(0)) {
    baselines.push_back(candidates.current(0));
  } else {
    // Peaks on a flat floor: the ends; peaks filling the range: the
    // median, or the floor below them all.
    baselines.push_back(0.5 * (EdgeMean(pts.y, 0.05, true) + EdgeMean(pts.y, 0.05, false)));
    baselines.push_back(Median(pts.y));
    baselines.push_back(std::min(EdgeMean(pts.y, 0.05, true), EdgeMean(pts.y, 0.05, false)));
  }
  const std::vector<int> linear = LinearIndices(2, 3, n);
  for (double baseline : baselines) {
    const auto peaks = FindPeaks(pts, baseline, n, gaussian);
    Params p{};
    p[0] = baseline;
    p[1] = x0;
    for (int k = 0; k < n; ++k) {
      const Peak& peak = peaks[static_cast<size_t>(k)];
      p[static_cast<size_t>(2 + 3 * k)] = peak.height;
      p[static_cast<size_t>(3 + 3 * k)] = peak.position - x0;
      p[static_cast<size_t>(4 + 3 * k)] = gaussian ? peak.fwhm / 2.3548 : peak.fwhm;
    }
    candidates.propose(p, linear);
  }
  if (!candidates.found()) return {};
  std::vector<Candidates::Move> moves;
  for (int k = 0; k < n; ++k) {
    const double width = candidates.best()[static_cast<size_t>(4 + 3 * k)];
    moves.push_back({3 + 3 * k, std::fabs(width)});
    moves.push_back({4 + 3 * k});
  }
  candidates.refine(moves, linear);
  return {};
}

}  // namespace zentrel::guess
