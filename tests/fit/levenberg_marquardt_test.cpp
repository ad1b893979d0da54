// Levenberg-Marquardt on weighted residuals: it minimises exactly the
// chi-square it reports under every weighting, rejects trials it cannot
// evaluate instead of keeping them, says which math error stopped it, and
// refuses unusable y errors before the first step.

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/convergence.h"
#include "fit/engine.h"
#include "fit/model_table.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct Columns {
  std::vector<double> x, y, sigma;
  FitData data() const { return {x, y, sigma}; }
};

// y = 4 exp(-x/3) + 1 with a deterministic wobble and y errors that vary
// along x, so every weighting has an optimum of its own.
Columns Decay() {
  Columns c;
  for (int i = 0; i < 40; ++i) {
    const double x = 0.25 * i;
    c.x.push_back(x);
    c.y.push_back(4 * std::exp(-x / 3) + 1 + 0.05 * std::sin(3.0 * i));
    c.sigma.push_back(0.02 + 0.01 * (i % 5));
  }
  return c;
}

Fit ExponentialFit(int weighting) {
  Fit fit;
  SelectModel(fit, "Exponential", 1);
  fit.method = kMethodLevenbergMarquardt;
  fit.weighting = weighting;
  fit.params[0] = 0.5, fit.params[2] = 3, fit.params[3] = 2;
  fit.freeFlags[1] = 0;
  return fit;
}

Convergence RunToConvergence(Fit& fit, const FitData& data, FitWorkspace& work) {
  for (int i = 0; i < 500; ++i) {
    const StepResult step = Step(fit, data, work, 1);
    EXPECT_TRUE(step.ok()) << step.message;
    if (!step.ok()) return Convergence::kNotYet;
    if (Convergence c = LevenbergMarquardtConvergence(work.lm); c != Convergence::kNotYet) return c;
  }
  return Convergence::kNotYet;
}

class LevenbergMarquardt : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }
};

TEST_F(LevenbergMarquardt, GradientOfTheReportedChiSquareVanishesUnderEveryWeighting) {
  const Columns columns = Decay();
  const FitData data = columns.data();
  for (int weighting : {kWeightEqual, kWeightInverseY, kWeightInverseSigmaSquared, kWeightInverseSqrtY}) {
    Fit fit = ExponentialFit(weighting);
    fit.attach(columns.x.data(), static_cast<int>(columns.x.size()));
    FitWorkspace work;
    ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet) << "weighting " << weighting;
    ModelScope scope{fit, data, work.spline};
    const double chi = ChiSquare(scope, fit.params.data());
    EXPECT_EQ(chi, work.lm.chiSquare) << "the step sums the same points as ChiSquare";
    for (int k : {0, 2, 3}) {
      // Central differences of the chi-square itself, relative to its size.
      auto p = fit.params;
      const double h = 1e-6 * std::fabs(p[static_cast<size_t>(k)]);
      p[static_cast<size_t>(k)] += h;
      const double up = ChiSquare(scope, p.data());
      p[static_cast<size_t>(k)] -= 2 * h;
      const double down = ChiSquare(scope, p.data());
      const double slope = (up - down) / (2 * h) * std::fabs(fit.params[static_cast<size_t>(k)]) / chi;
      EXPECT_LT(std::fabs(slope), 1e-5) << "weighting " << weighting << ", parameter " << k;
    }
  }
}

// scipy.optimize.least_squares on the same data and the same weighted
// residuals; bench/scipy_weighting.py prints these lines.
struct Reference {
  int weighting;
  double params[3];  // y0, a0, t0
  double errors[3];
};
const Reference kScipy[] = {
    {kWeightEqual, {0.9976978111968882, 4.002045628128423, 3.003960576346496}, {0.019352964463960013, 0.022564314236608672, 0.049266591616283835}},
    {kWeightInverseY, {0.9912956398822341, 4.002621728377644, 3.0176065899439175}, {0.020096205387751188, 0.04807594697175799, 0.07173976574835798}},
    {kWeightInverseSigmaSquared, {0.9942348017334982, 4.008085920805052, 3.007579037904047}, {0.016488705759589713, 0.018214828919695083, 0.03892392925948188}},
    {kWeightInverseSqrtY, {0.9977240481546114, 4.0016501237459225, 3.0048244530645256}, {0.019033964221650154, 0.025695676481398696, 0.052906173822350716}},
};

