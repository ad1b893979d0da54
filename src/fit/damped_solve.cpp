#include "fit/damped_solve.h"

#include <cmath>

#include "numeric/linear_solve.h"

namespace zentrel {

bool SolveDampedSystem(const std::vector<double>& curvature, const std::vector<double>& gradient,
                       const std::vector<double>& scale, double lambda, std::vector<double>& delta) {
  const size_t n = gradient.size();
  std::vector<double> system(curvature);
  std::vector<double> unit(n, 1.0);
  for (size_t j = 0; j < n; ++j) {
    system[j * n + j] += lambda * scale[j];
    if (system[j * n + j] > 0) unit[j] = 1.0 / std::sqrt(system[j * n + j]);
  }
  delta.resize(n);
  for (size_t j = 0; j < n; ++j) {
    delta[j] = gradient[j] * unit[j];
    for (size_t k = 0; k < n; ++k) system[j * n + k] *= unit[j] * unit[k];
  }
  if (n > 0 && GaussJordan(system.data(), static_cast<int>(n), delta.data(), 1) != 0) return false;
  for (size_t j = 0; j < n; ++j) {
    delta[j] *= unit[j];
    if (!std::isfinite(delta[j])) return false;
  }
  return true;
}

}  // namespace zentrel
