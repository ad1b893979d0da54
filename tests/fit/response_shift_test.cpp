// The response shift of a convolved fit: the moved response itself, the
// convolved model under sub-channel shifts against a slow sum written out
// here, the shift's derivative against finite differences, and fits that
// find a shift hidden in synthetic data.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "fit/engine.h"
#include "fit/fit_run.h"
#include "fit/model.h"
#include "fit/model_kind.h"
#include "fit/response_shift.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

// ---- the moved response ----------------------------------------------------

struct MovedCase {
  const char* what;
  double shift;  // in channels (delta = 0.5 below)
  std::vector<double> expected;
};

TEST(ShiftedResponse, MovesByWholeAndPartChannels) {
  const std::vector<double> y{1, 3, 7, 4, 2};
  const double delta = 0.5;
  const MovedCase cases[] = {
      {"no shift", 0, {1, 3, 7, 4, 2}},
      {"one channel right", 1, {0, 1, 3, 7, 4}},
      {"two channels left", -2, {7, 4, 2, 0, 0}},
      // r(x_i - 0.25 delta): a quarter of the way back to the point before.
      {"a quarter channel right", 0.25, {0.75, 2.5, 6, 4.75, 2.5}},
      {"a quarter channel left", -0.25, {1.5, 4, 6.25, 3.5, 1.5}},
      {"beyond the response", 9, {0, 0, 0, 0, 0}},
  };
  for (const MovedCase& c : cases) {
    const std::vector<double> moved = ShiftedResponse(y, c.shift * delta, delta);
    ASSERT_EQ(moved.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < moved.size(); ++i) EXPECT_NEAR(moved[i], c.expected[i], 1e-12) << c.what << " at " << i;
  }
}

TEST(ShiftedResponse, UndefinedShiftsMoveEverythingOut) {
  const std::vector<double> y{1, 2, 3, 4, 5};
  for (const double shift : {std::nan(""), HUGE_VAL, -HUGE_VAL})
    for (const double v : ShiftedResponse(y, shift, 1.0)) EXPECT_EQ(v, 0.0) << shift;
}

TEST(ShiftedResponse, SlopeIsTheDerivativeOfTheMove) {
  const std::vector<double> y{0.5, 2, 6, 5, 3, 1.5, 0.2};
  const double delta = 0.3;
  for (const double shift : {0.1, 0.47, -0.62, 1.3}) {
    const std::vector<double> slope = ShiftedResponseSlope(y, shift, delta);
    const double h = 1e-6;
    const std::vector<double> above = ShiftedResponse(y, shift + h, delta);
    const std::vector<double> below = ShiftedResponse(y, shift - h, delta);
    for (size_t i = 0; i < y.size(); ++i)
      EXPECT_NEAR(slope[i], (above[i] - below[i]) / (2 * h), 1e-6) << "shift " << shift << " at " << i;
  }
  // On a whole channel the slope is the one for a growing shift.
  const std::vector<double> slope = ShiftedResponseSlope(y, 0.0, delta);
  const std::vector<double> ahead = ShiftedResponse(y, 1e-7, delta);
  for (size_t i = 0; i < y.size(); ++i) EXPECT_NEAR(slope[i], (ahead[i] - y[i]) / 1e-7, 1e-5) << i;
}

// ---- the convolved model -------------------------------------------------

constexpr double kStart = 0.0;
constexpr double kDelta = 0.05;
constexpr int kResponsePoints = 201;
constexpr int kChannels = 256;

// A response peaked near channel 30, of finite width.
double ResponseAt(int i) {
  const double t = (i - 30) * kDelta;
  return std::exp(-t * t / (2 * 0.04 * 0.04 * 16)) + 0.01 * std::cos(0.3 * i);
}

void FillResponse(Data_Set& response) {
  for (int i = 0; i < kResponsePoints; ++i) {
    response.SetValue(0, i, kStart + i * kDelta);
    response.SetValue(1, i, ResponseAt(i));
  }
}