TEST_F(LevenbergMarquardt, AgreesWithScipyUnderEveryWeighting) {
  const Columns columns = Decay();
  const FitData data = columns.data();
  for (const Reference& reference : kScipy) {
    Fit fit = ExponentialFit(reference.weighting);
    fit.attach(columns.x.data(), static_cast<int>(columns.x.size()));
    FitWorkspace work;
    ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet);
    const auto errors = ComputeUncertainties(fit, data);
    ASSERT_TRUE(errors.has_value());
    const int index[] = {0, 2, 3};  // y0, a0, t0
    for (int k = 0; k < 3; ++k) {
      const auto i = static_cast<size_t>(index[k]);
      EXPECT_NEAR(fit.params[i], reference.params[k], 1e-6 * std::fabs(reference.params[k]))
          << "weighting " << reference.weighting << ", parameter " << i;
      ASSERT_TRUE(errors->errors[i].has_value());
      EXPECT_NEAR(*errors->errors[i], reference.errors[k], 1e-4 * reference.errors[k])
          << "weighting " << reference.weighting << ", parameter " << i;
    }
  }
}

TEST_F(LevenbergMarquardt, WeightingsHaveDifferentOptimaAndErrorsScaleByTheirOwnVariance) {
  const Columns columns = Decay();
  const FitData data = columns.data();
  double equalTime = 0, inverseYTime = 0;
  for (int weighting : {kWeightEqual, kWeightInverseY}) {
    Fit fit = ExponentialFit(weighting);
    fit.attach(columns.x.data(), static_cast<int>(columns.x.size()));
    FitWorkspace work;
    ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet);
    (weighting == kWeightEqual ? equalTime : inverseYTime) = fit.params[3];
    const auto errors = ComputeUncertainties(fit, data);
    ASSERT_TRUE(errors.has_value());
    // Relative weights: scaled by the weighted residual variance, so the
    // errors do not depend on the weights' overall size.
    Fit scaled = ExponentialFit(weighting);
    scaled.params = fit.params;
    scaled.attach(columns.x.data(), static_cast<int>(columns.x.size()));
    Columns doubled = columns;
    for (double& s : doubled.sigma) s *= 2;
    const auto same = ComputeUncertainties(scaled, doubled.data());
    ASSERT_TRUE(same.has_value());
    EXPECT_DOUBLE_EQ(*same->errors[3], *errors->errors[3]);
  }
  EXPECT_GT(std::fabs(equalTime - inverseYTime), 1e-3);

  // 1/sigma^2 errors are absolute: doubling every sigma doubles them.
  Fit fit = ExponentialFit(kWeightInverseSigmaSquared);
  fit.attach(columns.x.data(), static_cast<int>(columns.x.size()));
  FitWorkspace work;
  ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet);
  Columns doubled = columns;
  for (double& s : doubled.sigma) s *= 2;
  const auto single = ComputeUncertainties(fit, data);
  const auto twice = ComputeUncertainties(fit, doubled.data());
  ASSERT_TRUE(single && twice);
  EXPECT_NEAR(*twice->errors[3], 2 * *single->errors[3], 1e-12 * *single->errors[3]);
}

