// FFT convolution against a direct cyclic sum, and the set-level rules:
// roles, response layout, padding, names, deconvolution at response zeros.

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "set_builder.h"

#include "analysis/convolution.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::MakeSet;

std::vector<double> Random(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> value(-1, 1);
  std::vector<double> out(count);
  for (double& v : out) v = value(random);
  return out;
}

// result_j = sum over (lag, weight) of data[(j - lag) mod n] * weight.
std::vector<double> CyclicConvolution(const std::vector<double>& data, const std::vector<std::pair<int, double>>& lags) {
  const auto n = static_cast<long>(data.size());
  std::vector<double> out(data.size(), 0.0);
  for (long j = 0; j < n; ++j)
    for (const auto& [lag, weight] : lags) out[static_cast<size_t>(j)] += data[static_cast<size_t>(((j - lag) % n + n) % n)] * weight;
  return out;
}

TEST(ConvolveArrays, EqualsTheCyclicSumForManySizes) {
  const struct {
    std::int64_t n, m;
  } cases[] = {{2, 1}, {4, 3}, {8, 1}, {8, 5}, {16, 15}, {64, 9}, {256, 101}, {1024, 21}};
  for (const auto& c : cases) {
    const auto data = Random(static_cast<size_t>(c.n), 3);
    const auto weights = Random(static_cast<size_t>(c.m), 5);
    // Wrap-around order: [0] lag 0, [1..(m-1)/2] lags 1.., [m-1] lag -1 and so on.
    std::vector<std::pair<int, double>> lags;
    for (std::int64_t i = 0; i < c.m; ++i) {
      const int lag = i <= (c.m - 1) / 2 ? static_cast<int>(i) : static_cast<int>(i - c.m);
      lags.emplace_back(lag, weights[static_cast<size_t>(i)]);
    }
    std::vector<double> response(static_cast<size_t>(c.n), 99.0);  // junk past m is overwritten
    std::copy(weights.begin(), weights.end(), response.begin());
    std::vector<double> result(static_cast<size_t>(c.n));
    ASSERT_TRUE(convolveArrays(data.data(), c.n, response.data(), c.m, +1, result.data()).ok);
    const auto expected = CyclicConvolution(data, lags);
    for (size_t j = 0; j < expected.size(); ++j)
      ASSERT_NEAR(result[j], expected[j], 1e-12) << "n=" << c.n << " m=" << c.m << " j=" << j;
  }
}

TEST(ConvolveArrays, DeconvolutionUndoesConvolution) {
  const std::int64_t n = 128, m = 7;
  const auto data = Random(static_cast<size_t>(n), 9);
  // A dominant zero lag keeps the response's transform away from zero.
  const std::vector<double> weights = {2.0, 0.4, 0.2, 0.1, -0.1, 0.3, 0.25};
  std::vector<double> response(static_cast<size_t>(n)), convolved(static_cast<size_t>(n)),
      restored(static_cast<size_t>(n));
  std::copy(weights.begin(), weights.end(), response.begin());
  ASSERT_TRUE(convolveArrays(data.data(), n, response.data(), m, +1, convolved.data()).ok);
  std::fill(response.begin(), response.end(), 0.0);
  std::copy(weights.begin(), weights.end(), response.begin());
  const auto outcome = convolveArrays(convolved.data(), n, response.data(), m, -1, restored.data());
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.responseZeros, 0);
  for (size_t j = 0; j < data.size(); ++j) EXPECT_NEAR(restored[j], data[j], 1e-12) << j;
}

TEST(ConvolveArrays, RefusesAMeaninglessDirectionOnTheErrorStream) {
  std::vector<double> data(8, 1.0), response(8, 0.0), result(8, 0.0);
  response[0] = 1;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(convolveArrays(data.data(), 8, response.data(), 1, 0, result.data()).ok);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("No meaning for isign in convlv"), std::string::npos);
}

// A signal of n points at x = x0 + i dx and a response given by (x, y).
struct SetPair {
  Data_Set signal, response;
};

SetPair Pair(int n, std::vector<double> rx, std::vector<double> ry) {
  std::vector<double> x, y;
  for (int i = 0; i < n; ++i) {
    x.push_back(10.0 + 0.5 * i);
    y.push_back(std::sin(0.05 * i) + 0.01 * i);
  }
  return {MakeSet(x, y, "S"), MakeSet(rx, ry, "P")};
}

// The signal as convolveSets pads it to `size` points.
std::vector<double> Extended(const Data_Set& signal, std::int64_t size) {
  const int n = signal.PointCount(0);
  std::vector<double> out;
  for (int i = 0; i < n; ++i) out.push_back(signal.GetValue(1, i));
  const double last = out.back();
  for (std::int64_t k = 0; k < size - n; ++k)
    out.push_back(last * std::exp(-static_cast<double>(k) / (0.2 * static_cast<double>(size - n))));
  return out;
}

