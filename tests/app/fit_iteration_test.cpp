#include "app/fit_iteration.h"

#include <cmath>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "case_names.h"
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
  Fit& AddDecayWithFit() { return AddDecayWithFit(doc); }
  static Fit& AddDecayWithFit(CZentrelDoc& target) {
    auto set = std::make_unique<Data_Set>();
    for (int i = 0; i < 20; ++i) {
      set->SetValue(0, i, 0.5 * i);
      set->SetValue(1, i, 3 * std::exp(-0.25 * i) + 0.5);
    }
    Data_Set& s = target.AppendSet(std::move(set));
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

// A pass whose steps ran on worker threads writes back exactly what the
// same pass on one thread does.
TEST_F(FitIteration, StepsOnWorkerThreadsMatchAPassOnOneThread) {
  CZentrelDoc parallelDoc;
  std::vector<Fit*> serial, parallel;
  for (int i = 0; i < 3; ++i) {
    serial.push_back(&AddDecayWithFit(doc));
    parallel.push_back(&AddDecayWithFit(parallelDoc));
    serial.back()->params[3] = parallel.back()->params[3] = 0.5 + i;
  }
  for (Fit* fit : serial) fit->iterating = 1;
  for (Fit* fit : parallel) fit->iterating = 1;
  for (int pass = 0; pass < 6; ++pass) {
    IterateFitsOnce(doc, ui);
    FitStepBatch batch = PrepareFitSteps(parallelDoc);
    ASSERT_EQ(batch.size(), 3u);
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < batch.size(); ++i) workers.emplace_back([&batch, i] { batch.runStep(i); });
    for (auto& worker : workers) worker.join();
    ApplyFitSteps(parallelDoc, ui, batch);
  }
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(serial[i]->iterationCount, 6);
    EXPECT_EQ(parallel[i]->iterationCount, 6);
    EXPECT_EQ(serial[i]->params, parallel[i]->params);
    EXPECT_EQ(serial[i]->chiSquare, parallel[i]->chiSquare);
  }
}

// A set whose columns hold NaN is still the same set from pass to pass.
TEST_F(FitIteration, ANaNInTheColumnsDoesNotLookLikeAnEdit) {
  Fit& fit = AddDecayWithFit();
  doc.sets[0]->SetValue(3, 5, std::nan(""));  // an x error the fit never reads
  fit.iterating = 1;
  for (int pass = 0; pass < 4; ++pass) IterateFitsOnce(doc, ui);
  EXPECT_EQ(fit.iterationCount, 4);
}

// What a person may do while a step runs: each leaves the fit as the person
// made it, and the fit (if still there) steps on from that state.
struct EditDuringStep {
  const char* label;
  std::function<void(CZentrelDoc&, Fit&)> edit;
  bool fitRemains = true;
};

std::string Describe(const EditDuringStep& edit) { return edit.label; }
void PrintTo(const EditDuringStep& edit, std::ostream* out) { *out << Describe(edit); }

class FitEditedDuringStep : public FitIteration, public ::testing::WithParamInterface<EditDuringStep> {};

TEST_P(FitEditedDuringStep, DropsTheStepsResult) {
  Fit& fit = AddDecayWithFit();
  fit.iterating = 1;
  for (int pass = 0; pass < 2; ++pass) IterateFitsOnce(doc, ui);
  const std::uint64_t serial = fit.serial;
  FitStepBatch batch = PrepareFitSteps(doc);
  ASSERT_EQ(batch.size(), 1u);
  batch.runAll();
  GetParam().edit(doc, fit);
  if (!GetParam().fitRemains) {
    EXPECT_FALSE(ApplyFitSteps(doc, ui, batch));
    for (const auto& set : doc.sets)
      for (const auto& kept : set->fits) EXPECT_NE(kept->serial, serial);
    return;
  }
  const auto editedParams = fit.params;
  const int editedCount = fit.iterationCount;
  EXPECT_TRUE(ApplyFitSteps(doc, ui, batch));
  EXPECT_EQ(fit.params, editedParams);
  EXPECT_EQ(fit.iterationCount, editedCount);
  // The next pass starts from the edited fit.
  IterateFitsOnce(doc, ui);
  EXPECT_EQ(fit.iterationCount, editedCount + 1);
  EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Edits, FitEditedDuringStep,
    ::testing::Values(
        EditDuringStep{"ParameterTyped", [](CZentrelDoc&, Fit& fit) { fit.params[2] = 2.5; }},
        EditDuringStep{"ParameterHeld", [](CZentrelDoc&, Fit& fit) { fit.freeFlags[0] = 0; }},
        EditDuringStep{"RangeChanged", [](CZentrelDoc&, Fit& fit) { fit.setRange(1, 8); }},
        EditDuringStep{"PointMoved",
                       [](CZentrelDoc& doc, Fit&) { doc.sets[0]->SetValue(1, 3, doc.sets[0]->GetValue(1, 3) + 0.1); }},
        EditDuringStep{"PointAppended",
                       [](CZentrelDoc& doc, Fit&) {
                         doc.sets[0]->SetValue(0, 20, 10.0);
                         doc.sets[0]->SetValue(1, 20, 0.7);
                       }},
        EditDuringStep{"FitDeleted", [](CZentrelDoc& doc, Fit&) { doc.sets[0]->fits.clear(); }, false},
        EditDuringStep{"SetClosed", [](CZentrelDoc& doc, Fit&) { doc.CloseSet(0); }, false},
        EditDuringStep{"DocumentReplaced", [](CZentrelDoc& doc, Fit&) { doc.sets.clear(); }, false}),
    testing::DescribedCaseName{});

// The set a fit is convolved with is read from a copy: editing or closing
// it while a step runs drops that step, and a later step sees the edit.
TEST_F(FitIteration, AConvolvedFitFollowsItsResponseEditedDuringAStep) {
  Fit& fit = AddDecayWithFit();
  auto response = std::make_unique<Data_Set>();
  for (int i = 0; i < 20; ++i) {
    response->SetValue(0, i, 0.5 * i);
    response->SetValue(1, i, i < 3 ? 1.0 : 0.0);
  }
  Data_Set& source = doc.AppendSet(std::move(response));
  fit.setConvolutionSource(&source);
  fit.iterating = 1;
  for (int pass = 0; pass < 2; ++pass) IterateFitsOnce(doc, ui);
  const auto before = fit.params;
  const int count = fit.iterationCount;
  FitStepBatch batch = PrepareFitSteps(doc);
  batch.runAll();
  source.SetValue(1, 1, 3.0);
  ApplyFitSteps(doc, ui, batch);
  EXPECT_EQ(fit.params, before);
  EXPECT_EQ(fit.iterationCount, count);

  // The fit's run starts afresh on the edited response: it steps exactly
  // as a new fit with its parameters does.
  Data_Set& set = *doc.sets[0];
  set.fits.push_back(std::make_unique<Fit>(fit));
  Fit& twin = *set.fits.back();
  ASSERT_EQ(twin.convolutionSource, &source);
  twin.iterating = 1;
  for (int pass = 0; pass < 3; ++pass) IterateFitsOnce(doc, ui);
  EXPECT_EQ(twin.iterationCount, 3);
  EXPECT_EQ(twin.params, fit.params);
  EXPECT_EQ(twin.chiSquare, fit.chiSquare);
  EXPECT_NE(fit.params, before);
}

}  // namespace
}  // namespace zentrel
