// The Fit command and the fitting dialog on sets whose x are not ascending:
// the new fit's range is the set's smallest to largest x, idle iteration
// fits every point, and the set keeps the order it was stored in.

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/fit_dialog.h"
#include "app/fit_iteration.h"
#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;

constexpr int kPoints = 20;

class UnorderedFitDialog : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }

  // y = 3 exp(-x/2) + 0.5 (slightly rough) at x = 0.5 k, stored as
  // sample order(i) at point i.
  template <typename Order>
  Data_Set& AddDecay(const std::string& name, Order order) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (int i = 0; i < kPoints; ++i) {
      const int k = order(i);
      set->SetValue(0, i, 0.5 * k);
      set->SetValue(1, i, 3 * std::exp(-0.25 * k) + 0.5 + 0.01 * std::cos(5.0 * k));
    }
    return doc.AppendSet(std::move(set));
  }

  // Fit on set `index` through the command and the dialog: Levenberg-
  // Marquardt (or Gridless) from a0 = t0 = 1 with x0 held, iterated.
  Fit& StartFit(int index, int method) {
    ui.pickAnswers.push_back(index);
    Dispatch(doc, ui, Cmd::Fit);
    Fit& fit = *doc.sets[static_cast<size_t>(index)]->fits.back();
    FitDialogModel& dialog = FitDialogOf(doc);
    dialog.paramTexts[2] = "1";
    dialog.applyParameterRow(2);
    dialog.paramTexts[3] = "1";
    dialog.applyParameterRow(3);
    dialog.paramChecks[1] = false;
    dialog.applyParameterRow(1);
    dialog.methodChanged(method);
    dialog.toggleIterate();
    return fit;
  }

  CZentrelDoc doc;
  FakeUi ui;
};

class UnorderedFitDialogMethod : public UnorderedFitDialog, public ::testing::WithParamInterface<int> {};

TEST_P(UnorderedFitDialogMethod, ShuffledAndDescendingSetsFitAsTheSortedOne) {
  const int method = GetParam();
  {
    AddDecay("sorted", [](int i) { return i; });
    Data_Set& shuffled = AddDecay("shuffled", [](int i) { return (i * 7 + 3) % kPoints; });
    Data_Set& descending = AddDecay("descending", [](int i) { return kPoints - 1 - i; });
    const double firstX = shuffled.GetValue(0, 0);
    Fit& sorted = StartFit(0, method);
    Fit& fromShuffled = StartFit(1, method);
    Fit& fromDescending = StartFit(2, method);
    for (Fit* fit : {&fromShuffled, &fromDescending}) {
      EXPECT_EQ(fit->fitStart, 0.0);
      EXPECT_EQ(fit->fitEnd, 9.5);
    }
    for (int pass = 0; pass < 40; ++pass) IterateFitsOnce(doc, ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_NEAR(sorted.params[3], 2.0, 0.05);
    EXPECT_GT(sorted.chiSquare, 0);
    for (Fit* fit : {&fromShuffled, &fromDescending}) {
      EXPECT_EQ(fit->iterationCount, sorted.iterationCount);
      EXPECT_EQ(fit->params, sorted.params);
      EXPECT_EQ(fit->chiSquare, sorted.chiSquare);
    }
    // The dialog's standard errors: the same as the sorted set's.
    FitDialogModel& dialog = FitDialogOf(doc);
    std::vector<std::string> errors[3];
    Fit* fits[3] = {&sorted, &fromShuffled, &fromDescending};
    for (int k = 0; k < 3; ++k) {
      fits[k]->iterating = 0;
      dialog.openFit(*fits[k]);
      errors[k].assign(dialog.errorTexts.begin(), dialog.errorTexts.end());
    }
    EXPECT_FALSE(errors[0][3].empty());
    EXPECT_EQ(errors[1], errors[0]);
    EXPECT_EQ(errors[2], errors[0]);
    EXPECT_EQ(shuffled.GetValue(0, 0), firstX);  // the set is not reordered
    EXPECT_EQ(descending.GetValue(0, 0), 9.5);
  }
}

INSTANTIATE_TEST_SUITE_P(Methods, UnorderedFitDialogMethod,
                         ::testing::Values(kMethodLevenbergMarquardt, kMethodGridless),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return std::string(param.param == kMethodLevenbergMarquardt ? "LevenbergMarquardt"
                                                                                      : "Gridless");
                         });

TEST_F(UnorderedFitDialog, ARangeWithoutPointsSaysSo) {
  AddDecay("descending", [](int i) { return kPoints - 1 - i; });
  Fit& fit = StartFit(0, kMethodGridless);
  fit.setRange(100, 200);
  EXPECT_FALSE(IterateFitsOnce(doc, ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "No point of the set lies in the fit range 100..200.");
  EXPECT_EQ(fit.params[2], 1.0);  // nothing moved
  // No chi-square of a step that never ran.
  EXPECT_EQ(FitDialogOf(doc).chiSquareText, "failed");
  EXPECT_EQ(FitDialogOf(doc).iterateCaption, "Iterate");
}

}  // namespace
}  // namespace zentrel
