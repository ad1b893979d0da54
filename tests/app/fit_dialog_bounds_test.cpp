// The Fitting dialog's bound fields: they show the fit's intervals (empty
// for none), take typed ones when they are intervals and refuse the rest,
// move a value inside, and mark a result that ends on a bound.

#include <cmath>
#include <memory>
#include <string>

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

class FitDialogBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearNumericError();
    // y = 3 exp(-x/2) + 0.5 at x = 0, 0.5, ..., 9.5.
    auto set = std::make_unique<Data_Set>();
    set->name = "decay";
    for (int i = 0; i < 20; ++i) {
      set->SetValue(0, i, 0.5 * i);
      set->SetValue(1, i, 3 * std::exp(-0.25 * i) + 0.5);
    }
    doc.AppendSet(std::move(set));
    Dispatch(doc, ui, Cmd::Fit);
    fit = doc.sets[0]->fits.back().get();
  }
  void TearDown() override { ClearNumericError(); }
  FitDialogModel& dialog() { return FitDialogOf(doc); }
  std::string SetRow(int row, const std::string& lower, const std::string& upper) {
    dialog().lowerTexts[static_cast<size_t>(row)] = lower;
    dialog().upperTexts[static_cast<size_t>(row)] = upper;
    return dialog().applyBoundsRow(row);
  }

  CZentrelDoc doc;
  FakeUi ui;
  Fit* fit = nullptr;
};

TEST_F(FitDialogBounds, TypedIntervalsAreTakenAndTheRestRefused) {
  EXPECT_EQ(dialog().lowerTexts[3], "");  // none yet
  EXPECT_EQ(dialog().upperTexts[3], "");
  struct Case {
    const char* lower;
    const char* upper;
    bool taken;
    double lo, hi;  // the fit's interval afterwards
  };
  const Case cases[] = {
      {"0", "10", true, 0, 10},
      {"", "4", true, -HUGE_VAL, 4},        // empty: no bound on that side
      {"-inf", "inf", true, -HUGE_VAL, HUGE_VAL},
      {"  ", "2.5e1", true, -HUGE_VAL, 25},
      {"5", "1", false, -HUGE_VAL, 25},     // refused: the interval stays
      {"abc", "1", false, -HUGE_VAL, 25},
      {"nan", "", false, -HUGE_VAL, 25},
      {"inf", "", false, -HUGE_VAL, 25},
      {"2", "2", true, 2, 2},
  };
  for (const Case& c : cases) {
    const std::string problem = SetRow(3, c.lower, c.upper);
    EXPECT_EQ(problem.empty(), c.taken) << c.lower << ".." << c.upper << ": " << problem;
    if (!c.taken) {
      EXPECT_NE(problem.find("t0"), std::string::npos) << problem;
    }
    EXPECT_EQ(fit->lowerBounds[3], c.lo) << c.lower << ".." << c.upper;
    EXPECT_EQ(fit->upperBounds[3], c.hi) << c.lower << ".." << c.upper;
  }
  // The fields show the fit's interval again, as %g, empty for an infinity.
  SetRow(3, "1e-3", "");
  EXPECT_EQ(dialog().lowerTexts[3], "0.001");
  EXPECT_EQ(dialog().upperTexts[3], "");
}

TEST_F(FitDialogBounds, ValuesOutsideMoveInsideWhetherTypedBeforeOrAfter) {
  dialog().paramTexts[3] = "7";
  dialog().applyParameterRow(3);
  ASSERT_TRUE(SetRow(3, "0.5", "4").empty());
  EXPECT_EQ(fit->params[3], 4);
  EXPECT_EQ(dialog().paramTexts[3], "4");
  dialog().paramTexts[3] = "-2";
  dialog().applyParameterRow(3);
  EXPECT_EQ(fit->params[3], 0.5);
  EXPECT_EQ(dialog().paramTexts[3], "0.5");
  // Another fit opened shows its own (no) bounds.
  Dispatch(doc, ui, Cmd::Fit);
  EXPECT_EQ(dialog().lowerTexts[3], "");
  dialog().openFit(*fit);
  EXPECT_EQ(dialog().lowerTexts[3], "0.5");
}

TEST_F(FitDialogBounds, AResultOnABoundIsMarked) {
  // The decay's time is 2; kept at most 1.5 the fit ends on that bound.
  for (auto [row, value] : {std::pair{2, "1"}, std::pair{3, "1"}}) {
    dialog().paramTexts[static_cast<size_t>(row)] = value;
    dialog().applyParameterRow(row);
  }
  dialog().paramChecks[1] = false;
  dialog().applyParameterRow(1);
  ASSERT_TRUE(SetRow(3, "", "1.5").empty());
  dialog().methodChanged(1);
  dialog().toggleIterate();
  for (int pass = 0; pass < 100; ++pass) IterateFitsOnce(doc, ui);
  dialog().toggleIterate();
  EXPECT_EQ(fit->params[3], 1.5);
  EXPECT_EQ(dialog().boundMarks[3], "at upper bound");
  EXPECT_EQ(dialog().boundMarks[2], "");
  // Its error is still shown: the mark says what it is worth.
  EXPECT_FALSE(dialog().errorTexts[3].empty());
}

}  // namespace
}  // namespace zentrel
