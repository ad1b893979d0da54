#include "analysis/lagged_products.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace zentrel {
namespace {

std::vector<double> Noise(int n, unsigned seed, double offset) {
  std::mt19937 engine(seed);
  std::normal_distribution<double> normal(offset, 1.0);
  std::vector<double> y(static_cast<size_t>(n));
  for (double& v : y) v = normal(engine);
  return y;
}

// The FFT route against the direct sum as the oracle, on lengths that are
// powers of two, one off them, primes and the smallest the command takes;
// with and without a large mean (which makes lag 0 dominate).
TEST(LaggedProducts, FftEqualsTheDirectSum) {
  const int lengths[] = {10, 11, 64, 97, 127, 128, 129, 1000, 2047, 2048, 4099, 7919};
  for (const int n : lengths) {
    for (const double offset : {0.0, 50.0}) {
      const std::vector<double> y = Noise(n, static_cast<unsigned>(n), offset);
      const int lags = n / 2;
      const std::vector<double> direct = LaggedProductMeansDirect(y.data(), n, lags);
      const auto byFft = LaggedProductMeansByFft(y.data(), n, lags);
      ASSERT_TRUE(byFft) << n;
      ASSERT_EQ(byFft->size(), direct.size()) << n;
      double largest = 0;
      for (double v : direct) largest = std::max(largest, std::fabs(v));
      for (int lag = 0; lag < lags; ++lag)
        ASSERT_NEAR((*byFft)[static_cast<size_t>(lag)], direct[static_cast<size_t>(lag)], 1e-12 * largest)
            << "n=" << n << " offset=" << offset << " lag=" << lag;
    }
  }
}

// Every lag up to n - 1 needs the full padding: the last lag has one
// product, y[n-1] * y[0], which a too-short buffer would wrap onto lag 0.
TEST(LaggedProducts, AllLagsOfAShortSeries) {
  const std::vector<double> y = {3, -1, 4, 1, -5, 9, 2};
  const int n = static_cast<int>(y.size());
  const auto byFft = LaggedProductMeansByFft(y.data(), n, n);
  ASSERT_TRUE(byFft);
  const std::vector<double> direct = LaggedProductMeansDirect(y.data(), n, n);
  for (int lag = 0; lag < n; ++lag) EXPECT_NEAR((*byFft)[static_cast<size_t>(lag)], direct[static_cast<size_t>(lag)], 1e-12);
  EXPECT_DOUBLE_EQ(direct[6], 3.0 * 2.0);
}

// Both routes through the chooser report progress, and a cancel gives
// nothing with the reason.
TEST(LaggedProducts, ProgressAndCancelOnBothRoutes) {
  for (const int n : {1000, kLaggedProductsByFftFrom + 1}) {
    const std::vector<double> y = Noise(n, 7, 1.0);
    std::vector<double> seen;
    bool cancelled = true;
    const auto means = LaggedProductMeans(y.data(), n, n / 2, [&](double f) {
      seen.push_back(f);
      return true;
    }, &cancelled);
    ASSERT_TRUE(means) << n;
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(means->size(), static_cast<size_t>(n / 2));
    ASSERT_GE(seen.size(), 2u) << n;
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << n;
    EXPECT_DOUBLE_EQ(seen.back(), 1.0) << n;

    int calls = 0;
    const auto stopped = LaggedProductMeans(y.data(), n, n / 2, [&](double) { return ++calls < 2; }, &cancelled);
    EXPECT_FALSE(stopped) << n;
    EXPECT_TRUE(cancelled) << n;
  }
}

}  // namespace
}  // namespace zentrel
