#include "fit/profile_confidence.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "fit/convergence.h"
#include "fit/engine.h"
#include "fit/fit_parameters.h"
#include "fit/fit_workspace.h"
#include "fit/model.h"
#include "fit/response_shift.h"
#include "fit/weights.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// Φ⁻¹(p) for 0 < p < 1: a rational first guess refined by two Halley
// steps on erfc, good to rounding.
double NormalQuantile(double p) {
  static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02, -2.759285104469687e+02,
                             1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                             6.680131188771972e+01,  -1.328068155288572e+01};
  static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                             -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                             3.754408661907416e+00};
  double x;
  if (p < 0.02425) {
    const double q = std::sqrt(-2 * std::log(p));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  } else if (p > 1 - 0.02425) {
    const double q = std::sqrt(-2 * std::log(1 - p));
    x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1);
  } else {
    const double q = p - 0.5, r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1);
  }
  for (int k = 0; k < 2; ++k) {
    const double e = 0.5 * std::erfc(-x / std::sqrt(2.0)) - p;
    const double u = e * std::sqrt(2 * std::numbers::pi) * std::exp(x * x / 2);
    x -= u / (1 + x * u / 2);
  }
  return x;
}

// The chi-square with parameter `held` at `value` and the other free
// parameters fitted again, starting from the best fit.
struct Refit {
  std::optional<double> chiSquare;  // nothing when the re-fit failed
  std::string failure;
};

class Profiler {
 public:
  Profiler(const Fit& best, const FitData& data, const ProfileOptions& options)
      : best_(best), data_(data), options_(options) {}

  // The bound a parameter's profile meets going in `direction` (an
  // infinity when it has none): it cannot be held beyond it.
  double edge(int index, double direction) const {
    if (index == kShiftIndex) return direction * HUGE_VAL;  // the shift has no bounds
    const auto i = static_cast<size_t>(index);
    return direction > 0 ? best_.upperBounds[i] : best_.lowerBounds[i];
  }

  Refit at(int held, double value) {
    ClearNumericError();
    Fit fit(best_);
    fit.method = kMethodLevenbergMarquardt;
    HoldEngineParameter(fit, held);
    SetEngineParameter(fit, held, value);
    fit.iterationCount = 0;
    FitWorkspace work;
    if (!FreeEngineIndex(fit).empty()) {
      for (int it = 0; it < options_.maxIterations; ++it) {
        const StepResult step = Step(fit, data_, work, 1);
        if (!step.ok()) return {std::nullopt, step.message.empty() ? std::string("the re-fit failed") : step.message};
        if (LevenbergMarquardtConvergence(work.lm) != Convergence::kNotYet) break;
      }
    }
    ModelScope scope{fit, data_, work.spline, &work.convolution};
    const double chi = ChiSquare(scope, fit.params.data());
    if (NumericErrorState().code != 0 || !std::isfinite(chi))
      return {std::nullopt, NumericErrorState().message.empty() ? std::string("the model cannot be evaluated")
                                                                : NumericErrorState().message};
    return {chi, {}};
  }

 private:
  const Fit& best_;
  const FitData& data_;
  const ProfileOptions& options_;
};

}  // namespace

double DeltaChiSquareForLevel(double level) {
  if (std::fabs(level - 0.683) < 5e-4) return 1.0;
  const double z = NormalQuantile(0.5 * (1.0 + level));
  return z * z;
}

namespace {

// Follows one side (direction −1 or +1) of a parameter's profile out to
// where it crosses the threshold. `report` is called after each re-fit and
// answers false to stop.
template <typename Report>
IntervalEnd FollowSide(Profiler& profiler, int index, double best, double firstStep, double direction,
                       double bestChiSquare, double threshold, const ProfileOptions& options, int& refits, bool& stopped, Report report) {
  IntervalEnd end;
  // g(t) = profile(t) − threshold: below 0 inside the interval.
  auto evaluate = [&](double t) -> std::optional<double> {
    const Refit refit = profiler.at(index, t);
    ++refits;
    if (!report()) stopped = true;
    if (!refit.chiSquare) {
      end.reason = refit.failure;
      return std::nullopt;
    }
    return *refit.chiSquare - threshold;
  };
  const double tolerance = options.relativeTolerance * firstStep;
  double inside = best, step = firstStep;
  std::optional<double> outside;  // a point beyond the level
  double gInside = bestChiSquare - threshold, gOutside = 1;
  std::optional<double> failedAt;  // the nearest point where the re-fit failed
  int halvings = 0;
  for (int k = 0; k <= options.maxExpansions && !stopped; ++k) {
    double t = best + direction * step;
    // A doubled step must not leap across 0, where many models change
    // character (a time of 0, a width of 0): it halves the way to 0 first,
    // until it is close.
    if (best != 0 && (t > 0) != (best > 0) && std::fabs(inside) > 1e-3 * std::fabs(best) && halvings < 20) {
      t = 0.5 * inside;
      step = std::fabs(t - best);
      ++halvings;
      --k;
    }
    // A bounded parameter's profile ends at its bound: followed that far
    // below the level, the side is not reached.
    if (const double edge = profiler.edge(index, direction); direction * (t - edge) > 0) {
      if (inside == edge) break;
      t = edge;
    }
    const std::optional<double> g = evaluate(t);
    if (!g) {
      failedAt = t;
      break;
    }
    if (*g >= 0) {
      outside = t;
      gOutside = *g;
      break;
    }
    inside = t;
    gInside = *g;
    step *= 2;
  }
  // A failure: halve towards the last point inside until a point beyond the
  // level turns up, or the two meet.
  while (failedAt && !outside && !stopped && std::fabs(*failedAt - inside) > tolerance) {
    const double t = 0.5 * (inside + *failedAt);
    const std::optional<double> g = evaluate(t);
    if (!g) failedAt = t;
    else if (*g >= 0) {
      outside = t;
      gOutside = *g;
    } else {
      inside = t;
      gInside = *g;
    }
  }
  if (!outside) {
    end.kind = failedAt ? IntervalEnd::Kind::kFailed : IntervalEnd::Kind::kUnbounded;
    end.value = inside;
    if (!failedAt) end.reason.clear();
    return end;
  }
  // Regula falsi with the Illinois modification between inside and outside:
  // an end kept twice in a row has its value halved, so both ends move.
  double a = inside, ga = gInside, b = *outside, gb = gOutside;
  int lastMoved = 0;  // -1: a moved last, +1: b
  const double quiet = 1e-12 * std::max(threshold, 1e-300);
  for (int k = 0; k < 100 && !stopped && std::fabs(b - a) > tolerance; ++k) {
    const double t = (a * gb - b * ga) / (gb - ga);
    const std::optional<double> g = evaluate(t);
    if (!g) {  // a failure between two usable points: treat it as beyond the level
      b = t;
      gb = std::max(gb, -ga);
      lastMoved = 1;
      continue;
    }
    if (std::fabs(*g) <= quiet) {
      a = b = t;
      ga = gb = 0;
      break;
    }
    if (*g < 0) {
      a = t;
      ga = *g;
      if (lastMoved == -1) gb /= 2;
      lastMoved = -1;
    } else {
      b = t;
      gb = *g;
      if (lastMoved == 1) ga /= 2;
      lastMoved = 1;
    }
  }
  end.kind = IntervalEnd::Kind::kFound;
  end.reason.clear();
  end.value = a == b ? a : (a * gb - b * ga) / (gb - ga);
  if (!std::isfinite(end.value)) end.value = 0.5 * (a + b);
  return end;
}

}  // namespace

