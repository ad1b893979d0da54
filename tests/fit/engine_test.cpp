#include "fit/engine.h"

#include <cmath>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/fit_parameters.h"
#include "fit/model.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct Points {
  std::vector<double> x, y, sigma;
};

// y = 3 exp(-x/2) + 0.5 on x = 0, 0.5, ..., with a small deterministic wobble.
Points DecayPoints(int n) {
  Points points;
  for (int i = 0; i < n; ++i) {
    const double x = 0.5 * i;
    points.x.push_back(x);
    points.y.push_back(3 * std::exp(-x / 2) + 0.5 + 0.001 * std::sin(7.0 * i));
  }
  return points;
}

// Each fit of a test is fitted to its points with a workspace of its own,
// as a fit run would.
class Engine : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }
  void Bind(Fit& fit, const Points& points, bool withSigma = false) {
    Run& run = runs_[&fit];
    run.data = {points.x, points.y, withSigma ? std::span<const double>(points.sigma) : std::span<const double>()};
    fit.attach(points.x.data(), static_cast<int>(points.x.size()));
  }
  FitWorkspace& Workspace(Fit& fit) { return runs_[&fit].work; }
  double ChiSquare(Fit& fit, const double* p) {
    Run& run = runs_[&fit];
    ModelScope scope{fit, run.data, run.work.spline};
    return zentrel::ChiSquare(scope, p);
  }
  StepResult Step(Fit& fit, int iterations) {
    return zentrel::Step(fit, runs_[&fit].data, runs_[&fit].work, iterations);
  }
  StepResult GridlessStep(Fit& fit, int iterations) {
    return zentrel::GridlessStep(fit, runs_[&fit].data, runs_[&fit].work, iterations);
  }
  std::optional<FitUncertainties> ComputeUncertainties(Fit& fit) {
    return zentrel::ComputeUncertainties(fit, runs_[&fit].data);
  }

 private:
  struct Run {
    FitData data;
    FitWorkspace work;
  };
  std::map<const Fit*, Run> runs_;
};

TEST_F(Engine, ChiSquareWeightings) {
  Points points{{0, 1, 2}, {1, 2, 4}, {0.5, 1, 2}};
  Fit fit;
  fit.params = {};
  fit.params[0] = 1;  // f = 1 + 0 * exp(-x): the constant 1
  fit.params[3] = 1;
  Bind(fit, points, true);
  struct Case {
    int weighting;
    double expected;
  };
  const Case cases[] = {{kWeightEqual, 0 + 1 + 9},
                        {kWeightInverseY, 0 + 0.25 + 9.0 / 16},
                        {kWeightInverseSigmaSquared, 0 + 1 + 9.0 / 4},
                        {kWeightInverseSqrtY, 0 + 1 + 9},
                        {7, 0}};
  for (const auto& c : cases) {
    fit.weighting = c.weighting;
    EXPECT_DOUBLE_EQ(ChiSquare(fit, fit.params.data()), c.expected) << "weighting " << c.weighting;
    EXPECT_DOUBLE_EQ(fit.chiSquare, c.expected);
  }
  // Without an error column 1/Sigma^2 is Equal.
  Bind(fit, points, false);
  fit.weighting = kWeightInverseSigmaSquared;
  EXPECT_DOUBLE_EQ(ChiSquare(fit, fit.params.data()), 10);
  // 1/Sqrt(Y) skips points where the model is exactly 0.
  fit.params[0] = 0;
  fit.weighting = kWeightInverseSqrtY;
  EXPECT_EQ(ChiSquare(fit, fit.params.data()), 0);
}

TEST_F(Engine, ZeroYWithInverseYOverflowsOnlyInsideTheRange) {
  Points points{{0, 1, 2}, {0, 2, 4}, {}};
  Fit fit;
  fit.params[3] = 1;
  fit.weighting = kWeightInverseY;
  Bind(fit, points);
  fit.setRange(1, 2);
  EXPECT_GT(ChiSquare(fit, fit.params.data()), 0);
  EXPECT_EQ(NumericErrorState().code, 0);
  fit.setRange(0, 2);
  EXPECT_EQ(ChiSquare(fit, fit.params.data()), 1.0);
  EXPECT_EQ(NumericErrorState().code, kOverflowError);
  EXPECT_EQ(NumericErrorState().message, "Chi Squared overflow!");
  fit.method = kMethodLevenbergMarquardt;
  EXPECT_FALSE(Step(fit, 1).ok());
}