TEST(ConvolveSets, UnitResponseReproducesTheExtendedSignal) {
  std::vector<double> rx, ry;
  for (int i = -10; i <= 10; ++i) {
    rx.push_back(i * 0.5);
    ry.push_back(i == 0 ? 1.0 : 0.0);
  }
  auto [signal, response] = Pair(1000, rx, ry);
  const auto result = convolveSets(signal, response, +1);
  ASSERT_TRUE(result.set);
  const Data_Set& out = *result.set;
  EXPECT_EQ(out.name, "Convolution of S and P");
  ASSERT_EQ(out.PointCount(0), 1024);
  const auto extended = Extended(signal, 1024);
  for (int i = 0; i < 1024; ++i) {
    ASSERT_NEAR(out.GetValue(1, i), extended[static_cast<size_t>(i)], 1e-11) << i;
    ASSERT_DOUBLE_EQ(out.GetValue(0, i), 10.0 + 0.5 * i) << i;
  }
  // The last 24 points lie over the decaying extension.
  EXPECT_NEAR(out.GetValue(1, 1000), signal.GetValue(1, 999), 1e-11);
  EXPECT_LT(std::fabs(out.GetValue(1, 1023)), std::fabs(signal.GetValue(1, 999)));
  EXPECT_EQ(result.zeroedPoints, 0);
}

TEST(ConvolveSets, ResponseLagsCountFromThePointNearestZero) {
  const struct {
    const char* what;
    std::vector<double> rx;
    int zero;  // index of the zero lag among the used points
    int used;
  } cases[] = {
      {"symmetric -5..5", {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5}, 5, 11},
      {"even -5..4 drops its last point", {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4}, 5, 9},
      {"one-sided 0..6 stays one-sided", {0, 1, 2, 3, 4, 5, 6}, 0, 7},
      {"tie picks the later point", {-1.5, -0.5, 0.5, 1.5, 2.5}, 2, 5},
      {"mostly negative", {-8, -7, -6, -5, -4, -3, -2, -1, 0}, 8, 9},
  };
  for (const auto& c : cases) {
    std::vector<double> ry;
    for (size_t i = 0; i < c.rx.size(); ++i) ry.push_back(0.1 * static_cast<double>(i + 1));
    // Given in descending order: sorted copies are used.
    std::vector<double> rxDescending(c.rx.rbegin(), c.rx.rend()), ryDescending(ry.rbegin(), ry.rend());
    auto [signal, response] = Pair(100, rxDescending, ryDescending);
    const auto result = convolveSets(signal, response, +1);
    ASSERT_TRUE(result.set) << c.what;
    std::vector<std::pair<int, double>> lags;
    for (int i = 0; i < c.used; ++i) lags.emplace_back(i - c.zero, ry[static_cast<size_t>(i)]);
    const auto expected = CyclicConvolution(Extended(signal, 128), lags);
    for (int j = 0; j < 128; ++j)
      ASSERT_NEAR(result.set->GetValue(1, j), expected[static_cast<size_t>(j)], 1e-12) << c.what << " j=" << j;
    // The caller's sets are left as they were.
    EXPECT_DOUBLE_EQ(response.GetValue(0, 0), rxDescending[0]) << c.what;
  }
}

TEST(ConvolveSets, TheLongerSetIsAlwaysTheSignal) {
  auto [signal, response] = Pair(50, {-1, 0, 1}, {0.25, 0.5, 0.25});
  const auto forward = convolveSets(signal, response, +1);
  const auto swapped = convolveSets(response, signal, +1);
  ASSERT_TRUE(forward.set && swapped.set);
  EXPECT_EQ(swapped.set->name, "Convolution of S and P");
  ASSERT_EQ(swapped.set->PointCount(1), 64);
  for (int i = 0; i < 64; ++i) EXPECT_DOUBLE_EQ(swapped.set->GetValue(1, i), forward.set->GetValue(1, i));
}

TEST(ConvolveSets, SetsShorterThanThreePointsGiveNothing) {
  auto [signal, response] = Pair(20, {-1, 1}, {1, 1});
  EXPECT_FALSE(convolveSets(signal, response, +1).set);
  auto [two, three] = Pair(2, {-1, 0, 1}, {1, 1, 1});
  EXPECT_FALSE(convolveSets(two, three, -1).set);
}

TEST(ConvolveSets, DeconvolutionRecoversTheSignal) {
  auto [signal, response] = Pair(60, {-1, 0, 1}, {0.2, 1.0, 0.3});
  const auto convolved = convolveSets(signal, response, +1);
  ASSERT_TRUE(convolved.set);
  convolved.set->name = "C";
  const auto restored = convolveSets(*convolved.set, response, -1);
  ASSERT_TRUE(restored.set);
  EXPECT_EQ(restored.set->name, "Deconvolution of C and P");
  EXPECT_EQ(restored.zeroedPoints, 0);
  // The padded convolution has 64 points already, so nothing is added
  // again and the first 60 values come back.
  ASSERT_EQ(restored.set->PointCount(1), 64);
  for (int i = 0; i < 60; ++i) EXPECT_NEAR(restored.set->GetValue(1, i), signal.GetValue(1, i), 1e-12) << i;
}

TEST(ConvolveSets, DeconvolvingAtAResponseZeroZeroesAndCountsTheOutput) {
  // The response sums to 0: its transform vanishes at frequency 0.
  auto [signal, response] = Pair(30, {-1, 0, 1}, {-1, 0, 1});
  ::testing::internal::CaptureStderr();
  const auto result = convolveSets(signal, response, -1);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("Deconvolving at response zero in convlv"), std::string::npos);
  ASSERT_TRUE(result.set);
  ASSERT_EQ(result.set->PointCount(1), 32);
  EXPECT_EQ(result.zeroedPoints, 32);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(result.set->GetValue(1, i), 0.0) << i;
    EXPECT_DOUBLE_EQ(result.set->GetValue(0, i), 10.0 + 0.5 * i) << i;
  }
}

}  // namespace
}  // namespace zentrel