ProfileConfidence ProfileConfidenceIntervals(const Fit& fit, const FitData& data, const ProfileOptions& options,
                                             const ProgressCallback& progress) {
  ProfileConfidence result;
  result.level = options.level;
  if (!(options.level > 0 && options.level < 1)) {
    result.error = CFormat("the confidence level must lie between 0 and 1, not %g", options.level);
    return result;
  }
  result.deltaChiSquare = DeltaChiSquareForLevel(options.level);
  const NumericError saved = NumericErrorState();
  Fit best(fit);
  // Uncertainties give the first trial step; they need a chi-square of the
  // best parameters first.
  const std::optional<FitUncertainties> uncertainties = ComputeUncertainties(best, data);
  ClearNumericError();
  Profiler profiler(best, data, options);
  const std::vector<int> freeIndex = FreeEngineIndex(best);
  const int points = CountPointsInRange(data, best.fitStart, best.fitEnd);
  const int dof = points - static_cast<int>(freeIndex.size());
  {
    FitWorkspace work;
    ModelScope scope{best, data, work.spline, &work.convolution};
    result.bestChiSquare = ChiSquare(scope, best.params.data());
    if (NumericErrorState().code != 0) result.error = NumericErrorState().message;
  }
  if (result.error.empty() && freeIndex.empty()) result.error = "the fit has no free parameters";
  if (result.error.empty() && dof <= 0)
    result.error = CFormat("the fit range holds %d points for %zu free parameters: no degrees of freedom", points,
                           freeIndex.size());
  if (!result.error.empty()) {
    NumericErrorState() = saved;
    return result;
  }
  result.scaled = !WeightsAreAbsolute(best, data);
  result.threshold = result.scaled ? result.bestChiSquare * (1.0 + result.deltaChiSquare / dof)
                                   : result.bestChiSquare + result.deltaChiSquare;
  const double sides = 2.0 * static_cast<double>(freeIndex.size());
  int sidesDone = 0;
  bool stopped = false;
  for (int index : freeIndex) {
    ProfileInterval interval;
    interval.parameter = index;
    interval.best = EngineParameter(best, index);
    std::optional<double> error;
    if (uncertainties) error = uncertainties->errors[static_cast<size_t>(index)];
    double firstStep = error && std::isfinite(*error) && *error > 0 ? *error * std::sqrt(result.deltaChiSquare)
                       : interval.best != 0                        ? 0.1 * std::fabs(interval.best)
                                                                   : 0.1;
    int refitsThisSide = 0;
    auto report = [&] {
      // Each side takes a few dozen re-fits at most; the fraction creeps
      // towards the side's end.
      const double within = 1.0 - 1.0 / (1.0 + 0.1 * ++refitsThisSide);
      return ContinueAfter(progress, (sidesDone + within) / sides);
    };
    interval.lower = FollowSide(profiler, index, interval.best, firstStep, -1.0, result.bestChiSquare, result.threshold, options,
                                interval.refits, stopped, report);
    ++sidesDone;
    refitsThisSide = 0;
    if (!stopped)
      interval.upper = FollowSide(profiler, index, interval.best, firstStep, 1.0, result.bestChiSquare,
                                  result.threshold, options,
                                  interval.refits, stopped, report);
    ++sidesDone;
    if (stopped) {
      result.cancelled = true;
      break;
    }
    result.intervals.push_back(interval);
  }
  NumericErrorState() = saved;
  return result;
}

}  // namespace zentrel
