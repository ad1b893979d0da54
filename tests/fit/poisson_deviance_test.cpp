// Poisson likelihood: the deviance per point, its linearisation against
// finite differences, zero-count bins, model values at and below 0, and
// the closed forms of a constant mean (its estimate, error, profile).

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/convergence.h"
#include "fit/engine.h"
#include "fit/fit_summary.h"
#include "fit/normal_equations.h"
#include "fit/poisson_deviance.h"
#include "fit/profile_confidence.h"
#include "fit/weights.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct Columns {
  std::vector<double> x, y;
  FitData data() const { return {x, y, {}}; }
};

// Counts of a decay with a background, zero-count bins in the tail.
Columns Counts() {
  const double y[] = {97, 71, 60, 41, 33, 22, 19, 11, 9, 8, 4, 6, 2, 3, 0, 1, 2, 0, 0, 1};
  Columns c;
  for (int i = 0; i < 20; ++i) c.x.push_back(i), c.y.push_back(y[i]);
  return c;
}

// y0 + a0 exp(-x/t0) with x0 held at 0.
Fit PoissonFit(double y0, double a0, double t0) {
  Fit fit;
  SelectModel(fit, "Exponential", 1);
  fit.method = kMethodLevenbergMarquardt;
  fit.weighting = kWeightPoisson;
  fit.params[0] = y0, fit.params[2] = a0, fit.params[3] = t0;
  fit.freeFlags[1] = 0;
  fit.fitStart = 0, fit.fitEnd = 1e9;
  return fit;
}

// A constant mean: the exponential's amplitude and time held.
Fit ConstantFit(double mean) {
  Fit fit = PoissonFit(mean, 0, 1);
  fit.freeFlags[2] = fit.freeFlags[3] = 0;
  return fit;
}

Convergence RunToConvergence(Fit& fit, const FitData& data, FitWorkspace& work, std::string* failure = nullptr) {
  for (int i = 0; i < 2000; ++i) {
    const StepResult step = Step(fit, data, work, 1);
    if (!step.ok()) {
      if (failure != nullptr) *failure = step.message;
      return Convergence::kNotYet;
    }
    if (fit.method != kMethodLevenbergMarquardt) {
      if (work.gridless.settledSweeps >= 3) return Convergence::kParameterStep;
      continue;
    }
    if (Convergence c = LevenbergMarquardtConvergence(work.lm); c != Convergence::kNotYet) return c;
  }
  return Convergence::kNotYet;
}

class PoissonLikelihood : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }
};

TEST_F(PoissonLikelihood, PointTerms) {
  struct Case {
    double y, f, deviance, slope, weight;
    bool finite;
  };
  const Case cases[] = {
      {4, 4, 0, 0, 0.25, true},
      {4, 2, 2 * (2 - 4 + 4 * std::log(2.0)), -1, 0.5, true},
      {1, 3, 2 * (3 - 1 + std::log(1.0 / 3)), 1 - 1.0 / 3, 1.0 / 3, true},
      {0, 3, 6, 1, 1.0 / 3, true},  // y ln(y/f) is exactly 0
      {0, 0, 0, 1, 0, true},        // no counts where none are expected
      {2.5, 1e-300, 2 * (1e-300 - 2.5 + 2.5 * (std::log(2.5) + 300 * std::log(10.0))), 1 - 2.5e300, 1e300, true},
      {0, -1e-12, kInf, 0, 0, false},  // no Poisson mean is negative
      {3, 0, kInf, 0, 0, false},       // counts where none can be
      {3, -2, kInf, 0, 0, false},
  };
  for (const Case& c : cases) {
    const PoissonTerm t = PoissonPointTerm(c.y, c.f);
    EXPECT_EQ(t.finite, c.finite) << c.y << " " << c.f;
    if (!c.finite) {
      EXPECT_EQ(t.deviance, kInf);
      continue;
    }
    EXPECT_NEAR(t.deviance, c.deviance, 1e-12 * std::max(1.0, std::fabs(c.deviance))) << c.y << " " << c.f;
    EXPECT_DOUBLE_EQ(t.slope, c.slope) << c.y << " " << c.f;
    EXPECT_DOUBLE_EQ(t.weight, c.weight) << c.y << " " << c.f;
  }
}