TEST_F(Engine, LevenbergMarquardtConvergesOnADecay) {
  const Points points = DecayPoints(40);
  Fit fit;
  fit.method = kMethodLevenbergMarquardt;
  fit.params[0] = 0.1, fit.params[2] = 1, fit.params[3] = 1;
  fit.freeFlags[1] = 0;  // x0 held
  Bind(fit, points);
  for (int i = 0; i < 60; ++i) ASSERT_TRUE(Step(fit, 1).ok()) << NumericErrorState().message;
  EXPECT_NEAR(fit.params[2], 3, 2e-3);
  EXPECT_NEAR(fit.params[3], 2, 2e-3);
  EXPECT_NEAR(fit.params[0], 0.5, 2e-3);
  EXPECT_EQ(fit.params[1], 0);
  EXPECT_EQ(fit.iterationCount, 60);
  EXPECT_LT(fit.chiSquare, 1e-4);

  auto errors = ComputeUncertainties(fit);
  ASSERT_TRUE(errors.has_value());
  EXPECT_FALSE(errors->errors[1].has_value());
  ASSERT_TRUE(errors->errors[2].has_value());
  EXPECT_GT(*errors->errors[2], 0);
  EXPECT_LT(*errors->errors[2], 0.01);
  EXPECT_EQ(errors->points, 40);
}

TEST_F(Engine, RejectedStepGrowsLambdaAndKeepsParameters) {
  const Points points = DecayPoints(10);
  Fit fit;
  fit.method = kMethodLevenbergMarquardt;
  fit.params[0] = 1, fit.params[2] = 1, fit.params[3] = 1;
  fit.freeFlags.fill(0);  // an empty system: the trial is the current vector
  Bind(fit, points);
  const auto before = fit.params;
  ASSERT_TRUE(Step(fit, 1).ok());
  const double first = Workspace(fit).lm.lambda;
  EXPECT_GT(first, 1e-3);
  ASSERT_TRUE(Step(fit, 1).ok());
  EXPECT_GT(Workspace(fit).lm.lambda, first);
  EXPECT_EQ(fit.params, before);
}

TEST_F(Engine, LevenbergMarquardtPointRange) {
  const Points points = DecayPoints(10);  // x = 0 .. 4.5
  Fit fit;
  fit.method = kMethodLevenbergMarquardt;
  fit.params[2] = 1, fit.params[3] = 1;
  Bind(fit, points);
  fit.setRange(1.2, 1.4);  // no point inside
  EXPECT_EQ(Step(fit, 1).status, StepStatus::kNoPoints);
  EXPECT_EQ(fit.iterationCount, 0);
  fit.freeFlags.fill(0);
  fit.freeFlags[0] = 1;
  fit.setRange(1.0, 1.0);  // a single point is a valid range
  EXPECT_TRUE(Step(fit, 1).ok()) << NumericErrorState().message;
  fit.setRange(10, 20);  // beyond every point
  EXPECT_EQ(Step(fit, 1).status, StepStatus::kNoPoints);
}

TEST_F(Engine, SingularSystemIsReported) {
  const Points points = DecayPoints(10);
  Fit fit;
  fit.method = kMethodLevenbergMarquardt;
  // a0 = 0 makes the t0 derivative vanish at every point.
  fit.params[0] = 1, fit.params[2] = 0, fit.params[3] = 1;
  fit.freeFlags[0] = fit.freeFlags[1] = fit.freeFlags[2] = 0;
  Bind(fit, points);
  EXPECT_EQ(Step(fit, 1).status, StepStatus::kSingularSystem);
  EXPECT_EQ(fit.errorCode, 10);
  EXPECT_EQ(NumericErrorState().code, kLmSingularError);
  EXPECT_EQ(NumericErrorState().message, "LM matrix singular");
}

