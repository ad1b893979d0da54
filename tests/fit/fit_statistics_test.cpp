#include "fit/fit_statistics.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// Four points, two free parameters: χ² = 0.01 + 0.01 + 0.04 + 0.04.
const std::vector<double> kY = {1, 2, 3, 4};
const std::vector<double> kModel = {1.1, 1.9, 3.2, 3.8};

TEST(GoodnessOfFit, EqualWeightsMatchHandComputedValues) {
  const std::vector<double> w(4, 1.0);
  const GoodnessOfFit g = ComputeGoodnessOfFit(kY, kModel, w, 2, false);
  EXPECT_NEAR(g.chiSquare, 0.1, 1e-15);
  EXPECT_EQ(g.points, 4);
  EXPECT_EQ(g.degreesOfFreedom, 2);
  EXPECT_NEAR(g.reducedChiSquare, 0.05, 1e-15);
  EXPECT_NEAR(g.rSquared, 0.98, 1e-14);  // total sum of squares 5
  // Relative weights: N ln(χ²/N) + 2k and + k ln N.
  EXPECT_NEAR(g.aic, -10.755517816455738, 1e-12);
  EXPECT_NEAR(g.bic, -11.982929094215956, 1e-12);
}

TEST(GoodnessOfFit, AbsoluteWeightsUseTheChiSquareItself) {
  const std::vector<double> w = {100, 25, 100, 25};  // σ = 0.1, 0.2, 0.1, 0.2
  const GoodnessOfFit g = ComputeGoodnessOfFit(kY, kModel, w, 2, true);
  EXPECT_NEAR(g.chiSquare, 6.25, 1e-12);
  // The weighted mean (2.4) is what R² measures the spread about.
  EXPECT_NEAR(g.rSquared, 0.978448275862069, 1e-12);
  EXPECT_NEAR(g.aic, 10.25, 1e-12);
  EXPECT_NEAR(g.bic, 9.022588722239792, 1e-12);
}

TEST(GoodnessOfFit, UndefinedValuesAreNaNNotNumbers) {
  // As many points as parameters, and data that do not vary.
  const std::vector<double> y = {2, 2}, f = {2, 2}, w = {1, 1};
  const GoodnessOfFit g = ComputeGoodnessOfFit(y, f, w, 2, false);
  EXPECT_EQ(g.degreesOfFreedom, 0);
  EXPECT_TRUE(std::isnan(g.reducedChiSquare));
  EXPECT_TRUE(std::isnan(g.rSquared));
  const GoodnessOfFit none = ComputeGoodnessOfFit({}, {}, {}, 1, false);
  EXPECT_TRUE(std::isnan(none.aic));
  EXPECT_TRUE(std::isnan(none.bic));
}

// The obvious oracle: for a straight line fitted by least squares, R² is the
// square of Pearson's correlation between x and y.
TEST(GoodnessOfFit, StraightLineRSquaredIsTheSquaredCorrelation) {
  std::vector<double> x, y;
  for (int i = 0; i < 25; ++i) {
    x.push_back(0.4 * i);
    y.push_back(1.5 - 0.7 * x.back() + 0.3 * std::sin(3.1 * i));
  }
  double mx = 0, my = 0;
  for (size_t i = 0; i < x.size(); ++i) mx += x[i] / x.size(), my += y[i] / y.size();
  double sxy = 0, sxx = 0, syy = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
    syy += (y[i] - my) * (y[i] - my);
  }
  const double slope = sxy / sxx, intercept = my - slope * mx;
  std::vector<double> f, w(x.size(), 1.0);
  for (double v : x) f.push_back(intercept + slope * v);
  const GoodnessOfFit g = ComputeGoodnessOfFit(y, f, w, 2, false);
  EXPECT_NEAR(g.rSquared, sxy * sxy / (sxx * syy), 1e-12);
}

TEST(CorrelationMatrix, NormalisesByTheVariancesAndMarksMissingOnes) {
  const std::vector<double> covariance = {4, 2, 0, 2, 9, 0, 0, 0, 0};
  const std::vector<double> r = CorrelationMatrix(covariance, 3);
  EXPECT_DOUBLE_EQ(r[0], 1.0);
  EXPECT_DOUBLE_EQ(r[1], 2.0 / 6.0);
  EXPECT_DOUBLE_EQ(r[3], 2.0 / 6.0);
  EXPECT_DOUBLE_EQ(r[4], 1.0);
  // A parameter without variance has no correlation with anything.
  for (int k : {2, 5, 6, 7, 8}) EXPECT_TRUE(std::isnan(r[static_cast<size_t>(k)])) << k;
}

TEST(RunsTest, CountsRunsAndTestsThemAgainstChance) {
  struct Case {
    std::vector<double> residuals;
    int runs, positive, negative;
    double expected, z, p;  // NaN: undefined
  };
  const double nan = std::nan("");
  const Case cases[] = {
      // + + − − +: μ = 3.4, σ² = 0.84.
      {{0.5, 0.1, -0.2, -0.3, 0.4}, 3, 3, 2, 3.4, -0.43643578047198467, 0.6625205835400576},
      // Zero residuals count in no run.
      {{0.5, 0, 0.1, -0.2, 0, -0.3, 0.4}, 3, 3, 2, 3.4, -0.43643578047198467, 0.6625205835400576},
      // All of one sign: one run and nothing to test.
      {{1, 2, 3}, 1, 3, 0, 1, nan, nan},
      {{}, 0, 0, 0, nan, nan, nan},
  };
  for (const Case& c : cases) {
    const RunsTest t = ResidualRunsTest(c.residuals);
    EXPECT_EQ(t.runs, c.runs);
    EXPECT_EQ(t.positive, c.positive);
    EXPECT_EQ(t.negative, c.negative);
    for (auto [got, want] : {std::pair{t.expected, c.expected}, std::pair{t.z, c.z}, std::pair{t.p, c.p}}) {
      if (std::isnan(want)) EXPECT_TRUE(std::isnan(got));
      else EXPECT_NEAR(got, want, 1e-12);
    }
  }
}

TEST(RunsTest, SystematicResidualsGiveSmallPValues) {
  // A model that misses a curve: long runs of one sign.
  std::vector<double> trend, alternating;
  for (int i = 0; i < 40; ++i) {
    trend.push_back(i < 10 || i >= 30 ? 1.0 : -1.0);
    alternating.push_back(i % 2 == 0 ? 1.0 : -1.0);
  }
  const RunsTest few = ResidualRunsTest(trend);
  EXPECT_EQ(few.runs, 3);
  EXPECT_LT(few.z, -4);
  EXPECT_LT(few.p, 1e-4);
  const RunsTest many = ResidualRunsTest(alternating);
  EXPECT_EQ(many.runs, 40);
  EXPECT_GT(many.z, 4);
  EXPECT_LT(many.p, 1e-4);
}

}  // namespace
}  // namespace zentrel