// The convolved model written out plainly, with the moved response read
// at x_i - shift by interpolating between its points (0 one channel beyond
// either end): the oracle for the engine's FFTs and sums.
double SlowShiftedConvolution(const std::vector<double>& y, double area, double shift, double x,
                              double (*model)(double lag)) {
  const int m = static_cast<int>(y.size());
  auto r = [&](double u) {
    const double t = (u - kStart) / kDelta;
    const int j = static_cast<int>(std::floor(t));
    const double f = t - j;
    auto at = [&](int k) { return k >= 0 && k < m ? y[static_cast<size_t>(k)] : 0.0; };
    return (1 - f) * at(j) + f * at(j + 1);
  };
  double sum = 0;
  for (int i = 0; i < m; ++i) {
    const double xi = kStart + i * kDelta;
    const double lag = x - xi;
    if (!(lag > 0)) continue;
    sum += SimpsonWeight(i, m) * r(xi - shift) * model(lag);
  }
  return kDelta / 3 * sum / area;
}

double TwoLifetimes(double lag) { return 0.2 + 3.0 * std::exp(-lag / 0.4) + 1.5 * std::exp(-lag / 1.7); }

class ShiftedModel : public ::testing::Test {
 protected:
  void SetUp() override {
    FillResponse(response_);
    fit_.modelKind = kExponential;
    fit_.order = 2;
    fit_.params = {};
    fit_.params[0] = 0.2;
    fit_.params[2] = 3.0;
    fit_.params[3] = 0.4;
    fit_.params[4] = 1.5;
    fit_.params[5] = 1.7;
    fit_.setConvolutionSource(&response_);
    for (int k = 0; k < kChannels; ++k) x_.push_back(kStart + k * kDelta);
    y_.assign(x_.size(), 0.0);
    data_ = {{x_.data(), x_.size()}, {y_.data(), y_.size()}, {}};
    for (int i = 0; i < kResponsePoints; ++i) responseY_.push_back(ResponseAt(i));
  }
  void TearDown() override { ClearNumericError(); }

  ModelScope Fast() { return {fit_, data_, fastSpline_, &cache_}; }
  ModelScope Direct() { return {fit_, data_, directSpline_, nullptr}; }

  Data_Set response_;
  Fit fit_;
  std::vector<double> x_, y_, responseY_;
  FitData data_;
  SplineCache fastSpline_, directSpline_;
  ConvolutionCache cache_;
};

TEST_F(ShiftedModel, SubChannelShiftsAgreeWithTheSlowSum) {
  for (const double channels : {0.0, 0.37, 3.4, -2.71, 1.0}) {
    fit_.shift = channels * kDelta;
    ModelScope fast = Fast(), direct = Direct();
    double largest = 0, worstFast = 0, worstDirect = 0;
    for (const double x : x_) {
      const double oracle = SlowShiftedConvolution(responseY_, fit_.convolutionArea, fit_.shift, x, TwoLifetimes);
      largest = std::max(largest, std::fabs(oracle));
      worstFast = std::max(worstFast, std::fabs(ModelValue(fast, x, fit_.params.data()) - oracle));
      worstDirect = std::max(worstDirect, std::fabs(ModelValue(direct, x, fit_.params.data()) - oracle));
    }
    ASSERT_GT(largest, 0);
    EXPECT_LE(worstFast, 1e-12 * largest) << channels << " channels";
    EXPECT_LE(worstDirect, 1e-12 * largest) << channels << " channels";
  }
}

