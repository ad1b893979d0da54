#include "fit/normal_equations.h"

#include <array>
#include <cmath>

#include "fit/poisson_deviance.h"
#include "fit/response_shift.h"
#include "fit/weights.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {

Linearisation Linearise(ModelScope& scope, double* p, const std::vector<int>& freeIndex, std::vector<double>& curvature,
                        std::vector<double>& gradient) {
  Fit& fit = scope.fit;
  const FitData& data = scope.data;
  const size_t n = freeIndex.size();
  curvature.assign(n * n, 0.0);
  gradient.assign(n, 0.0);
  Linearisation result;
  // The family's derivatives, then the shift's when it is fitted.
  std::array<double, kEngineParameters> d{};
  std::array<double, kEngineParameters> row{};
  const bool shiftColumn = !freeIndex.empty() && freeIndex.back() == kShiftIndex;
  for (int i = 0; i < static_cast<int>(data.x.size()); ++i) {
    const double x = data.x[static_cast<size_t>(i)];
    if (!InFitRange(fit, x)) continue;
    ++result.points;
    const double f = ModelValueAndDerivatives(scope, x, p, d.data(), fit.freeFlags.data());
    if (shiftColumn) d[kShiftIndex] = ShiftDerivative(scope, x, p);
    if (NumericErrorState().code != 0 || fit.errorCode != 0) {
      result.usable = false;
      return result;
    }
    if (fit.weighting == kWeightPoisson) {
      // The deviance's own gradient and Fisher curvature, weights 1/f.
      const double y = data.y[static_cast<size_t>(i)];
      const PoissonTerm term = PoissonPointTerm(y, f);
      if (!term.finite) {
        SetNumericError(kDomainError, PoissonDomainMessage(x, y, f));
        result.usable = false;
        result.outsideDomain = true;
        return result;
      }
      result.chiSquare += term.deviance;
      for (size_t j = 0; j < n; ++j) {
        const double dj = d[static_cast<size_t>(freeIndex[j])];
        double* line = &curvature[j * n];
        for (size_t k = 0; k <= j; ++k) line[k] += term.weight * dj * d[static_cast<size_t>(freeIndex[k])];
        gradient[j] -= term.slope * dj;
      }
      continue;
    }
    const WeightedResidual r = WeighResidual(fit.weighting, data.y[static_cast<size_t>(i)], SigmaAt(data, i), f);
    result.chiSquare += r.value * r.value;
    for (size_t j = 0; j < n; ++j) row[j] = r.slope * d[static_cast<size_t>(freeIndex[j])];
    for (size_t j = 0; j < n; ++j) {
      double* line = &curvature[j * n];
      const double t = row[j];
      for (size_t k = 0; k <= j; ++k) line[k] += t * row[k];
      gradient[j] -= r.value * t;
    }
  }
  for (size_t j = 1; j < n; ++j)
    for (size_t k = 0; k < j; ++k) curvature[k * n + j] = curvature[j * n + k];
  bool finite = std::isfinite(result.chiSquare);
  for (size_t j = 0; j < n && finite; ++j) finite = std::isfinite(gradient[j]) && std::isfinite(curvature[j * n + j]);
  if (!finite) {
    SetNumericError(kOverflowError, "Chi Squared overflow!");
    result.usable = false;
  }
  return result;
}

}  // namespace zentrel
