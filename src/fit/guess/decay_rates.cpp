#include "fit/guess/decay_rates.h"

#include <algorithm>
#include <cmath>
#include <complex>

#include "fit/guess/guess_points.h"
#include "fit/guess/least_squares.h"

namespace zentrel::guess {

std::vector<double> RealRoots(const std::vector<double>& c) {
  const size_t n = c.size();
  if (n == 0) return {};
  if (n == 1) return {-c[0]};
  if (n == 2) {
    const double b = c[1], d = b * b - 4 * c[0];
    if (d < 0) return {};
    const double q = -0.5 * (b + std::copysign(std::sqrt(d), b));
    if (q == 0) return {0.0, 0.0};
    return {q, c[0] / q};
  }
  // Durand-Kerner: every root at once, from points on a circle of the
  // roots' size.
  using Complex = std::complex<double>;
  double radius = 0;
  for (double v : c) radius = std::max(radius, std::fabs(v));
  radius = 1 + radius;
  std::vector<Complex> z(n);
  for (size_t k = 0; k < n; ++k) z[k] = std::polar(0.5 * radius, 0.4 + 2 * M_PI * static_cast<double>(k) / static_cast<double>(n));
  auto poly = [&](Complex x) {
    Complex v = 1;
    for (size_t k = n; k-- > 0;) v = v * x + c[k];
    return v;
  };
  for (int iteration = 0; iteration < 500; ++iteration) {
    double change = 0;
    for (size_t k = 0; k < n; ++k) {
      Complex denominator = 1;
      for (size_t j = 0; j < n; ++j)
        if (j != k) denominator *= z[k] - z[j];
      if (std::abs(denominator) == 0) denominator = 1e-12;
      const Complex step = poly(z[k]) / denominator;
      z[k] -= step;
      change = std::max(change, std::abs(step));
    }
    if (change < 1e-13 * radius) break;
  }
  std::vector<double> roots;
  for (const Complex& root : z) {
    if (std::fabs(root.imag()) > 1e-6 * (1 + std::abs(root))) return {};
    roots.push_back(root.real());
  }
  return roots;
}

std::vector<double> RatesByIntegration(const std::vector<double>& x, const std::vector<double>& y, int n) {
  const size_t m = x.size();
  if (n < 1 || m < static_cast<size_t>(2 * n + 2)) return {};
  const double span = x.back() - x.front();
  if (!(span > 0)) return {};
  // On s = (x - x_first)/span in [0, 1], so the columns have like sizes.
  std::vector<double> s(m);
  for (size_t i = 0; i < m; ++i) s[i] = (x[i] - x.front()) / span;
  std::vector<std::vector<double>> columns;
  for (int k = 0; k <= n; ++k) {
    std::vector<double> power(m);
    for (size_t i = 0; i < m; ++i) power[i] = std::pow(s[i], k);
    columns.push_back(std::move(power));
  }
  std::vector<double> integral = y;
  for (int k = 1; k <= n; ++k) {
    std::vector<double> next(m, 0.0);
    for (size_t i = 1; i < m; ++i) next[i] = next[i - 1] + 0.5 * (integral[i] + integral[i - 1]) * (s[i] - s[i - 1]);
    integral = next;
    columns.push_back(integral);
  }
  const auto solution = LeastSquares(columns, y);
  if (!solution) return {};
  // y = polynomial - Σ_{k<n} c_k I_{n-k}: the coefficient of I_m is -c_{n-m}.
  std::vector<double> c(static_cast<size_t>(n));
  for (int mIndex = 1; mIndex <= n; ++mIndex)
    c[static_cast<size_t>(n - mIndex)] = -(*solution)[static_cast<size_t>(n + mIndex)];
  std::vector<double> roots = RealRoots(c);
  if (roots.size() != static_cast<size_t>(n)) return {};
  std::vector<double> rates;
  for (double root : roots) {
    const double rate = -root / span;
    if (!std::isfinite(rate) || rate == 0) return {};
    rates.push_back(rate);
  }
  std::sort(rates.begin(), rates.end());
  return rates;
}

std::vector<double> RatesByPeeling(const std::vector<double>& x, const std::vector<double>& r, int n, double noise) {
  const int m = static_cast<int>(x.size());
  if (n < 1 || m < 3 * n) return {};
  std::vector<double> rest = r;
  const std::vector<double> smooth = Smoothed(r, SmoothingHalfWidth(m));
  const double floor = 3 * noise;
  // The points past the last one above the noise carry no shape.
  int last = m - 1;
  while (last > 0 && std::fabs(smooth[static_cast<size_t>(last)]) <= floor) --last;
  if (last < 3 * n - 1) return {};
  std::vector<double> rates;
  for (int term = n - 1; term >= 0; --term) {
    const int lo = (last + 1) * term / n, hi = (last + 1) * (term + 1) / n;
    double sum = 0;
    for (int i = lo; i < hi; ++i) sum += rest[static_cast<size_t>(i)];
    const double sign = sum >= 0 ? 1.0 : -1.0;
    std::vector<double> xs, logs, weights;
    for (int i = lo; i < hi; ++i) {
      const double v = sign * rest[static_cast<size_t>(i)];
      if (v <= floor) continue;
      xs.push_back(x[static_cast<size_t>(i)]);
      logs.push_back(std::log(v));
      weights.push_back(v * v);
    }
    if (xs.size() < 3) return {};
    const auto line = WeightedLine(xs, logs, weights);
    if (!line || !(line->slope < 0)) return {};
    rates.push_back(-line->slope);
    for (int i = 0; i < m; ++i)
      rest[static_cast<size_t>(i)] -= sign * std::exp(std::min(line->intercept + line->slope * x[static_cast<size_t>(i)], 700.0));
  }
  std::sort(rates.begin(), rates.end());
  return rates;
}

}  // namespace zentrel::guess