TEST_F(Engine, StepResultNamesEachFailure) {
  const Points points = DecayPoints(10);
  Fit good;
  good.method = kMethodLevenbergMarquardt;
  good.params[0] = 0.1, good.params[2] = 1, good.params[3] = 1;
  Bind(good, points);
  const StepResult success = Step(good, 1);
  ASSERT_TRUE(success.ok());
  EXPECT_EQ(success.chiSquare, good.chiSquare);
  EXPECT_GT(success.chiSquare, 0);
  EXPECT_EQ(success.message, "");

  Fit singular;
  singular.method = kMethodLevenbergMarquardt;
  singular.params[0] = 1, singular.params[3] = 1;  // a0 = 0: no t0 slope anywhere
  singular.freeFlags[0] = singular.freeFlags[1] = singular.freeFlags[2] = 0;
  Bind(singular, points);
  const StepResult unsolvable = Step(singular, 1);
  EXPECT_EQ(unsolvable.status, StepStatus::kSingularSystem);
  EXPECT_EQ(unsolvable.message, "LM matrix singular");
  ClearNumericError();

  Fit negativeBase;  // (x - 10)^0.5 for every x of the data
  SelectModel(negativeBase, "Power Law", 1);
  negativeBase.params[2] = 1, negativeBase.params[3] = 10, negativeBase.params[4] = 0.5;
  Bind(negativeBase, points);
  const StepResult domain = Step(negativeBase, 1);
  EXPECT_EQ(domain.status, StepStatus::kMathError);
  EXPECT_EQ(domain.message, NumericErrorState().message);
  EXPECT_FALSE(domain.message.empty());
  ClearNumericError();

  Fit huge;  // exp(1000 x) overflows
  huge.params[2] = 1, huge.params[3] = -0.001;
  Bind(huge, points);
  EXPECT_EQ(Step(huge, 1).status, StepStatus::kOverflow);
  ClearNumericError();

  Fit noFormula;
  noFormula.modelKind = kCustomFunction;
  Bind(noFormula, points);
  const StepResult custom = Step(noFormula, 1);
  EXPECT_EQ(custom.status, StepStatus::kNoFormula);
  EXPECT_EQ(noFormula.errorCode, kNoCustomEvaluatorError);
}

TEST_F(Engine, GridlessSteps) {
  const Points points = DecayPoints(20);
  Fit fit;
  fit.params[0] = 0, fit.params[2] = 2, fit.params[3] = 1.5;
  fit.freeFlags[1] = 0;
  Bind(fit, points);
  ASSERT_TRUE(Step(fit, 1).ok());
  EXPECT_EQ(fit.steps[1], 0);  // held
  const double first = fit.chiSquare;
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(Step(fit, 1).ok());
  EXPECT_LT(fit.chiSquare, first);
  EXPECT_NEAR(fit.params[3], 2, 0.05);
  for (int i = 0; i < 4; ++i) EXPECT_GE(fit.steps[static_cast<size_t>(i)], 0);

  Fit fresh;
  fresh.params[2] = 1, fresh.params[3] = 1;
  Bind(fresh, points);
  ASSERT_TRUE(GridlessStep(fresh, 0).ok());  // steps set up, nothing moved
  EXPECT_EQ(fresh.steps[0], 0.0001);  // a parameter at 0 gets the smallest step
  EXPECT_DOUBLE_EQ(fresh.steps[2], 0.1);

  Fit unbound;
  EXPECT_EQ(GridlessStep(unbound, 1).status, StepStatus::kNoPoints);
}

TEST_F(Engine, SortCovarianceSpreadsTheFreeBlock) {
  std::vector<double> covariance = {1, 2, 0, 2, 3, 0, 0, 0, 0};
  const int freeFlags[] = {1, 0, 1};
  SortCovariance(covariance, 3, freeFlags, 2);
  EXPECT_EQ(covariance, (std::vector<double>{1, 0, 2, 0, 0, 0, 2, 0, 3}));
}

