#include "fit/fit_summary.h"

#include <algorithm>
#include <cmath>

#include "fit/engine.h"
#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "fit/poisson_deviance.h"
#include "fit/response_shift.h"
#include "fit/weights.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

// "%.6g", or "n/a" for a number that could not be had.
std::string Number(double v) { return std::isfinite(v) ? CFormat("%.6g", v) : std::string("n/a"); }

}  // namespace

std::optional<FitSummary> SummariseFit(const Fit& source, const FitData& data, const FitUncertainties* known) {
  const NumericError saved = NumericErrorState();
  ClearNumericError();
  // A copy: evaluating must not touch the chi-square the record shows.
  Fit fit(source);
  FitModel model(fit, data);
  std::vector<double> y, f, w, residuals;
  bool usable = true;
  for (size_t i = 0; i < data.x.size() && usable; ++i) {
    if (!InFitRange(fit, data.x[i])) continue;
    const double value = ModelValue(model.scope(), data.x[i], fit.params.data());
    usable = NumericErrorState().code == 0 && fit.errorCode == 0 && std::isfinite(value);
    y.push_back(data.y[i]);
    f.push_back(value);
    w.push_back(PointWeight(fit.weighting, data.y[i], SigmaAt(data, static_cast<int>(i)), value));
    residuals.push_back(data.y[i] - value);
  }
  std::optional<FitSummary> summary;
  if (usable) {
    summary.emplace();
    const int freeCount = static_cast<int>(FreeEngineIndex(fit).size());
    summary->absoluteWeights = WeightsAreAbsolute(fit, data);
    summary->goodness = fit.weighting == kWeightPoisson
                            ? PoissonGoodnessOfFit(y, f, freeCount)
                            : ComputeGoodnessOfFit(y, f, w, freeCount, summary->absoluteWeights);
    summary->runs = ResidualRunsTest(residuals);
    const std::optional<FitUncertainties> computed =
        known != nullptr ? std::nullopt : ComputeUncertainties(fit, data);
    if (const FitUncertainties* uncertainties = known != nullptr ? known : computed ? &*computed : nullptr) {
      summary->freeIndex = uncertainties->freeIndex;
      summary->correlation = CorrelationMatrix(uncertainties->covariance, uncertainties->freeCount);
    }
  }
  NumericErrorState() = saved;
  return summary;
}

std::vector<std::string> StatisticsLines(const FitSummary& summary, const std::vector<std::string>& names) {
  const GoodnessOfFit& g = summary.goodness;
  const RunsTest& runs = summary.runs;
  std::vector<std::string> lines;
  lines.push_back(CFormat("chi-square %s, reduced %s, %d degrees of freedom (%d points, %d free parameters)",
                          Number(g.chiSquare).c_str(), Number(g.reducedChiSquare).c_str(), g.degreesOfFreedom,
                          g.points, g.freeParameters));
  lines.push_back(CFormat("R-squared %s, AIC %s, BIC %s", Number(g.rSquared).c_str(), Number(g.aic).c_str(),
                          Number(g.bic).c_str()));
  lines.push_back(CFormat("runs test: %d runs of %d positive and %d negative residuals, expected %s, z %s, p %s",
                          runs.runs, runs.positive, runs.negative, Number(runs.expected).c_str(),
                          Number(runs.z).c_str(), Number(runs.p).c_str()));
  if (summary.correlation.empty()) {
    lines.push_back("correlation matrix: not available");
    return lines;
  }
  lines.push_back("correlation matrix (* |r| > 0.95):");
  auto nameOf = [&](size_t k) {
    const auto index = static_cast<size_t>(summary.freeIndex[k]);
    if (summary.freeIndex[k] == kShiftIndex) return std::string(kShiftName);
    return index < names.size() ? names[index] : CFormat("a%zu", index);
  };
  std::string header = CFormat("%-8s", "");
  for (size_t column = 0; column < summary.freeIndex.size(); ++column)
    header += CFormat(" %8s ", nameOf(column).c_str());
  while (!header.empty() && header.back() == ' ') header.pop_back();
  lines.push_back(header);
  for (size_t row = 0; row < summary.freeIndex.size(); ++row) {
    std::string line = CFormat("%-8s", nameOf(row).c_str());
    for (size_t column = 0; column < summary.freeIndex.size(); ++column) {
      const double r = summary.correlationAt(row, column);
      const bool strong = row != column && std::fabs(r) > kStrongCorrelation;
      line += CFormat(" %8s%c", std::isfinite(r) ? CFormat("%.4f", r).c_str() : "n/a", strong ? '*' : ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string IntervalEndText(const IntervalEnd& end) {
  switch (end.kind) {
    case IntervalEnd::Kind::kFound: return CFormat("%.6g", end.value);
    case IntervalEnd::Kind::kUnbounded: return "unbounded";
    case IntervalEnd::Kind::kFailed: return CFormat("fails beyond %.6g", end.value);
  }
  return {};
}

std::vector<std::string> ConfidenceLines(const ProfileConfidence& confidence, const std::vector<std::string>& names) {
  std::vector<std::string> lines;
  if (!confidence.error.empty()) {
    lines.push_back("confidence intervals: " + confidence.error);
    return lines;
  }
  if (confidence.cancelled) {
    lines.push_back("confidence intervals: cancelled");
    return lines;
  }
  lines.push_back(CFormat("confidence %.3g (profile, delta chi-square %.4g%s): chi-square limit %.6g", confidence.level,
                          confidence.deltaChiSquare, confidence.scaled ? ", scaled by the residual variance" : "",
                          confidence.threshold));
  for (const ProfileInterval& interval : confidence.intervals) {
    const auto index = static_cast<size_t>(interval.parameter);
    const std::string name = interval.parameter == kShiftIndex ? std::string(kShiftName)
                             : index < names.size()              ? names[index]
                                                                 : CFormat("a%zu", index);
    std::string line = CFormat("%s = %.6g  [%s, %s]", name.c_str(), interval.best, IntervalEndText(interval.lower).c_str(),
                               IntervalEndText(interval.upper).c_str());
    const bool both = interval.lower.kind == IntervalEnd::Kind::kFound && interval.upper.kind == IntervalEnd::Kind::kFound;
    if (both) line += CFormat("  (-%.4g / +%.4g)", interval.best - interval.lower.value, interval.upper.value - interval.best);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace zentrel
