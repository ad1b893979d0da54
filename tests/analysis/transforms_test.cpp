// Power spectrum and Fourier transform of data sets, against direct sums
// over the (zero-padded) samples.

#include <cmath>
#include <complex>
#include <limits>
#include <utility>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "set_builder.h"

#include "analysis/transforms.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::MakeSet;

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;

// n points from x0 in steps of dx, y from a function of the index.
template <typename F>
Data_Set Even(int n, double x0, double dx, F y, const char* name = "s") {
  std::vector<double> xs, ys;
  for (int i = 0; i < n; ++i) {
    xs.push_back(x0 + i * dx);
    ys.push_back(y(i));
  }
  return MakeSet(xs, ys, name);
}

// sum_j h_j exp(sign * 2 pi i f t_j): the transform the sets approximate.
Complex DirectSum(const std::vector<Complex>& h, const std::vector<double>& t, double f, int sign) {
  Complex sum = 0;
  for (size_t j = 0; j < h.size(); ++j) sum += h[j] * std::polar(1.0, sign * 2 * kPi * f * t[j]);
  return sum;
}

TEST(PowerSpectrum, ThousandPointsPadTo1024AndMatchTheDirectSum) {
  const double dx = 0.01;
  Data_Set set = Even(1000, 2.0, dx, [](int i) { return std::sin(0.3 * i) + 0.25 * std::cos(1.7 * i) + 0.1; }, "sig");
  const auto result = powerSpectrum(set);
  ASSERT_EQ(result.message, "FFT completed");
  ASSERT_TRUE(result.set);
  const Data_Set& ps = *result.set;
  EXPECT_EQ(ps.name, "power spectrum of sig");
  ASSERT_EQ(ps.PointCount(0), 513);
  ASSERT_EQ(ps.PointCount(1), 513);
  EXPECT_DOUBLE_EQ(ps.GetValue(0, 0), 0.0);
  EXPECT_NEAR(ps.GetValue(0, 512), 1.0 / (2 * dx), 1e-9);

  std::vector<Complex> h;
  std::vector<double> t;
  for (int j = 0; j < 1024; ++j) {
    h.emplace_back(j < 1000 ? set.GetValue(1, j) : 0.0);
    t.push_back(j * dx);
  }
  const double a = dx / 1024;
  for (int i : {0, 1, 7, 100, 255, 511, 512}) {
    const double f = i / (1024 * dx);
    EXPECT_NEAR(ps.GetValue(0, i), f, 1e-9) << i;
    const double power = std::norm(DirectSum(h, t, f, +1));
    const double factor = (i == 0 || i == 512) ? 1.0 : 2.0;
    EXPECT_NEAR(ps.GetValue(1, i), 10 * std::log10(factor * a * a * power), 1e-8) << i;
  }
}

TEST(PowerSpectrum, SpacingChecks) {
  const struct {
    const char* what;
    std::vector<double> x;
    const char* message;
  } cases[] = {
      {"zero first spacing", {0, 0, 1, 2, 3}, "Set must have a non-zero point spacing"},
      {"one point", {1}, "Set must have a non-zero point spacing"},
      {"uneven in the middle", {0, 1, 2, 3.0001, 4, 5}, "Error:uneven point spacing"},
      {"second spacing uneven", {0, 1, 2.5, 3.5, 4.5}, "Error:uneven point spacing"},
      {"within one part in 10^5", {0, 1, 2, 3.000005, 4, 5}, "FFT completed"},
      {"only the last spacing uneven", {0, 1, 2, 3, 4, 7}, "FFT completed"},
      {"three points, never examined", {0, 1, 5}, "FFT completed"},
      {"undefined x values", {0, 1, 2, 3, NAN, NAN},
       "Set 's' holds 2 values that are not a finite number: not transformed"},
  };
  for (const auto& c : cases) {
    Data_Set set = MakeSet(c.x, std::vector<double>(c.x.size(), 1.0));
    const auto result = powerSpectrum(set);
    EXPECT_EQ(result.message, c.message) << c.what;
    EXPECT_EQ(static_cast<bool>(result.set), std::string(c.message) == "FFT completed") << c.what;
  }
}

TEST(PowerSpectrum, DescendingSetIsSortedFirstAndKeepsItsPoints) {
  Data_Set set = MakeSet({3, 2, 1, 0}, {4, 3, 2, 1});
  const auto result = powerSpectrum(set);
  ASSERT_EQ(result.message, "FFT completed");
  EXPECT_DOUBLE_EQ(set.GetValue(0, 0), 0);
  EXPECT_DOUBLE_EQ(set.GetValue(1, 0), 1);
  ASSERT_EQ(result.set->PointCount(0), 3);
  // N = 4, spacing 1: frequencies 0, 1/4, 1/2; H0 = 10.
  EXPECT_DOUBLE_EQ(result.set->GetValue(0, 2), 0.5);
  EXPECT_NEAR(result.set->GetValue(1, 0), 10 * std::log10(std::pow(10.0 / 4, 2)), 1e-12);
}

