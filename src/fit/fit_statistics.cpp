#include "fit/fit_statistics.h"

#include <cmath>
#include <limits>

namespace zentrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

GoodnessOfFit ComputeGoodnessOfFit(std::span<const double> y, std::span<const double> model,
                                   std::span<const double> weight, int freeParameters, bool absoluteWeights) {
  GoodnessOfFit result;
  result.points = static_cast<int>(y.size());
  result.freeParameters = freeParameters;
  result.degreesOfFreedom = result.points - freeParameters;
  double weightSum = 0, weightedY = 0;
  for (size_t i = 0; i < y.size(); ++i) {
    const double r = y[i] - model[i];
    result.chiSquare += weight[i] * r * r;
    weightSum += weight[i];
    weightedY += weight[i] * y[i];
  }
  result.reducedChiSquare = result.degreesOfFreedom > 0 ? result.chiSquare / result.degreesOfFreedom : kNaN;
  double total = 0;
  if (weightSum > 0) {
    const double mean = weightedY / weightSum;
    for (size_t i = 0; i < y.size(); ++i) total += weight[i] * (y[i] - mean) * (y[i] - mean);
  }
  result.rSquared = total > 0 ? 1.0 - result.chiSquare / total : kNaN;
  const double n = result.points;
  const double k = freeParameters;
  // Relative weights leave the noise level unknown: the likelihood is then
  // maximised over it too, which turns χ² into N ln(χ²/N).
  const double fitTerm = absoluteWeights ? result.chiSquare
                         : n > 0         ? n * std::log(result.chiSquare / n)
                                         : kNaN;
  result.aic = fitTerm + 2.0 * k;
  result.bic = n > 0 ? fitTerm + k * std::log(n) : kNaN;
  return result;
}

std::vector<double> CorrelationMatrix(std::span<const double> covariance, int n) {
  const auto size = static_cast<size_t>(n);
  std::vector<double> correlation(size * size, kNaN);
  for (size_t i = 0; i < size; ++i)
    for (size_t j = 0; j < size; ++j) {
      const double vi = covariance[i * size + i], vj = covariance[j * size + j];
      if (vi > 0 && vj > 0) correlation[i * size + j] = i == j ? 1.0 : covariance[i * size + j] / std::sqrt(vi * vj);
    }
  return correlation;
}

RunsTest ResidualRunsTest(std::span<const double> residuals) {
  RunsTest result;
  int lastSign = 0;
  for (double r : residuals) {
    const int sign = r > 0 ? 1 : r < 0 ? -1 : 0;
    if (sign == 0) continue;
    (sign > 0 ? result.positive : result.negative) += 1;
    if (sign != lastSign) ++result.runs;
    lastSign = sign;
  }
  const double plus = result.positive, minus = result.negative, n = plus + minus;
  if (n == 0) {
    result.expected = result.z = result.p = kNaN;
    return result;
  }
  result.expected = 2.0 * plus * minus / n + 1.0;
  const double variance = n > 1 ? 2.0 * plus * minus * (2.0 * plus * minus - n) / (n * n * (n - 1.0)) : 0.0;
  if (!(variance > 0)) {
    result.z = result.p = kNaN;
    return result;
  }
  result.z = (result.runs - result.expected) / std::sqrt(variance);
  result.p = std::erfc(std::fabs(result.z) / std::sqrt(2.0));
  return result;
}

}  // namespace zentrel
