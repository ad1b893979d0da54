#include "fit/weights.h"

#include <cmath>

#include "fit/poisson_deviance.h"
#include "numeric/c_format.h"

namespace zentrel {

WeightedResidual WeighResidual(int weighting, double y, double sigma, double f) {
  const double difference = y - f;
  switch (weighting) {
    case kWeightEqual: return {difference, -1.0};
    case kWeightInverseY: {
      const double scale = 1.0 / std::fabs(y);
      return {difference * scale, -scale};
    }
    case kWeightInverseSigmaSquared:
      if (std::isnan(sigma)) return {difference, -1.0};
      return {difference / sigma, -1.0 / sigma};
    case kWeightInverseSqrtY: {
      if (f == 0) return {0.0, 0.0};
      // r = (y - f) |f|^(-1/4): dr/df = -|f|^(-1/4) - (y - f) sign(f) |f|^(-5/4) / 4
      const double magnitude = std::fabs(f);
      const double quarter = 1.0 / std::sqrt(std::sqrt(magnitude));
      const double sign = f > 0 ? 1.0 : -1.0;
      return {difference * quarter, -quarter - 0.25 * difference * sign * quarter / magnitude};
    }
    case kWeightPoisson: {
      if (!(f > 0)) return {0.0, 0.0};
      const double root = std::sqrt(f);
      return {difference / root, -1.0 / root};
    }
    default: return {0.0, 0.0};
  }
}

double PointWeight(int weighting, double y, double sigma, double f) {
  switch (weighting) {
    case kWeightEqual: return 1.0;
    case kWeightInverseY: return 1.0 / (y * y);
    case kWeightInverseSigmaSquared: return std::isnan(sigma) ? 1.0 : 1.0 / (sigma * sigma);
    case kWeightInverseSqrtY: return f == 0 ? 0.0 : 1.0 / std::sqrt(std::fabs(f));
    case kWeightPoisson: return f > 0 ? 1.0 / f : 0.0;
    default: return 0.0;
  }
}

std::string WeightingProblem(const Fit& fit, const FitData& data) {
  if (fit.weighting == kWeightPoisson) return PoissonCountsProblem(fit, data);
  if (fit.weighting != kWeightInverseSigmaSquared || data.sigma.empty()) return {};
  for (size_t i = 0; i < data.x.size() && i < data.sigma.size(); ++i) {
    const double sigma = data.sigma[i];
    if (!InFitRange(fit, data.x[i]) || (std::isfinite(sigma) && sigma != 0)) continue;
    return CFormat("1/sigma^2 weighting needs a non-zero, finite y error at every point: %g at x = %g", sigma,
                   data.x[i]);
  }
  return {};
}

bool WeightsAreAbsolute(const Fit& fit, const FitData& data) {
  return (fit.weighting == kWeightInverseSigmaSquared && !data.sigma.empty()) || fit.weighting == kWeightPoisson;
}

}  // namespace zentrel