// The transform the Fourier Transform command defines, point by point:
// spacing * sum_j h_j exp(sign 2 pi i f (x0 + j spacing)).
void ExpectTransform(const FourierResult& result, const std::vector<Complex>& h, double x0, double dx, int sign,
                     int size) {
  ASSERT_TRUE(result.real && result.imaginary) << result.message;
  ASSERT_EQ(result.real->PointCount(0), size + 1);
  ASSERT_EQ(result.imaginary->PointCount(1), size + 1);
  std::vector<double> t;
  for (size_t j = 0; j < h.size(); ++j) t.push_back(x0 + static_cast<double>(j) * dx);
  const double g = 1.0 / (dx * size);
  for (int i = 0; i <= size; ++i) {
    const double f = (i - size / 2) * g;
    EXPECT_NEAR(result.real->GetValue(0, i), f, 1e-12) << i;
    EXPECT_DOUBLE_EQ(result.imaginary->GetValue(0, i), result.real->GetValue(0, i)) << i;
    const Complex expected = dx * DirectSum(h, t, f, sign);
    EXPECT_NEAR(result.real->GetValue(1, i), expected.real(), 1e-11) << i;
    EXPECT_NEAR(result.imaginary->GetValue(1, i), expected.imag(), 1e-11) << i;
  }
}

TEST(FourierTransform, EightRealPointsGiveNinePointsFromMinusToPlusNyquist) {
  Data_Set real = Even(8, 0.0, 0.5, [](int i) { return 1.0 + i * i * 0.25 - (i % 3); }, "R");
  const auto result = fourierTransform(&real, nullptr, +1);
  EXPECT_EQ(result.message, "FFT completed");
  std::vector<Complex> h;
  for (int i = 0; i < 8; ++i) h.emplace_back(real.GetValue(1, i), 0.0);
  ExpectTransform(result, h, 0.0, 0.5, +1, 8);
  EXPECT_EQ(result.real->name, "Real Transform of R");
  EXPECT_EQ(result.imaginary->name, "Imaginary Transform of R");
  // -4g and +4g come from the same FFT element.
  EXPECT_DOUBLE_EQ(result.real->GetValue(0, 0), -4 * 0.25);
  EXPECT_DOUBLE_EQ(result.real->GetValue(1, 0), result.real->GetValue(1, 8));
}

TEST(FourierTransform, FirstXIsThePhaseOriginInBothDirections) {
  for (int sign : {+1, -1}) {
    Data_Set real = Even(6, 1.25, 0.1, [](int i) { return std::cos(0.7 * i) + 0.5; }, "R");
    const auto result = fourierTransform(&real, nullptr, sign);
    std::vector<Complex> h;
    for (int i = 0; i < 6; ++i) h.emplace_back(real.GetValue(1, i), 0.0);
    ExpectTransform(result, h, 1.25, 0.1, sign, 8);
  }
}

TEST(FourierTransform, RealAndImaginaryPairTakesTheOriginOfTheImaginarySet) {
  Data_Set real = Even(5, -0.3, 0.2, [](int i) { return 1.0 * i; }, "R");
  Data_Set imaginary = Even(5, 0.7, 0.2, [](int i) { return 2.0 - i * 0.5; }, "I");
  // Given out of order: sorted before use.
  imaginary.SwapPoints(0, 4);
  const auto result = fourierTransform(&real, &imaginary, -1);
  EXPECT_EQ(result.message, "FFT completed");
  std::vector<Complex> h;
  for (int i = 0; i < 5; ++i) h.emplace_back(real.GetValue(1, i), imaginary.GetValue(1, i));
  EXPECT_DOUBLE_EQ(imaginary.GetValue(0, 0), 0.7);
  ExpectTransform(result, h, 0.7, 0.2, -1, 8);
  EXPECT_EQ(result.real->name, "Real Transform of Rand I");
  EXPECT_EQ(result.imaginary->name, "Imaginary Transform of Rand I");
}

