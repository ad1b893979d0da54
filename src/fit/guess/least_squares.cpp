#include "fit/guess/least_squares.h"

#include <cmath>

namespace zentrel::guess {

std::optional<std::vector<double>> LeastSquares(const std::vector<std::vector<double>>& columns,
                                                const std::vector<double>& b) {
  const size_t k = columns.size(), m = b.size();
  if (k == 0 || m < k) return std::nullopt;
  std::vector<std::vector<double>> a = columns;
  std::vector<double> scale(k), rhs = b;
  for (size_t j = 0; j < k; ++j) {
    if (a[j].size() != m) return std::nullopt;
    double norm = 0;
    for (double v : a[j]) norm += v * v;
    norm = std::sqrt(norm);
    if (!(norm > 0) || !std::isfinite(norm)) return std::nullopt;
    scale[j] = norm;
    for (double& v : a[j]) v /= norm;
  }
  // Householder reflections, column by column; a[j][j..] ends as R's column.
  std::vector<double> diagonal(k);
  for (size_t j = 0; j < k; ++j) {
    double norm = 0;
    for (size_t i = j; i < m; ++i) norm += a[j][i] * a[j][i];
    norm = std::sqrt(norm);
    // Relative to the unit column it started as: below this the column is
    // a combination of the earlier ones.
    if (norm < 1e-11) return std::nullopt;
    const double alpha = a[j][j] > 0 ? -norm : norm;
    std::vector<double> v(a[j].begin() + static_cast<std::ptrdiff_t>(j), a[j].end());
    v[0] -= alpha;
    double vv = 0;
    for (double x : v) vv += x * x;
    diagonal[j] = alpha;
    if (vv == 0) continue;
    auto reflect = [&](std::vector<double>& col) {
      double dot = 0;
      for (size_t i = j; i < m; ++i) dot += v[i - j] * col[i];
      const double f = 2 * dot / vv;
      for (size_t i = j; i < m; ++i) col[i] -= f * v[i - j];
    };
    for (size_t c = j + 1; c < k; ++c) reflect(a[c]);
    reflect(rhs);
  }
  std::vector<double> c(k);
  for (size_t jj = k; jj-- > 0;) {
    double sum = rhs[jj];
    for (size_t c2 = jj + 1; c2 < k; ++c2) sum -= a[c2][jj] * c[c2];
    c[jj] = sum / diagonal[jj];
  }
  for (size_t j = 0; j < k; ++j) {
    c[j] /= scale[j];
    if (!std::isfinite(c[j])) return std::nullopt;
  }
  return c;
}

}  // namespace zentrel::guess
