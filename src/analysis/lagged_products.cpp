#include "analysis/lagged_products.h"

#include <algorithm>
#include <new>

#include "numeric/fft.h"

namespace zentrel {

namespace {

// Appends the direct means for lags first .. last - 1.
void AppendDirectMeans(const double* y, int n, int first, int last, std::vector<double>& means) {
  for (int lag = first; lag < last; ++lag) {
    double sum = 0;
    for (int j = 0; j < n - lag; ++j) sum += y[lag + j] * y[j];
    means.push_back(sum / (n - lag));
  }
}

}  // namespace

std::vector<double> LaggedProductMeansDirect(const double* y, int n, int lags) {
  std::vector<double> means;
  AppendDirectMeans(y, n, 0, std::clamp(lags, 0, n), means);
  return means;
}

std::optional<std::vector<double>> LaggedProductMeansByFft(const double* y, int n, int lags) {
  lags = std::clamp(lags, 0, n);
  if (lags == 0) return std::vector<double>{};
  const std::int64_t padded = nextPowerOfTwo(std::int64_t{n} + lags);
  if (padded == 0) return std::nullopt;
  const std::int64_t size = std::max<std::int64_t>(2, padded);
  try {
    std::vector<double> data(static_cast<std::size_t>(size), 0.0);
    std::copy(y, y + n, data.begin());
    realFft(data.data(), size, +1);
    // |Y(k)|^2 in the packed layout: the two purely real ends, then
    // re^2 + im^2 with no imaginary part left.
    data[0] *= data[0];
    data[1] *= data[1];
    for (std::int64_t k = 1; k < size / 2; ++k) {
      double& re = data[static_cast<std::size_t>(2 * k)];
      double& im = data[static_cast<std::size_t>(2 * k + 1)];
      re = re * re + im * im;
      im = 0.0;
    }
    // Back to the (cyclic, but padded so unwrapped) correlation, times n/2.
    realFft(data.data(), size, -1);
    std::vector<double> means(static_cast<std::size_t>(lags));
    const double scale = 2.0 / static_cast<double>(size);
    for (int lag = 0; lag < lags; ++lag)
      means[static_cast<std::size_t>(lag)] = data[static_cast<std::size_t>(lag)] * scale / (n - lag);
    return means;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

std::optional<std::vector<double>> LaggedProductMeans(const double* y, int n, int lags,
                                                     const ProgressCallback& progress, bool* cancelled) {
  if (cancelled != nullptr) *cancelled = false;
  const auto stop = [&](double fraction) {
    if (ContinueAfter(progress, fraction)) return false;
    if (cancelled != nullptr) *cancelled = true;
    return true;
  };
  if (stop(0.0)) return std::nullopt;
  if (n >= kLaggedProductsByFftFrom) {
    auto means = LaggedProductMeansByFft(y, n, lags);
    if (stop(1.0)) return std::nullopt;
    return means;
  }
  // Small sets: the direct sum, in slices so a watcher still hears of it.
  lags = std::clamp(lags, 0, n);
  std::vector<double> means;
  means.reserve(static_cast<std::size_t>(lags));
  constexpr int kSlice = 256;
  for (int first = 0; first < lags; first += kSlice) {
    const int last = std::min(first + kSlice, lags);
    AppendDirectMeans(y, n, first, last, means);
    if (stop(static_cast<double>(last) / lags)) return std::nullopt;
  }
  return means;
}

}  // namespace zentrel