TEST_F(ShiftedModel, ShiftDerivativeMatchesFiniteDifferences) {
  for (const double channels : {0.37, 3.4, -1.55}) {
    const double shift = channels * kDelta;
    double largest = 0, worstFast = 0, worstDirect = 0;
    for (size_t k = 0; k < x_.size(); k += 3) {
      const double x = x_[k];
      // Central differences stay inside one linear piece: no kink between.
      const double h = 1e-4 * kDelta;
      fit_.shift = shift + h;
      ModelScope probe = Direct();
      const double above = ModelValue(probe, x, fit_.params.data());
      fit_.shift = shift - h;
      const double below = ModelValue(probe, x, fit_.params.data());
      const double reference = (above - below) / (2 * h);
      fit_.shift = shift;
      ModelScope fast = Fast(), direct = Direct();
      largest = std::max(largest, std::fabs(reference));
      worstFast = std::max(worstFast, std::fabs(ShiftDerivative(fast, x, fit_.params.data()) - reference));
      worstDirect = std::max(worstDirect, std::fabs(ShiftDerivative(direct, x, fit_.params.data()) - reference));
    }
    ASSERT_GT(largest, 0);
    EXPECT_LE(worstFast, 1e-6 * largest) << channels << " channels";
    EXPECT_LE(worstDirect, 1e-6 * largest) << channels << " channels";
  }
}

// ---- fits ------------------------------------------------------------------

// A decay measured through a response shifted by 3.4 channels, with
// Gaussian noise of a photon count (sigma = sqrt(y)) and y errors.
struct ShiftedDecay {
  Data_Set response, decay;
  double shift = 3.4 * kDelta;
  std::array<double, 6> truth{};  // y0, x0, a0, t0, a1, t1
};

void MakeShiftedDecay(ShiftedDecay& d) {
  FillResponse(d.response);
  Fit truth;
  truth.modelKind = kExponential;
  truth.order = 2;
  d.truth = {5.0, 0.0, 3000.0, 0.35, 800.0, 1.6};
  std::copy(d.truth.begin(), d.truth.end(), truth.params.begin());
  truth.setConvolutionSource(&d.response);
  truth.shift = d.shift;
  std::vector<double> x;
  for (int k = 0; k < kChannels; ++k) x.push_back(kStart + k * kDelta);
  FitModel model(truth, {{x.data(), x.size()}, {x.data(), x.size()}, {}});
  std::mt19937 random(20261208);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  for (int k = 0; k < kChannels; ++k) {
    const double f = model(x[static_cast<size_t>(k)]);
    // Box-Muller, so the noise is the same wherever the test runs.
    const double u1 = std::max(uniform(random), 1e-300), u2 = uniform(random);
    const double normal = std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
    const double sigma = std::sqrt(std::max(f, 1.0));
    d.decay.SetValue(0, k, x[static_cast<size_t>(k)]);
    d.decay.SetValue(1, k, f + sigma * normal);
    d.decay.SetValue(2, k, sigma);
  }
}

FitRequest ShiftedDecayRequest(const ShiftedDecay& d, bool freeShift) {
  FitRequest request;
  request.order = 2;
  // Start away from the truth; x0 is held (it would trade with the amplitudes).
  request.params = {4.0, 0.0, 2500.0, 0.5, 1000.0, 2.0};
  request.hold = {1};
  request.weighting = kWeightInverseSigmaSquared;
  request.convolveWith = &d.response;
  request.freeShift = freeShift;
  return request;
}

