#pragma once
// Mean lagged products of a series, the core of the autocorrelations:
// A(i) = (sum over j = 0 .. n-1-i of y[i + j] * y[j]) / (n - i).

#include <cstdint>
#include <optional>
#include <vector>

#include "util/progress.h"

namespace zentrel {

// Below this many points the direct sum is cheaper than the transforms.
inline constexpr int kLaggedProductsByFftFrom = 2048;

// A(0) .. A(lags - 1) for 0 <= lags <= n, by the direct sum. O(n * lags).
std::vector<double> LaggedProductMeansDirect(const double* y, int n, int lags);

// The same through the FFT: y zero-padded to a power of two of at least
// n + lags points (so no product wraps round), its power spectrum
// transformed back. O(N log N); equal to the direct sum up to rounding,
// about 1e-15 of the largest A. Nothing when memory runs out.
std::optional<std::vector<double>> LaggedProductMeansByFft(const double* y, int n, int lags);

// Chooses between the two by size, reporting progress; nothing when the
// watcher cancelled or memory ran out (`cancelled` says which).
std::optional<std::vector<double>> LaggedProductMeans(const double* y, int n, int lags,
                                                     const ProgressCallback& progress, bool* cancelled = nullptr);

}  // namespace zentrel
