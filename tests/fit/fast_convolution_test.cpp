// Convolved fits through the FFT cache against the direct Simpson sum, the
// reference: values on and off the source's grid, and derivatives (the
// convolved analytic ones, and Ridders' over cached curves) against Ridders
// over the direct sum.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "case_names.h"
#include "fit/fast_convolution.h"
#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "fit/model_table.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct ConvolutionCase {
  const char* what;
  int kind, order;
  std::vector<double> params;
  int sourcePoints;
  int dataPoints;  // channels 0 .. dataPoints-1 of the source's grid
  double start, delta;
};

std::string Describe(const ConvolutionCase& c) { return c.what; }
void PrintTo(const ConvolutionCase& c, std::ostream* os) { *os << Describe(c); }

// A response with a rise, a peak and a tail, with some noise.
void FillResponse(Data_Set& source, const ConvolutionCase& c, std::mt19937& random) {
  std::uniform_real_distribution<double> noise(0.0, 0.05);
  for (int i = 0; i < c.sourcePoints; ++i) {
    const double t = i * 8.0 / c.sourcePoints;
    source.SetValue(0, i, c.start + i * c.delta);
    source.SetValue(1, i, t * t * std::exp(-t) + noise(random));
  }
}

// The points to evaluate: every channel of the data, some between channels,
// and some before the source starts.
std::vector<double> Abscissae(const ConvolutionCase& c) {
  std::vector<double> x;
  for (int k = 0; k < c.dataPoints; ++k) x.push_back(c.start + k * c.delta);
  for (int k = 0; k < c.dataPoints; k += 7) x.push_back(c.start + (k + 0.37) * c.delta);
  x.push_back(c.start - 2.5 * c.delta);
  return x;
}

// The derivative of the direct sum at exactly x by a five-point central
// difference (error of order h^4): y0's too, which the convolution carries
// along with the terms.
double FivePointDerivative(ModelScope& direct, double x, std::array<double, kMaxFitParameters> p, int q) {
  const auto at = static_cast<size_t>(q);
  const double h = 1e-3 * std::max(std::fabs(p[at]), 0.1);
  const double centre = p[at];
  auto at_offset = [&](double k) {
    p[at] = centre + k * h;
    return ModelValue(direct, x, p.data());
  };
  return (at_offset(-2) - 8 * at_offset(-1) + 8 * at_offset(1) - at_offset(2)) / (12 * h);
}

class FastConvolution : public ::testing::TestWithParam<ConvolutionCase> {
 protected:
  void SetUp() override {
    const ConvolutionCase& c = GetParam();
    std::mt19937 random(12345);
    FillResponse(source_, c, random);
    fit_.modelKind = c.kind;
    fit_.order = c.order;
    std::copy(c.params.begin(), c.params.end(), fit_.params.begin());
    fit_.setConvolutionSource(&source_);
    x_ = Abscissae(c);
    y_.assign(x_.size(), 0.0);
    data_ = {{x_.data(), x_.size()}, {y_.data(), y_.size()}, {}};
  }
  void TearDown() override { ClearNumericError(); }

  ModelScope Fast() { return {fit_, data_, fastSpline_, &cache_}; }
  ModelScope Direct() { return {fit_, data_, directSpline_, nullptr}; }

  Data_Set source_;
  Fit fit_;
  std::vector<double> x_, y_;
  FitData data_;
  SplineCache fastSpline_, directSpline_;
  ConvolutionCache cache_;
};

TEST_P(FastConvolution, ValuesEqualTheDirectSum) {
  ModelScope fast = Fast(), direct = Direct();
  double largest = 0, worst = 0;
  for (const double x : x_) {
    const double reference = ModelValue(direct, x, fit_.params.data());
    const double value = ModelValue(fast, x, fit_.params.data());
    largest = std::max(largest, std::fabs(reference));
    worst = std::max(worst, std::fabs(value - reference));
    ASSERT_TRUE(std::isfinite(value)) << x;
  }
  EXPECT_GT(largest, 0);
  EXPECT_LE(worst, 1e-12 * largest) << "largest " << largest;
}

TEST_P(FastConvolution, PointsOffTheGridAreSummedDirectly) {
  ModelScope fast = Fast(), direct = Direct();
  const ConvolutionCase& c = GetParam();
  const double between = c.start + 3.37 * c.delta;
  EXPECT_EQ(ModelValue(fast, between, fit_.params.data()), ModelValue(direct, between, fit_.params.data()));
}