TEST(Catalogue, SelectModelClampsAndComparesExactly) {
  Fit fit;
  EXPECT_EQ(SelectModel(fit, "Polynomial", 20), 15);
  EXPECT_EQ(SelectModel(fit, "MCT powerlaws", 3), 1);
  EXPECT_EQ(SelectModel(fit, "Custom function", 4), 1);
  SelectModel(fit, "Exponential", 2);
  fit.iterationCount = 5;
  EXPECT_EQ(SelectModel(fit, "gaussian", 2), 2);
  EXPECT_EQ(fit.modelKind, kExponential);
  EXPECT_EQ(fit.iterationCount, 5);  // same kind, same order: no restart
  SelectModel(fit, "Gaussian", 2);
  EXPECT_EQ(fit.iterationCount, 0);
}

TEST(Catalogue, ParameterCountsAndNames) {
  EXPECT_EQ(ParameterCountOf(kExponential, 7, 0), 16);
  EXPECT_EQ(ParameterCountOf(kGaussian, 5, 0), 17);
  EXPECT_EQ(ParameterCountOf(kSquaredExpConvDualSided, 6, 0), 16);
  EXPECT_EQ(MaxOrder(kPolynomial), 15);
  EXPECT_EQ(MaxOrder(kCubicSpline), 17);
  EXPECT_EQ(MaxOrder(kCustomFunction), 1);
  EXPECT_EQ(MaxOrder(kSquaredExpConvDualSided), 6);
  Fit fit;
  SelectModel(fit, "Exponential", 2);
  const char* expected[] = {"y0", "x0", "a0", "t0", "a1", "t1"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ParameterName(fit, i), expected[i]);
  EXPECT_EQ(ParameterName(fit, 6), "");
  SelectModel(fit, "Polynomial", 3);
  EXPECT_EQ(ParameterName(fit, 2), "a1");
  EXPECT_EQ(ParameterName(fit, 4), "a3");
  SelectModel(fit, "Gauss plus Exponential convolved with Gaussian", 1);
  EXPECT_EQ(ParameterName(fit, 2), "g amp");
  EXPECT_EQ(ParameterName(fit, 5), "t0");
  SelectModel(fit, "MCT powerlaws", 1);
  EXPECT_EQ(ParameterName(fit, 5), "wmin");
  SelectModel(fit, "Cubic Spline", 1);
  EXPECT_EQ(ParameterName(fit, 1), "x0");
  EXPECT_EQ(ParameterName(fit, 2), "");
}

TEST(Catalogue, EquationTexts) {
  Fit fit;
  SelectModel(fit, "Exponential", 2);
  fit.params = {1, 0.5, 2, 3, 4, 5};
  EXPECT_EQ(EquationText(fit), "2*exp(-(t-0.5)/3)+4*exp(-(t-0.5)/5)+1");
  SelectModel(fit, "Squared Exponential", 1);
  fit.params = {1, 0, 2, 3};
  EXPECT_EQ(EquationText(fit), "(2*exp(-t/3))^2+1");
  SelectModel(fit, "Str. Exp. Squared", 1);
  fit.params = {0, 0, 2, 3, 0.5};
  EXPECT_EQ(EquationText(fit), "(2*exp(-(t/3)^0.5))^2");
  SelectModel(fit, "Exponential convolved with Gaussian", 1);
  fit.params = {0, 0, 0.25, 2, 3};
  EXPECT_EQ(EquationText(fit), "2*exp(-t/3) convolved with gaussain sigma=0.25");
  SelectModel(fit, "Polynomial", 2);
  fit.params = {0, 0, 2, 3};
  EXPECT_EQ(EquationText(fit), "2*t+3*t^2");
  SelectModel(fit, "SquExp Conv DSExp", 2);
  fit.params = {0, 0, 1, 0.5, 2, 3, 4, 5};
  EXPECT_EQ(EquationText(fit), "(2*exp(-t/3)+4*exp(-t/5))^2 conv DSExp(tf=1,tr=0.5)");
}

}  // namespace
}  // namespace zentrel