TEST_F(LevenbergMarquardt, ATrialThatOverflowsIsRejectedAndTheFitGoesOn) {
  // From A0 = 0 the first Gauss-Newton step puts A0 near 20, where
  // exp(A0 x^3) overflows at the far points.
  Columns c;
  for (int i = 0; i <= 20; ++i) {
    c.x.push_back(0.5 * i);
    c.y.push_back(std::exp(0.5 * i));
  }
  Fit fit;
  ASSERT_EQ(CompileCustomFunction(fit, "EXP(A0*X^3)").status, 0);
  SelectModel(fit, std::string(ModelName(kCustomFunction)), 1);
  fit.method = kMethodLevenbergMarquardt;
  fit.freeFlags[0] = fit.freeFlags[1] = 0;
  fit.attach(c.x.data(), static_cast<int>(c.x.size()));
  FitWorkspace work;
  ModelScope scope{fit, c.data(), work.spline};
  const double start = ChiSquare(scope, fit.params.data());
  const StepResult first = Step(fit, c.data(), work, 1);
  ASSERT_TRUE(first.ok()) << first.message;
  EXPECT_TRUE(work.lm.last.unusable);
  EXPECT_EQ(fit.params[2], 0);
  EXPECT_EQ(fit.chiSquare, start);
  EXPECT_GT(work.lm.lambda, 1e-3);
  EXPECT_EQ(NumericErrorState().code, 0);
  ASSERT_NE(RunToConvergence(fit, c.data(), work), Convergence::kNotYet);
  EXPECT_LT(fit.chiSquare, start);
  EXPECT_GT(fit.params[2], 0);
  EXPECT_EQ(fit.chiSquare, ChiSquare(scope, fit.params.data()));
}

TEST_F(LevenbergMarquardt, AMathErrorAtTheStartIsReportedAsItself) {
  Columns c{{0, 1, 2, 3}, {0, 0.7, 1.1, 1.4}, {}};
  Fit fit;
  ASSERT_EQ(CompileCustomFunction(fit, "LN(A0*X)").status, 0);
  SelectModel(fit, std::string(ModelName(kCustomFunction)), 1);
  fit.method = kMethodLevenbergMarquardt;
  fit.params[2] = 1;
  fit.freeFlags[0] = fit.freeFlags[1] = 0;
  fit.attach(c.x.data(), static_cast<int>(c.x.size()));
  FitWorkspace work;
  const StepResult step = Step(fit, c.data(), work, 1);
  EXPECT_FALSE(step.ok());
  EXPECT_NE(step.status, StepStatus::kSingularSystem);
  EXPECT_NE(step.message, "LM matrix singular");
  EXPECT_FALSE(step.message.empty());
  EXPECT_EQ(step.message, NumericErrorState().message);
}

TEST_F(LevenbergMarquardt, UnusableYErrorsAreRefusedOnlyWhereTheyCount) {
  Columns c = Decay();
  c.sigma[7] = 0;
  c.sigma[30] = std::nan("");
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    Fit fit = ExponentialFit(kWeightInverseSigmaSquared);
    fit.method = method;
    fit.attach(c.x.data(), static_cast<int>(c.x.size()));
    FitWorkspace work;
    const StepResult step = Step(fit, c.data(), work, 1);
    EXPECT_EQ(step.status, StepStatus::kBadWeights);
    EXPECT_NE(step.message.find("x = 1.75"), std::string::npos) << step.message;
    EXPECT_EQ(fit.iterationCount, 0);
  }
  // Outside the range, or under another weighting, the y errors do not count.
  Fit ranged = ExponentialFit(kWeightInverseSigmaSquared);
  ranged.attach(c.x.data(), static_cast<int>(c.x.size()));
  ranged.setRange(2, 7);
  FitWorkspace work;
  EXPECT_TRUE(Step(ranged, c.data(), work, 1).ok());
  Fit equal = ExponentialFit(kWeightEqual);
  equal.attach(c.x.data(), static_cast<int>(c.x.size()));
  FitWorkspace other;
  EXPECT_NE(RunToConvergence(equal, c.data(), other), Convergence::kNotYet);
}

}  // namespace
}  // namespace zentrel