TEST_P(FastConvolution, DerivativesEqualThoseOfTheDirectSum) {
  ModelScope fast = Fast(), direct = Direct();
  const int count = ParameterCount(fit_);
  std::vector<double> largest(static_cast<size_t>(count), 0.0), worst(static_cast<size_t>(count), 0.0);
  std::array<double, kMaxFitParameters> p = fit_.params;
  // Every other channel: Ridders over the direct sum is slow.
  for (size_t i = 0; i < x_.size(); i += 2) {
    std::array<double, kMaxFitParameters> viaCache{};
    ModelDerivatives(fast, x_[i], p.data(), viaCache.data());
    for (int q = 0; q < count; ++q) {
      const auto at = static_cast<size_t>(q);
      const double reference = FivePointDerivative(direct, x_[i], p, q);
      largest[at] = std::max(largest[at], std::fabs(reference));
      worst[at] = std::max(worst[at], std::fabs(viaCache[at] - reference));
    }
  }
  for (int q = 0; q < count; ++q) {
    const auto at = static_cast<size_t>(q);
    EXPECT_LE(worst[at], 1e-6 * largest[at] + 1e-14) << ParameterName(fit_, q);
  }
  // The fused call gives the same value as ModelValue.
  std::array<double, kMaxFitParameters> out{};
  const double x = x_[x_.size() / 2];
  EXPECT_EQ(ModelValueAndDerivatives(fast, x, p.data(), out.data()), ModelValue(fast, x, p.data()));

  // The engine asks for free parameters only: a held one reads 0, the
  // others as before, and a later full request still gets the held one
  // (the cache's convolved analytic derivatives; Ridders' tableau is
  // checked above).
  if (FamilyOf(fit_.modelKind).derivatives == nullptr) return;
  std::array<double, kMaxFitParameters> all{}, freeOnly{};
  ModelDerivatives(fast, x, p.data(), all.data());
  ConvolutionCache fresh;
  ModelScope onlyFree{fit_, data_, fastSpline_, &fresh};
  std::array<int, kMaxFitParameters> flags = fit_.freeFlags;
  flags[2] = 0;
  ModelValueAndDerivatives(onlyFree, x, p.data(), freeOnly.data(), flags.data());
  for (int q = 0; q < count; ++q)
    EXPECT_EQ(freeOnly[static_cast<size_t>(q)], q == 2 ? 0.0 : all[static_cast<size_t>(q)]) << ParameterName(fit_, q);
  ModelDerivatives(onlyFree, x, p.data(), freeOnly.data());
  EXPECT_EQ(freeOnly, all);
}

INSTANTIATE_TEST_SUITE_P(
    Families, FastConvolution,
    ::testing::Values(
        ConvolutionCase{"two exponentials", kExponential, 2, {0.3, 0.0, 5, 2.5, 2, 11}, 64, 96, 0.0, 0.25},
        ConvolutionCase{"exponential with offsets", kExponential, 1, {0.1, 0.4, 3, 1.5}, 33, 40, -1.5, 0.1},
        ConvolutionCase{"odd short source", kExponential, 1, {0, 0, 1, 0.7}, 5, 12, 2.0, 1.0},
        ConvolutionCase{"gaussian peak", kGaussian, 1, {0.05, 0, 2, 3, 0.8}, 50, 70, 0.0, 0.125},
        ConvolutionCase{"stretched", kStretchedExponential, 1, {0, 0, 4, 2, 0.7}, 40, 60, 0.0, 0.2},
        ConvolutionCase{"without analytic derivatives", kExpConvGaussian, 1, {0.02, 0.1, 0.4, 2, 3}, 30, 45, 0.0, 0.25},
        ConvolutionCase{"data shorter than the source", kExponential, 1, {0, 0, 2, 1}, 120, 30, 0.0, 0.05},
        // The transform is exactly as long as the longest sum: nothing may wrap.
        ConvolutionCase{"transform length at its bound", kExponential, 2, {0.2, 0, 3, 0.5, 1, 4}, 64, 64, 0.0, 0.1}),
    testing::DescribedCaseName{});

TEST(FastConvolutionCache, FollowsANewSourceAndParameters) {
  Data_Set a, b;
  for (int i = 0; i < 20; ++i) {
    a.SetValue(0, i, i * 0.5), a.SetValue(1, i, std::exp(-i * 0.3));
    b.SetValue(0, i, i * 0.5), b.SetValue(1, i, 1.0 + i);
  }
  Fit fit;
  fit.modelKind = kExponential;
  fit.order = 1;
  fit.params[2] = 2;
  fit.params[3] = 1.5;
  fit.setConvolutionSource(&a);
  SplineCache spline, directSpline;
  ConvolutionCache cache;
  ModelScope fast{fit, {}, spline, &cache};
  ModelScope direct{fit, {}, directSpline, nullptr};
  // Every channel up to x agrees to 1e-12 of the largest value.
  auto agree = [&](double last) {
    std::vector<double> reference;
    for (double x = 0; x <= last; x += 0.5) reference.push_back(ModelValue(direct, x, fit.params.data()));
    const double largest = std::fabs(*std::max_element(reference.begin(), reference.end(), [](double l, double r) {
      return std::fabs(l) < std::fabs(r);
    }));
    for (size_t k = 0; k < reference.size(); ++k)
      EXPECT_NEAR(ModelValue(fast, k * 0.5, fit.params.data()), reference[k], 1e-12 * largest) << k * 0.5;
  };
  agree(4.0);
  fit.params[3] = 0.5;  // another parameter vector: another curve
  agree(4.0);
  fit.setConvolutionSource(&b);  // another source and area
  agree(4.0);
  agree(30.0);  // beyond the curve so far: the curve grows
}

}  // namespace
}  // namespace zentrel