TEST(ShiftedDecayFit, FreeShiftRecoversTheShiftAndLifetimes) {
  ShiftedDecay d;
  MakeShiftedDecay(d);
  const FitRunResult free = RunFit(d.decay, ShiftedDecayRequest(d, true));
  ASSERT_TRUE(free.error.empty()) << free.error;
  ASSERT_TRUE(free.converged);
  ASSERT_EQ(free.names.back(), "shift");
  ASSERT_TRUE(free.errors.back().has_value());
  const double shift = free.params.back(), shiftError = *free.errors.back();
  const FitRunResult held = RunFit(d.decay, ShiftedDecayRequest(d, false));
  ASSERT_TRUE(held.error.empty()) << held.error;
  ASSERT_EQ(held.names.size(), 6u) << "a held shift of 0 is no row";
  std::printf("free shift: shift %.6f +- %.6f (true %.6f), t0 %.6f +- %.6f, t1 %.6f +- %.6f (true %g, %g)\n", shift,
              shiftError, d.shift, free.params[3], *free.errors[3], free.params[5], *free.errors[5], d.truth[3],
              d.truth[5]);
  std::printf("shift held at 0: t0 %.6f +- %.6f, t1 %.6f +- %.6f, reduced chi-square %.4g (free: %.4g)\n",
              held.params[3], *held.errors[3], held.params[5], *held.errors[5], held.reducedChiSquare,
              free.reducedChiSquare);
  EXPECT_LE(std::fabs(shift - d.shift), 2 * shiftError);
  EXPECT_LT(shiftError, 0.05 * d.shift);
  for (const int t : {3, 5}) {
    const auto i = static_cast<size_t>(t);
    EXPECT_LE(std::fabs(free.params[i] - d.truth[i]), 3 * *free.errors[i]) << free.names[i];
    // Held at 0, the lifetimes take up the missing delay: biased beyond
    // their errors (this decay's two merge into one near 1.42).
    EXPECT_GT(std::fabs(held.params[i] - d.truth[i]), 3 * *held.errors[i]) << held.names[i];
  }
  EXPECT_GT(std::fabs(held.params[3] - d.truth[3]), 10 * *held.errors[3]);
  EXPECT_GT(held.reducedChiSquare, 2 * free.reducedChiSquare);
  // The shift takes part in the statistics as a free parameter.
  ASSERT_TRUE(free.statistics.has_value());
  EXPECT_EQ(free.statistics->goodness.freeParameters, 6);
  EXPECT_EQ(free.statistics->freeIndex.back(), kShiftIndex);
}

TEST(ShiftedDecayFit, GridlessFitsTheShiftToo) {
  ShiftedDecay d;
  MakeShiftedDecay(d);
  FitRequest request = ShiftedDecayRequest(d, true);
  request.method = kMethodGridless;
  request.params = {5.0, 0.0, 3000.0, 0.35, 800.0, 1.6};
  request.maxIterations = 4000;
  const FitRunResult result = RunFit(d.decay, request);
  ASSERT_TRUE(result.error.empty()) << result.error;
  ASSERT_EQ(result.names.back(), "shift");
  ASSERT_TRUE(result.errors.back().has_value());
  EXPECT_LE(std::fabs(result.params.back() - d.shift), 2 * *result.errors.back());
}

TEST(ShiftedDecayFit, ProfileIntervalCoversTheShift) {
  ShiftedDecay d;
  MakeShiftedDecay(d);
  FitRequest request = ShiftedDecayRequest(d, true);
  request.confidence = 0.683;
  const FitRunResult result = RunFit(d.decay, request);
  ASSERT_TRUE(result.error.empty()) << result.error;
  ASSERT_TRUE(result.confidence.has_value());
  ASSERT_TRUE(result.confidence->ok()) << result.confidence->error;
  const ProfileInterval& shift = result.confidence->intervals.back();
  ASSERT_EQ(shift.parameter, kShiftIndex);
  ASSERT_EQ(shift.lower.kind, IntervalEnd::Kind::kFound);
  ASSERT_EQ(shift.upper.kind, IntervalEnd::Kind::kFound);
  EXPECT_LT(shift.lower.value, shift.best);
  EXPECT_GT(shift.upper.value, shift.best);
  // One standard deviation: the profile's half-width is about the standard error.
  const double halfWidth = 0.5 * (shift.upper.value - shift.lower.value);
  EXPECT_NEAR(halfWidth, *result.errors.back(), 0.3 * *result.errors.back());
}

TEST(ShiftRequest, ShiftNeedsAResponse) {
  Data_Set set;
  for (int i = 0; i < 10; ++i) {
    set.SetValue(0, i, i);
    set.SetValue(1, i, std::exp(-i / 3.0));
  }
  FitRequest request;
  request.params = {0, 0, 1, 1};
  request.freeShift = true;
  EXPECT_EQ(RunFit(set, request).error, "a shift needs a response to convolve with");
  request.freeShift = false;
  request.shift = 0.5;
  EXPECT_EQ(RunFit(set, request).error, "a shift needs a response to convolve with");
}

}  // namespace
}  // namespace zentrel
