#include "app/fit_iteration.h"

#include <cmath>

#include <gtest/gtest.h>

#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class FitIteration : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }
  // y = 3 exp(-x/2) + 0.5 with an exponential fit starting elsewhere.
  Fit& AddDecayWithFit() {
    auto set = std::make_unique<Data_Set>();
    for (int i = 0; i < 20; ++i) {
      set->SetValue(0, i, 0.5 * i);
      set->SetValue(1, i, 3 * std::exp(-0.25 * i) + 0.5);
    }
    Data_Set& s = doc.AppendSet(std::move(set));
    auto fit = std::make_unique<Fit>();
    fit->params = {};
    fit->params[2] = 1;
    fit->params[3] = 1;
    fit->method = kMethodLevenbergMarquardt;
    fit->attach(s.ColumnData(0), s.DrawablePointCount());
    s.fits.push_back(std::move(fit));
    return *s.fits.back();
  }
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(FitIteration, EachPassStepsEveryIteratingFitOnce) {
  Fit& a = AddDecayWithFit();
  Fit& b = AddDecayWithFit();
  Fit& idle = AddDecayWithFit();
  a.iterating = b.iterating = 1;
  EXPECT_TRUE(AnyFitIterating(doc));
  EXPECT_TRUE(IterateFitsOnce(doc, ui));
  const double firstChi = a.chiSquare;
  for (int pass = 0; pass < 5; ++pass) IterateFitsOnce(doc, ui);
  EXPECT_EQ(a.iterationCount, b.iterationCount);
  EXPECT_GT(a.iterationCount, 0);
  EXPECT_EQ(idle.iterationCount, 0);
  EXPECT_LT(a.chiSquare, firstChi);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FitIteration, APausedRunGoesOnWhereItStopped) {
  Fit& steady = AddDecayWithFit();
  Fit& paused = AddDecayWithFit();
  steady.iterating = paused.iterating = 1;
  for (int pass = 0; pass < 3; ++pass) IterateFitsOnce(doc, ui);
  paused.iterating = 0;
  IterateFitsOnce(doc, ui);
  paused.iterating = 1;
  steady.iterating = 0;
  IterateFitsOnce(doc, ui);
  steady.iterating = 1;
  for (int pass = 0; pass < 3; ++pass) IterateFitsOnce(doc, ui);
  // Both made seven steps from the same damping, so they agree exactly.
  EXPECT_EQ(paused.iterationCount, 7);
  EXPECT_EQ(steady.iterationCount, 7);
  EXPECT_EQ(paused.params, steady.params);
  EXPECT_EQ(paused.chiSquare, steady.chiSquare);
}

TEST_F(FitIteration, AFailedStepIsShownOnceAndEndsOnlyThatFit) {
  Fit& good = AddDecayWithFit();
  Fit& broken = AddDecayWithFit();
  doc.sets[1]->KeepPoints({});  // no points to fit
  broken.iterating = 1;
  good.iterating = 1;
  EXPECT_TRUE(IterateFitsOnce(doc, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_FALSE(ui.messages[0].empty());
  EXPECT_FALSE(broken.iterating);
  EXPECT_EQ(broken.errorCode, 0);
  EXPECT_TRUE(good.iterating);
  good.iterating = 0;
  EXPECT_FALSE(IterateFitsOnce(doc, ui));
  EXPECT_FALSE(AnyFitIterating(doc));
}

}  // namespace
}  // namespace zentrel