TEST(FourierTransform, Failures) {
  Data_Set four = Even(4, 0, 1, [](int i) { return 1.0 * i; });
  Data_Set five = Even(5, 0, 1, [](int i) { return 1.0 * i; });
  Data_Set wider = Even(4, 0, 2, [](int i) { return 1.0 * i; });
  Data_Set slightlyWider = Even(4, 0, 1.0001, [](int i) { return 1.0 * i; });
  Data_Set flat = MakeSet({1, 1, 2}, {1, 2, 3});
  Data_Set single = MakeSet({3}, {1});
  const struct {
    const char* what;
    Data_Set* real;
    Data_Set* imaginary;
    const char* message;
  } cases[] = {
      {"imaginary alone", nullptr, &four, "Set must have a non-zero point spacing"},
      {"sizes differ", &four, &five, "Real and imag set must be the same size"},
      {"spacings differ", &four, &wider, "Real and imag set must have same spacing!"},
      {"spacings differ by a part in 10^4", &four, &slightlyWider, "Real and imag set must have same spacing!"},
      {"zero spacing", &flat, nullptr, "Set must have a non-zero point spacing"},
      {"one point", &single, nullptr, "Set must have a non-zero point spacing"},
  };
  for (const auto& c : cases) {
    const auto result = fourierTransform(c.real, c.imaginary, +1);
    EXPECT_EQ(result.message, c.message) << c.what;
    EXPECT_FALSE(result.real || result.imaginary) << c.what;
  }
}

// One NaN or infinity would make every value of a transform NaN: both
// transforms refuse such a set, say why, and leave it as it was (unsorted).
TEST(Transforms, NonFiniteValuesAreRefused) {
  const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    std::vector<double> x, y;
    const char* message;
  } cases[] = {
      {"NaN y", {3, 2, 1, 0}, {1, nan, 3, 4}, "Set 'bad' holds 1 value that is not a finite number: not transformed"},
      {"inf y and NaN x", {3, nan, 1, 0}, {inf, 2, 3, 4},
       "Set 'bad' holds 2 values that are not a finite number: not transformed"},
  };
  for (const auto& c : cases) {
    Data_Set bad = MakeSet(c.x, c.y, "bad");
    const PowerSpectrumResult spectrum = powerSpectrum(bad);
    EXPECT_EQ(spectrum.message, c.message) << c.what;
    EXPECT_FALSE(spectrum.set) << c.what;
    EXPECT_EQ(bad.GetValue(0, 0), 3.0) << c.what << ": not sorted";
    Data_Set good = Even(4, 0, 1, [](int i) { return 1.0 * i; });
    for (auto [real, imaginary] : {std::pair{&bad, &good}, std::pair{&good, &bad}, std::pair{&bad, (Data_Set*)nullptr}}) {
      const FourierResult transform = fourierTransform(real, imaginary, +1);
      EXPECT_EQ(transform.message, c.message) << c.what;
      EXPECT_FALSE(transform.real || transform.imaginary) << c.what;
    }
  }
}

TEST(TwoSidedPowerSpectrum, AddsBothSidesOverNSquared) {
  Data_Set real = Even(8, 0.0, 1.0, [](int i) { return std::sin(i * 0.9) + 0.2; }, "R");
  const auto result = fourierTransform(&real, nullptr, +1);
  const auto ps = twoSidedPowerSpectrum(*result.real, *result.imaginary);
  ASSERT_TRUE(ps);
  EXPECT_EQ(ps->name, "Power spectrum");
  ASSERT_EQ(ps->PointCount(0), 5);
  std::vector<Complex> h;
  std::vector<double> t;
  for (int i = 0; i < 8; ++i) {
    h.emplace_back(real.GetValue(1, i), 0);
    t.push_back(i);
  }
  for (int i = 0; i <= 4; ++i) {
    const double f = i / 8.0;
    double power = std::norm(DirectSum(h, t, f, +1));
    if (i > 0) power += std::norm(DirectSum(h, t, -f, +1));
    EXPECT_DOUBLE_EQ(ps->GetValue(0, i), f);
    EXPECT_NEAR(ps->GetValue(1, i), 10 * std::log10(power / 64), 1e-10) << i;
  }
}

TEST(AmplitudeAndPhase, PolarFormWithZeroPhaseBelowTheThreshold) {
  Data_Set re = MakeSet({-1, 0, 1, 2}, {3, -1, -1e-12, 0});
  Data_Set im = MakeSet({-1, 0, 1, 2}, {4, 0, 0, -2});
  auto [amplitude, phase] = amplitudeAndPhase(re, im);
  EXPECT_EQ(amplitude->name, "Amplitude");
  EXPECT_EQ(phase->name, "Phase");
  const double expectedAmplitude[] = {5, 1, 1e-12, 2};
  const double expectedPhase[] = {std::atan2(4.0, 3.0), kPi, 0.0, -kPi / 2};
  for (int i = 0; i < 4; ++i) {
    EXPECT_DOUBLE_EQ(amplitude->GetValue(0, i), re.GetValue(0, i));
    EXPECT_DOUBLE_EQ(phase->GetValue(0, i), re.GetValue(0, i));
    EXPECT_DOUBLE_EQ(amplitude->GetValue(1, i), expectedAmplitude[i]);
    EXPECT_DOUBLE_EQ(phase->GetValue(1, i), expectedPhase[i]);
  }
}

}  // namespace
}  // namespace zentrel