TEST_F(PoissonLikelihood, LinearisationIsTheDevianceGradientAndFisherInformation) {
  const Columns columns = Counts();
  const FitData data = columns.data();
  Fit fit = PoissonFit(1.5, 90, 4);
  FitModel model(fit, data);
  const std::vector<int> freeIndex = {0, 2, 3};
  std::array<double, kMaxFitParameters> p = fit.params;
  std::vector<double> curvature, gradient;
  const Linearisation at = Linearise(model.scope(), p.data(), freeIndex, curvature, gradient);
  ASSERT_TRUE(at.usable);
  const double deviance = ChiSquare(model.scope(), fit.params.data());
  EXPECT_DOUBLE_EQ(at.chiSquare, deviance);

  // Independently: the deviance summed by hand, its gradient by central
  // differences, the Fisher information from differences of the model.
  std::vector<double> f;
  for (double x : columns.x) f.push_back(ModelValue(model.scope(), x, fit.params.data()));
  EXPECT_NEAR(PoissonDeviance(columns.y, f), deviance, 1e-12 * deviance);
  auto shifted = [&](int index, double h) {
    std::array<double, kMaxFitParameters> q = fit.params;
    q[static_cast<size_t>(index)] += h;
    return q;
  };
  for (size_t j = 0; j < freeIndex.size(); ++j) {
    const double h = 1e-6 * std::max(1.0, std::fabs(fit.params[static_cast<size_t>(freeIndex[j])]));
    const auto up = shifted(freeIndex[j], h), down = shifted(freeIndex[j], -h);
    const double slope = (ChiSquare(model.scope(), up.data()) - ChiSquare(model.scope(), down.data())) / (2 * h);
    // The engine keeps minus half the gradient.
    EXPECT_NEAR(-2 * gradient[j], slope, 1e-6 * std::max(1.0, std::fabs(slope))) << j;
    for (size_t k = 0; k < freeIndex.size(); ++k) {
      const double hk = 1e-6 * std::max(1.0, std::fabs(fit.params[static_cast<size_t>(freeIndex[k])]));
      const auto upK = shifted(freeIndex[k], hk), downK = shifted(freeIndex[k], -hk);
      double fisher = 0;
      for (size_t i = 0; i < columns.x.size(); ++i) {
        const double x = columns.x[i];
        const double dj = (ModelValue(model.scope(), x, up.data()) - ModelValue(model.scope(), x, down.data())) / (2 * h);
        const double dk =
            (ModelValue(model.scope(), x, upK.data()) - ModelValue(model.scope(), x, downK.data())) / (2 * hk);
        fisher += dj * dk / f[i];
      }
      EXPECT_NEAR(curvature[j * 3 + k], fisher, 1e-6 * std::fabs(fisher)) << j << k;
    }
  }

  // At the optimum the gradient vanishes: what is reported is minimised.
  FitWorkspace work;
  ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet);
  p = fit.params;
  Linearise(model.scope(), p.data(), freeIndex, curvature, gradient);
  for (size_t j = 0; j < 3; ++j) EXPECT_LT(std::fabs(gradient[j]) / std::sqrt(curvature[j * 3 + j]), 1e-7) << j;
}

