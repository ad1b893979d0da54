#include "fit/poisson_deviance.h"

#include <cmath>
#include <limits>

#include "fit/weights.h"
#include "numeric/c_format.h"

namespace zentrel {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// y ln(y/f) for y > 0, f > 0; the ratio alone over- or underflows when the
// two are far apart.
double CountLogRatio(double y, double f) {
  const double ratio = y / f;
  const double log = std::isnormal(ratio) ? std::log(ratio) : std::log(y) - std::log(f);
  return y * log;
}

}  // namespace

PoissonTerm PoissonPointTerm(double y, double f) {
  PoissonTerm term;
  if (y == 0) {
    if (f < 0 || std::isnan(f)) {
      term.deviance = kInfinity;
      term.finite = false;
      return term;
    }
    term.deviance = 2 * f;
    term.slope = 1;
    term.weight = f > 0 ? 1 / f : 0;
    term.finite = std::isfinite(f);
    return term;
  }
  if (!(f > 0)) {
    term.deviance = kInfinity;
    term.finite = false;
    return term;
  }
  term.deviance = 2 * (f - y + CountLogRatio(y, f));
  term.slope = 1 - y / f;
  term.weight = 1 / f;
  term.finite = std::isfinite(term.deviance) && std::isfinite(term.slope) && std::isfinite(term.weight);
  return term;
}

double PoissonDeviance(std::span<const double> y, std::span<const double> f) {
  double sum = 0;
  for (size_t i = 0; i < y.size() && i < f.size(); ++i) sum += PoissonPointTerm(y[i], f[i]).deviance;
  return sum;
}

std::string PoissonCountsProblem(const Fit& fit, const FitData& data) {
  if (fit.weighting != kWeightPoisson) return {};
  for (size_t i = 0; i < data.x.size() && i < data.y.size(); ++i) {
    const double y = data.y[i];
    if (!InFitRange(fit, data.x[i]) || (std::isfinite(y) && y >= 0)) continue;
    return CFormat("Poisson likelihood needs counts of 0 or more at every point: %g at x = %g", y, data.x[i]);
  }
  return {};
}

std::string PoissonDomainMessage(double x, double y, double f) {
  return y == 0 ? CFormat("Poisson likelihood needs a model value of 0 or more: %g at x = %g", f, x)
                : CFormat("Poisson likelihood needs a positive model value where there are counts: %g at x = %g "
                          "(%g counts)",
                          f, x, y);
}

GoodnessOfFit PoissonGoodnessOfFit(std::span<const double> y, std::span<const double> f, int freeParameters) {
  GoodnessOfFit result;
  result.points = static_cast<int>(y.size());
  result.freeParameters = freeParameters;
  result.degreesOfFreedom = result.points - freeParameters;
  result.chiSquare = PoissonDeviance(y, f);
  result.reducedChiSquare = result.degreesOfFreedom > 0 ? result.chiSquare / result.degreesOfFreedom : kNaN;
  double mean = 0;
  for (double v : y) mean += v;
  mean = y.empty() ? 0 : mean / static_cast<double>(y.size());
  double null = 0;
  if (mean > 0)
    for (double v : y) null += PoissonPointTerm(v, mean).deviance;
  result.rSquared = null > 0 ? 1.0 - result.chiSquare / null : kNaN;
  const double n = result.points;
  const double k = freeParameters;
  result.aic = result.chiSquare + 2.0 * k;
  result.bic = n > 0 ? result.chiSquare + k * std::log(n) : kNaN;
  return result;
}

}  // namespace zentrel
