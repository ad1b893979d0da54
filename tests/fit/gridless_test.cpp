// The Gridless search beyond fitting the catalogue (synthetic_fit_test.cpp):
// what a step leaves behind, held parameters, and the model's domain.

#include "fit/gridless.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "fit/catalogue.h"
#include "fit/engine.h"
#include "fit/fit_run.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

struct Columns {
  std::vector<double> x, y;
  FitData data() const { return {x, y, {}}; }
};

// y = 0.5 + 3 exp(-x/2) + 1.5 exp(-x/6) on 0..20: two coupled decays.
Columns TwoDecays() {
  Columns c;
  for (int i = 0; i < 80; ++i) {
    const double x = 0.25 * i;
    c.x.push_back(x);
    c.y.push_back(0.5 + 3 * std::exp(-x / 2) + 1.5 * std::exp(-x / 6));
  }
  return c;
}

Fit TwoDecayFit(const Columns& c) {
  Fit fit;
  SelectModel(fit, "Exponential", 2);
  fit.params = {0.6, 0, 2.5, 2.4, 1.2, 5};
  fit.freeFlags[1] = 0;
  fit.attach(c.x.data(), static_cast<int>(c.x.size()));
  return fit;
}

TEST(Gridless, TheStepsChiSquareIsThatOfTheParametersItLeaves) {
  ClearNumericError();
  const Columns c = TwoDecays();
  Fit fit = TwoDecayFit(c);
  FitWorkspace work;
  for (int i = 0; i < 6; ++i) {
    const StepResult step = GridlessStep(fit, c.data(), work, 1);
    ASSERT_TRUE(step.ok()) << step.message;
    Fit copy(fit);
    copy.attach(c.x.data(), static_cast<int>(c.x.size()));
    SplineCache spline;
    ModelScope scope{copy, c.data(), spline};
    EXPECT_EQ(step.chiSquare, ChiSquare(scope, fit.params.data())) << "sweep " << i;
    EXPECT_EQ(step.chiSquare, fit.chiSquare);
  }
}

TEST(Gridless, ParametersHeldDuringARunStayPut) {
  ClearNumericError();
  const Columns c = TwoDecays();
  Fit fit = TwoDecayFit(c);
  FitWorkspace work;
  ASSERT_TRUE(GridlessStep(fit, c.data(), work, 4).ok());
  ASSERT_FALSE(work.gridless.directions.empty());  // the sweeps moved a0 among others
  fit.freeFlags[2] = 0;  // held from now on, without a restart
  const double a0 = fit.params[2];
  ASSERT_TRUE(GridlessStep(fit, c.data(), work, 4).ok());
  EXPECT_EQ(fit.params[2], a0);
  EXPECT_EQ(fit.steps[2], 0);
}

TEST(Gridless, ARestartForgetsTheDirections) {
  ClearNumericError();
  const Columns c = TwoDecays();
  Fit fit = TwoDecayFit(c);
  FitWorkspace work;
  ASSERT_TRUE(GridlessStep(fit, c.data(), work, 3).ok());
  ASSERT_FALSE(work.gridless.directions.empty());
  fit.restart();
  PrepareGridless(fit, work.gridless);
  EXPECT_TRUE(work.gridless.directions.empty());
  EXPECT_EQ(work.gridless.settledSweeps, 0);
  EXPECT_DOUBLE_EQ(fit.steps[3], 0.1 * fit.params[3]);
}

// y = 2 (x + 0.05)^1.5 from x = 0: the walk towards the truth runs past
// off = 0, where the first point's base turns negative. That is a point to
// step back from, not the end of the fit.
TEST(Gridless, StepsBackFromPointsTheModelCannotTake) {
  ClearNumericError();
  Data_Set set;
  for (int i = 0; i < 60; ++i) {
    const double x = 0.1 * i;
    set.SetValue(0, i, x);
    set.SetValue(1, i, 2 * std::pow(x + 0.05, 1.5));
  }
  FitRequest request;
  request.model = "Power Law";
  request.method = kMethodGridless;
  request.params = {0, 0, 1.5, -1, 1.5};
  request.hold = {0, 1, 4};
  request.maxIterations = 300;
  const FitRunResult result = RunFit(set, request);
  ASSERT_TRUE(result.error.empty()) << result.error;
  EXPECT_TRUE(result.converged);
  EXPECT_NEAR(result.params[2], 2, 1e-8);
  EXPECT_NEAR(result.params[3], -0.05, 1e-9);
}

// A start from which no point but the start itself can be evaluated is
// an honest failure, as before.
TEST(Gridless, AStartOutsideTheDomainFails) {
  ClearNumericError();
  const Columns c = TwoDecays();
  Fit fit;
  SelectModel(fit, "Power Law", 1);
  fit.params = {0, 0, 1, 30, 0.5};  // (x - 30)^0.5 for x <= 20
  fit.attach(c.x.data(), static_cast<int>(c.x.size()));
  FitWorkspace work;
  EXPECT_EQ(GridlessStep(fit, c.data(), work, 1).status, StepStatus::kMathError);
  ClearNumericError();
}

}  // namespace
}  // namespace zentrel