TEST_F(PoissonLikelihood, AConstantMeanHasItsClosedForms) {
  // The estimate is the mean count, its error sqrt(mean/N) from the Fisher
  // information (not scaled by the residual variance), its deviance
  // 2 Σ y ln(y/mean), its profile D(m) − D(mean) = 2N (m − mean − mean ln(m/mean)).
  const Columns columns = Counts();
  const FitData data = columns.data();
  double mean = 0;
  for (double y : columns.y) mean += y;
  const double n = static_cast<double>(columns.y.size());
  mean /= n;
  double deviance = 0;
  for (double y : columns.y) deviance += y > 0 ? 2 * y * std::log(y / mean) : 0;
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    Fit fit = ConstantFit(5);
    fit.method = method;
    FitWorkspace work;
    ASSERT_NE(RunToConvergence(fit, data, work), Convergence::kNotYet) << method;
    EXPECT_NEAR(fit.params[0], mean, 1e-7 * mean) << method;
    EXPECT_NEAR(fit.chiSquare, deviance, 1e-9 * deviance) << method;
  }
  Fit fit = ConstantFit(mean);
  const std::optional<FitUncertainties> errors = ComputeUncertainties(fit, data);
  ASSERT_TRUE(errors);
  EXPECT_NEAR(*errors->errors[0], std::sqrt(mean / n), 1e-12);

  const ProfileConfidence profile = ProfileConfidenceIntervals(fit, data, {.level = 0.95});
  ASSERT_TRUE(profile.ok()) << profile.error;
  EXPECT_FALSE(profile.scaled);
  ASSERT_EQ(profile.intervals.size(), 1u);
  for (const IntervalEnd& end : {profile.intervals[0].lower, profile.intervals[0].upper}) {
    ASSERT_EQ(end.kind, IntervalEnd::Kind::kFound);
    const double m = end.value;
    EXPECT_NEAR(2 * n * (m - mean - mean * std::log(m / mean)), profile.deltaChiSquare, 1e-5);
  }
  EXPECT_GT(profile.intervals[0].upper.value - mean, mean - profile.intervals[0].lower.value)
      << "a Poisson mean's interval leans upward";

  const std::optional<FitSummary> summary = SummariseFit(fit, data);
  ASSERT_TRUE(summary);
  EXPECT_TRUE(summary->absoluteWeights);
  EXPECT_NEAR(summary->goodness.chiSquare, deviance, 1e-9 * deviance);
  EXPECT_NEAR(summary->goodness.aic, deviance + 2, 1e-9 * deviance);
  EXPECT_NEAR(summary->goodness.bic, deviance + std::log(n), 1e-9 * deviance);
  // The constant mean is the null model itself.
  EXPECT_NEAR(summary->goodness.rSquared, 0, 1e-12);
}

TEST_F(PoissonLikelihood, ModelValuesAtOrBelowZeroNeverGiveNumbersThatAreNot) {
  // The counts end in empty bins: the best background lies on the edge where
  // the model reaches 0 at the last one. Trials beyond it are rejected as
  // worse, and the run still converges.
  Columns columns;
  const double y[] = {60, 22, 8, 3, 1, 0, 0, 0, 0, 0};
  for (int i = 0; i < 10; ++i) columns.x.push_back(i), columns.y.push_back(y[i]);
  const FitData data = columns.data();
  Fit fit = PoissonFit(0.5, 60, 1);
  FitWorkspace work;
  std::string failure;
  EXPECT_NE(RunToConvergence(fit, data, work, &failure), Convergence::kNotYet) << failure;
  for (int i : {0, 2, 3}) EXPECT_TRUE(std::isfinite(fit.params[static_cast<size_t>(i)])) << i;
  EXPECT_TRUE(std::isfinite(fit.chiSquare));
  FitModel model(fit, data);
  for (size_t i = 0; i < columns.x.size(); ++i) {
    const double f = ModelValue(model.scope(), columns.x[i], fit.params.data());
    EXPECT_GE(f, 0) << i;
    if (columns.y[i] > 0) {
      EXPECT_GT(f, 0) << i;
    }
  }
  EXPECT_LT(fit.params[0], 0) << "the empty tail pulls the background below 0";

  // Starting where a point with counts has a model value of 0 is refused
  // with the point named, by either method.
  for (int method : {kMethodLevenbergMarquardt, kMethodGridless}) {
    ClearNumericError();
    Fit outside = PoissonFit(-100, 60, 1);
    outside.method = method;
    FitWorkspace fresh;
    const StepResult step = Step(outside, data, fresh, 1);
    EXPECT_FALSE(step.ok()) << method;
    EXPECT_NE(step.message.find("Poisson likelihood needs a positive model value"), std::string::npos)
        << step.message;
  }
}

TEST_F(PoissonLikelihood, CountsMustBeZeroOrMore) {
  Columns columns = Counts();
  Fit fit = PoissonFit(1, 90, 4);
  EXPECT_EQ(WeightingProblem(fit, columns.data()), "");
  for (double bad : {-1.0, std::nan("")}) {
    columns.y[7] = bad;
    const std::string problem = WeightingProblem(fit, columns.data());
    EXPECT_NE(problem.find("Poisson likelihood needs counts of 0 or more"), std::string::npos) << problem;
    EXPECT_NE(problem.find("x = 7"), std::string::npos) << problem;
    FitWorkspace work;
    EXPECT_EQ(Step(fit, columns.data(), work, 1).status, StepStatus::kBadWeights);
    // Outside the range it does not matter.
    Fit early = PoissonFit(1, 90, 4);
    early.fitEnd = 6;
    EXPECT_EQ(WeightingProblem(early, columns.data()), "");
  }
}

}  // namespace
}  // namespace zentrel
