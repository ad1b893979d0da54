// The FFT routines against a direct O(n^2) DFT, for every power of two up
// to 2048 and both directions, plus round trips and the size rule.

#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "numeric/fft.h"

namespace zentrel {
namespace {

using Complex = std::complex<long double>;

// sum_j h_j exp(direction * 2 pi i j k / n), in long double.
std::vector<Complex> DirectDft(const std::vector<Complex>& h, int direction) {
  const auto n = static_cast<std::int64_t>(h.size());
  std::vector<Complex> out(h.size());
  const long double pi = std::numbers::pi_v<long double>;
  // The n roots of unity; j*k is reduced mod n so every angle is exact.
  std::vector<Complex> roots;
  for (std::int64_t m = 0; m < n; ++m) {
    const long double angle = direction * 2 * pi * static_cast<long double>(m) / static_cast<long double>(n);
    roots.emplace_back(std::cos(angle), std::sin(angle));
  }
  for (std::int64_t k = 0; k < n; ++k) {
    Complex sum = 0;
    for (std::int64_t j = 0; j < n; ++j) sum += h[static_cast<size_t>(j)] * roots[static_cast<size_t>((j * k) % n)];
    out[static_cast<size_t>(k)] = sum;
  }
  return out;
}

std::vector<double> RandomValues(std::size_t count, unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<double> values(count);
  for (double& v : values) v = value(random);
  return values;
}

// Largest |difference| relative to the largest |value| of the oracle.
double RelativeError(const std::vector<Complex>& expected, const std::vector<double>& interleaved) {
  long double scale = 1e-300L, worst = 0;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    scale = std::max(scale, std::abs(expected[k]));
    const Complex got(interleaved[2 * k], interleaved[2 * k + 1]);
    worst = std::max(worst, std::abs(got - expected[k]));
  }
  return static_cast<double>(worst / scale);
}

class FftSizes : public ::testing::TestWithParam<int> {
 protected:
  std::int64_t n() const { return std::int64_t{1} << GetParam(); }
};

TEST_P(FftSizes, ComplexFftEqualsTheDirectSumBothWays) {
  for (int direction : {+1, -1}) {
    const auto values = RandomValues(static_cast<size_t>(2 * n()), 7u + static_cast<unsigned>(GetParam()));
    std::vector<Complex> h;
    for (std::int64_t j = 0; j < n(); ++j)
      h.emplace_back(values[static_cast<size_t>(2 * j)], values[static_cast<size_t>(2 * j + 1)]);
    std::vector<double> data = values;
    complexFft(data.data(), n(), direction);
    EXPECT_LT(RelativeError(DirectDft(h, direction), data), 1e-14) << "direction " << direction;
  }
}

TEST_P(FftSizes, ComplexRoundTripReturnsNTimesTheData) {
  const auto values = RandomValues(static_cast<size_t>(2 * n()), 11);
  std::vector<double> data = values;
  complexFft(data.data(), n(), +1);
  complexFft(data.data(), n(), -1);
  for (size_t i = 0; i < data.size(); ++i)
    ASSERT_NEAR(data[i] / static_cast<double>(n()), values[i], 1e-12) << "element " << i;
}

// The real transforms need at least two points.
class RealFftSizes : public FftSizes {};

TEST_P(RealFftSizes, RealFftIsThePackedTransform) {
  const auto values = RandomValues(static_cast<size_t>(n()), 13u + static_cast<unsigned>(GetParam()));
  std::vector<Complex> h(values.begin(), values.end());
  const auto expected = DirectDft(h, +1);
  std::vector<double> data = values;
  realFft(data.data(), n(), +1);
  // Unpack: [0] = H0, [1] = H_{n/2}, then re/im of 1 .. n/2 - 1.
  std::vector<double> unpacked(static_cast<size_t>(n() / 2 + 1) * 2, 0.0);
  unpacked[0] = data[0];
  unpacked[static_cast<size_t>(n())] = data[1];
  for (std::int64_t k = 1; k < n() / 2; ++k) {
    unpacked[static_cast<size_t>(2 * k)] = data[static_cast<size_t>(2 * k)];
    unpacked[static_cast<size_t>(2 * k + 1)] = data[static_cast<size_t>(2 * k + 1)];
  }
  const std::vector<Complex> firstHalf(expected.begin(), expected.begin() + n() / 2 + 1);
  EXPECT_LT(RelativeError(firstHalf, unpacked), 1e-14);
}

TEST_P(RealFftSizes, RealFftInverseUndoesTheForwardTimesHalfN) {
  const auto values = RandomValues(static_cast<size_t>(n()), 17);
  std::vector<double> data = values;
  realFft(data.data(), n(), +1);
  realFft(data.data(), n(), -1);
  for (size_t i = 0; i < data.size(); ++i)
    ASSERT_NEAR(data[i] / (static_cast<double>(n()) / 2), values[i], 1e-12) << "element " << i;
}

TEST_P(FftSizes, TwoRealFftSeparatesBothTransforms) {
  const auto a = RandomValues(static_cast<size_t>(n()), 19);
  const auto b = RandomValues(static_cast<size_t>(n()), 23);
  std::vector<double> fa(static_cast<size_t>(2 * n())), fb(static_cast<size_t>(2 * n()));
  twoRealFft(a.data(), b.data(), fa.data(), fb.data(), n());
  EXPECT_LT(RelativeError(DirectDft(std::vector<Complex>(a.begin(), a.end()), +1), fa), 1e-14);
  EXPECT_LT(RelativeError(DirectDft(std::vector<Complex>(b.begin(), b.end()), +1), fb), 1e-14);
}

std::string SizeName(const ::testing::TestParamInfo<int>& param) { return "N" + std::to_string(1 << param.param); }

INSTANTIATE_TEST_SUITE_P(PowersOfTwo, FftSizes, ::testing::Range(0, 12), SizeName);
INSTANTIATE_TEST_SUITE_P(PowersOfTwo, RealFftSizes, ::testing::Range(1, 12), SizeName);

TEST(FftLarge, BlockedStagesAgreeWithTheDirectSumAtSampledFrequencies) {
  // Above the cache block size the stages run depth first; check a few
  // frequencies of a 2^16-point transform against the direct sum.
  const std::int64_t n = std::int64_t{1} << 16;
  const auto values = RandomValues(static_cast<size_t>(2 * n), 29);
  std::vector<double> data = values;
  complexFft(data.data(), n, -1);
  const long double pi = std::numbers::pi_v<long double>;
  for (std::int64_t k : {std::int64_t{0}, std::int64_t{1}, std::int64_t{4097}, n / 2, n - 3}) {
    Complex sum = 0;
    for (std::int64_t j = 0; j < n; ++j) {
      const long double angle = -2 * pi * static_cast<long double>((j * k) % n) / n;
      sum += Complex(values[static_cast<size_t>(2 * j)], values[static_cast<size_t>(2 * j + 1)]) *
             Complex(std::cos(angle), std::sin(angle));
    }
    EXPECT_NEAR(data[static_cast<size_t>(2 * k)], static_cast<double>(sum.real()), 1e-10) << k;
    EXPECT_NEAR(data[static_cast<size_t>(2 * k + 1)], static_cast<double>(sum.imag()), 1e-10) << k;
  }
}

TEST(NextPowerOfTwo, SmallestPowerAtLeastNAndZeroPast31Bits) {
  const struct {
    std::int64_t n, expected;
  } cases[] = {
      {0, 1}, {1, 1}, {2, 2}, {3, 4}, {1000, 1024}, {1024, 1024}, {1025, 2048},
      {(std::int64_t{1} << 31) - 1, std::int64_t{1} << 31}, {std::int64_t{1} << 31, std::int64_t{1} << 31},
      {(std::int64_t{1} << 31) + 1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(nextPowerOfTwo(c.n), c.expected) << c.n;
}

}  // namespace
}  // namespace zentrel
