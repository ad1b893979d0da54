#include "app/dialogs/fit_dialog.h"

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "app/commands/dispatch.h"
#include "app/commands/file_commands.h"
#include "app/fit_iteration.h"
#include "fake_ui.h"
#include "fit/fit_parameters.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;


class FitDialog : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }

  // y = 3 exp(-x/2) + 0.5 at x = 0, 0.5, ..., 9.5.
  Data_Set& AddDecay(const std::string& name = "decay") {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (int i = 0; i < 20; ++i) {
      set->SetValue(0, i, 0.5 * i);
      set->SetValue(1, i, 3 * std::exp(-0.25 * i) + 0.5);
    }
    return doc.AppendSet(std::move(set));
  }
  // Runs Fit on set `index` (picked when there are several).
  Fit& FitSet(int index) {
    if (doc.SetCount() > 1) ui.pickAnswers.push_back(index);
    Dispatch(doc, ui, Cmd::Fit);
    return *doc.sets[static_cast<size_t>(index)]->fits.back();
  }
  FitDialogModel& dialog() { return FitDialogOf(doc); }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(FitDialog, FitOpensTheDialogOnANewFitWithTheSetsRange) {
  AddDecay();
  Fit& fit = FitSet(0);
  EXPECT_TRUE(ui.pickersShown.empty());  // the only set is taken without asking
  EXPECT_EQ(ui.fitDialogShows, 1);
  EXPECT_TRUE(dialog().isVisible());
  EXPECT_EQ(dialog().fit(), &fit);
  EXPECT_EQ(doc.lastEditedFit, &fit);
  EXPECT_EQ(fit.fitStart, 0.0);
  EXPECT_EQ(fit.fitEnd, 9.5);
  EXPECT_EQ(dialog().fitEndText, "9.5");
  EXPECT_EQ(dialog().modelName, "Exponential");
  EXPECT_EQ(dialog().orderText, "1");
  EXPECT_EQ(dialog().rowsShown, 4);
  EXPECT_EQ(dialog().paramCaptions[0], "y0");
  EXPECT_EQ(dialog().paramCaptions[3], "t0");
  EXPECT_EQ(dialog().nameText, "Exponential");
  EXPECT_EQ(dialog().iterationsText, "0");
  EXPECT_EQ(dialog().iterateCaption, "Iterate");
  EXPECT_FALSE(dialog().customEquationVisible);
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(FitDialog, ModelSelectionShowsRowsClampsTheOrderAndOffersTheEquationForCustomOnly) {
  AddDecay();
  Fit& fit = FitSet(0);
  struct Case {
    std::string model, typedOrder, shownOrder;
    int rows;
    std::string lastCaption;
    bool custom;
  };
  const Case cases[] = {
      {"Exponential", "2", "2", 6, "t1", false},
      {"Gaussian", "99", "5", 17, "width4", false},  // maxOrder 5
      {"Polynomial", "abc", "1", 3, "a1", false},      // no number reads as 0, kept at 1
      {"Gaussian", "1", "1", 5, "width0", false},
      {"Custom function", "3", "1", 2, "x0", true},
      {"Exponential", "1", "1", 4, "t0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.model + " " + c.typedOrder);
    dialog().modelName = c.model;
    dialog().orderText = c.typedOrder;
    dialog().modelLostFocus();
    EXPECT_EQ(dialog().orderText, c.shownOrder);
    EXPECT_EQ(dialog().rowsShown, c.rows);
    EXPECT_EQ(ParameterCount(fit), c.rows);
    EXPECT_EQ(dialog().paramCaptions[static_cast<size_t>(c.rows - 1)], c.lastCaption);
    EXPECT_EQ(dialog().customEquationVisible, c.custom);
    EXPECT_EQ(fit.iterationCount, 0);
  }
}

TEST_F(FitDialog, PasteAdvancesOnlyAtTabsAndLineEnds) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().modelName = "Exponential";
  dialog().orderText = "2";
  dialog().modelLostFocus();
  struct Case {
    std::string clip;
    std::vector<double> expected;  // a0.. after pasting onto zeros
  };
  const Case cases[] = {
      {"1\t2\n3", {1, 2, 3, 0}},
      {"1 2", {1, 0, 0, 0}},
      {"1\r\n2\t\t3", {1, 2, 3, 0}},  // a blank before a number is skipped
      {"x\t2", {0, 0, 0, 0}},          // stops at the first failure
      {"1.23456789\t-4e-3", {1.23457, -0.004, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clip);
    fit.params.fill(0);
    dialog().refreshDisplay();
    ui.clipboard = c.clip;
    dialog().pasteParams(ui);
    for (size_t i = 0; i < c.expected.size(); ++i) EXPECT_DOUBLE_EQ(fit.params[i], c.expected[i]) << i;
  }
  ui.clipboard.reset();  // no text: nothing happens
  dialog().pasteParams(ui);
}

TEST_F(FitDialog, CopyWritesTheVisibleParametersTabSeparated) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().modelName = "Polynomial";
  dialog().modelLostFocus();
  ASSERT_EQ(dialog().rowsShown, 3);
  fit.params[0] = 1.5;
  fit.params[1] = -2;
  fit.params[2] = 3e-7;
  dialog().copyParams(ui);
  EXPECT_EQ(ui.clipboard, "1.5\t-2\t3e-07");
}

TEST_F(FitDialog, LimitSetsKeepTheirRangeRoundedAndTheirFreeFlags) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().switchLimitSet(1);
  dialog().fitStartText = "1.234567";
  dialog().fitStartLostFocus();
  dialog().fitEndText = "7.654321";
  dialog().fitEndLostFocus();
  dialog().paramChecks[2] = false;
  dialog().applyParameterRow(2);
  EXPECT_EQ(fit.freeFlags[2], 0);

  dialog().switchLimitSet(0);
  EXPECT_EQ(fit.fitStart, 0.0);
  EXPECT_EQ(fit.fitEnd, 9.5);
  EXPECT_EQ(fit.freeFlags[2], 1);
  EXPECT_TRUE(dialog().paramChecks[2]);

  dialog().switchLimitSet(1);
  EXPECT_EQ(dialog().fitStartText, "1.235");
  EXPECT_EQ(dialog().fitEndText, "7.654");
  EXPECT_DOUBLE_EQ(fit.fitStart, 1.235);
  EXPECT_DOUBLE_EQ(fit.fitEnd, 7.654);
  EXPECT_EQ(fit.freeFlags[2], 0);
  EXPECT_FALSE(dialog().paramChecks[2]);
  EXPECT_EQ(dialog().limitSetIndex, 1);
}

TEST_F(FitDialog, EditsApplyOnLosingFocus) {
  AddDecay();
  Fit& fit = FitSet(0);
  fit.iterationCount = 5;
  dialog().fitStartText = "8";
  dialog().fitEndText = "2";
  dialog().fitEndLostFocus();  // swapped into order
  EXPECT_EQ(fit.fitStart, 2.0);
  EXPECT_EQ(fit.fitEnd, 8.0);
  EXPECT_EQ(fit.iterationCount, 0);

  dialog().paramTexts[2] = "2.5\nignored";
  dialog().paramChecks[2] = false;
  dialog().applyParameterRow(2);
  EXPECT_EQ(fit.params[2], 2.5);
  EXPECT_EQ(fit.freeFlags[2], 0);

  dialog().methodChanged(1);
  EXPECT_EQ(fit.method, kMethodLevenbergMarquardt);
  fit.iterationCount = 3;
  dialog().weightingClicked(2);  // does not restart
  EXPECT_EQ(fit.weighting, kWeightInverseSigmaSquared);
  EXPECT_EQ(fit.iterationCount, 3);

  dialog().nameText = "slow decay";
  dialog().nameLostFocus();
  EXPECT_EQ(fit.name, "slow decay");

  fit.params[3] = 1.0 / 3.0;
  fit.chiSquare = 12345.678;
  fit.iterationCount = 42;
  dialog().refreshDisplay();
  EXPECT_EQ(dialog().paramTexts[3], "0.33333");
  EXPECT_EQ(dialog().chiSquareText, "12346");
  EXPECT_EQ(dialog().iterationsText, "42");
}

TEST_F(FitDialog, CustomEquationCompilesOnLosingFocusOrReportsItsError) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().modelName = "Custom function";
  dialog().modelLostFocus();
  dialog().customEquationText = "A0*EXP(-X/A1)";
  EXPECT_TRUE(dialog().customEquationLostFocus(ui));
  EXPECT_EQ(fit.customParameterCount, 2);
  EXPECT_EQ(dialog().rowsShown, 4);
  dialog().customEquationText = "";
  EXPECT_FALSE(dialog().customEquationLostFocus(ui));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "You need to enter an equation!");
}

TEST_F(FitDialog, ConvolveWithPicksASetOrClearsTheSource) {
  AddDecay("a");
  AddDecay("b");
  Fit& fit = FitSet(0);
  ui.pickAnswers = {1};
  dialog().convolveWith(ui);
  EXPECT_EQ(ui.pickersShown.back().title, "Select a set to convolve with");
  EXPECT_EQ(fit.convolutionSource, doc.sets[1].get());
  EXPECT_EQ(dialog().convolveText, "b");
  ui.pickAnswers = {-1};
  dialog().convolveWith(ui);
  EXPECT_EQ(fit.convolve, 0);
  EXPECT_EQ(dialog().convolveText, "");
}

TEST_F(FitDialog, ChangeColorAndIterateToggle) {
  AddDecay();
  Fit& fit = FitSet(0);
  ui.colourAnswers = {0x00FF00u, std::nullopt};
  dialog().changeColor(ui);
  EXPECT_EQ(fit.colour, 0x00FF00u);
  dialog().changeColor(ui);  // Cancel keeps it
  EXPECT_EQ(fit.colour, 0x00FF00u);

  dialog().toggleIterate();
  EXPECT_TRUE(fit.iterating);
  EXPECT_EQ(dialog().iterateCaption, "Stop Iterating");
  dialog().toggleIterate();
  EXPECT_FALSE(fit.iterating);
  EXPECT_EQ(dialog().iterateCaption, "Iterate");
}

TEST_F(FitDialog, IterationRefreshesTheDialogAndStandardErrorsFollowTheStop) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().paramTexts[2] = "1";
  dialog().applyParameterRow(2);
  dialog().paramTexts[3] = "1";
  dialog().applyParameterRow(3);
  dialog().paramChecks[1] = false;  // x0 and a0 would trade off exactly
  dialog().applyParameterRow(1);
  dialog().methodChanged(1);
  dialog().toggleIterate();
  for (int pass = 0; pass < 60; ++pass) IterateFitsOnce(doc, ui);
  EXPECT_EQ(dialog().iterationsText, std::to_string(fit.iterationCount));
  EXPECT_NEAR(fit.params[3], 2.0, 1e-6);
  EXPECT_TRUE(dialog().errorTexts[3].empty());  // not while iterating
  // One iterating fit that is the last edited one: the dialog follows every
  // step and the graph waits for a repaint.
  EXPECT_EQ(ui.redraws, 1);  // the Fit command's own
  EXPECT_TRUE(dialog().graphRedrawPending);
  dialog().toggleIterate();
  EXPECT_FALSE(dialog().errorTexts[3].empty());
  EXPECT_FALSE(dialog().reducedChiSquareText.empty());
}

TEST_F(FitDialog, TwoFitsIteratingAdvanceOnceEachPassAndTheGraphCatchesUp) {
  AddDecay("a");
  AddDecay("b");
  Fit& second = FitSet(1);
  Fit& first = FitSet(0);  // the last edited fit
  for (Fit* fit : {&first, &second}) {
    fit->params[2] = fit->params[3] = 1;
    fit->freeFlags[1] = 0;
    fit->method = kMethodLevenbergMarquardt;
    fit->iterating = 1;
  }
  const int redrawsBefore = ui.redraws;
  for (int pass = 1; pass <= 3; ++pass) {
    EXPECT_TRUE(IterateFitsOnce(doc, ui));
    EXPECT_EQ(first.iterationCount, pass);
    EXPECT_EQ(second.iterationCount, pass);
  }
  // The dialog follows the first fit; each later fit's step redraws.
  EXPECT_EQ(ui.redraws - redrawsBefore, 3);
  EXPECT_FALSE(dialog().graphRedrawPending);
}

TEST_F(FitDialog, AFailedStepIsShownAndTheButtonReadsIterateAgain) {
  AddDecay();
  Fit& fit = FitSet(0);
  dialog().toggleIterate();
  doc.sets[0]->KeepPoints({});  // no points to fit
  EXPECT_FALSE(IterateFitsOnce(doc, ui));
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_FALSE(fit.iterating);
  EXPECT_EQ(dialog().iterateCaption, "Iterate");
}

TEST_F(FitDialog, OkAppliesAndHides) {
  AddDecay();
  FitSet(0);
  dialog().pressOk();
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_NE(dialog().fit(), nullptr);
}

// Every command that destroys fits leaves no reference to them: the dialog
// lets go and iteration of the destroyed fit ends. Run under ASan.
TEST_F(FitDialog, CommandsThatDestroyTheOpenIteratingFitLeaveNoReference) {
  const std::string graphPath =
      (std::filesystem::temp_directory_path() / ("fit_dialog_test_" + std::to_string(::getpid()) + ".ztl")).string();
  struct Case {
    const char* name;
    std::function<void(CZentrelDoc&, FakeUi&)> destroy;
  };
  const Case cases[] = {
      {"Delete Fit", [](CZentrelDoc& d, FakeUi& u) { u.pickAnswers = {0}; Dispatch(d, u, Cmd::DeleteFit); }},
      {"Delete All Fits", [](CZentrelDoc& d, FakeUi& u) { Dispatch(d, u, Cmd::DeleteAllFits); }},
      {"Close Data", [](CZentrelDoc& d, FakeUi& u) { u.pickAnswers = {0}; Dispatch(d, u, Cmd::CloseData); }},
      {"Undo", [](CZentrelDoc& d, FakeUi& u) { Dispatch(d, u, Cmd::Undo); }},
      {"New", [](CZentrelDoc& d, FakeUi& u) { u.saveChangesAnswers = {false}; Dispatch(d, u, Cmd::New); }},
      {"Open", [&graphPath](CZentrelDoc& d, FakeUi& u) {
         u.saveChangesAnswers = {false};
         u.fileAnswers = {graphPath};
         Dispatch(d, u, Cmd::Open);
       }},
  };
  {
    // The graph Open reads: one set whose fit is a different object.
    CZentrelDoc saved;
    auto set = std::make_unique<Data_Set>();
    set->SetValue(0, 0, 1);
    set->SetValue(1, 0, 2);
    set->fits.push_back(std::make_unique<Fit>());
    saved.AppendSet(std::move(set));
    FakeUi quiet;
    ASSERT_TRUE(SaveDocumentTo(saved, quiet, graphPath));
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CZentrelDoc d;
    FakeUi u;
    auto set = std::make_unique<Data_Set>();
    for (int i = 0; i < 20; ++i) {
      set->SetValue(0, i, i);
      set->SetValue(1, i, std::exp(-0.1 * i));
    }
    d.AppendSet(std::move(set));
    Dispatch(d, u, Cmd::Fit);
    FitDialogModel& open = FitDialogOf(d);
    ASSERT_TRUE(open.isVisible());
    open.paramTexts[2] = open.paramTexts[3] = "1";
    open.applyParameterRow(2);
    open.applyParameterRow(3);
    open.toggleIterate();
    ASSERT_TRUE(IterateFitsOnce(d, u));
    int notified = 0;
    open.changed = [&notified] { ++notified; };

    c.destroy(d, u);

    EXPECT_EQ(open.fit(), nullptr);
    EXPECT_FALSE(open.isVisible());
    EXPECT_EQ(d.lastEditedFit, nullptr);
    EXPECT_FALSE(AnyFitIterating(d));
    EXPECT_FALSE(IterateFitsOnce(d, u));
    EXPECT_GT(notified, 0);  // the window heard that it must hide
    // Every edit of the let-go dialog is harmless.
    open.paramTexts[0] = "5";
    open.applyParameterRow(0);
    open.modelLostFocus();
    open.toggleIterate();
    open.switchLimitSet(2);
    open.pressOk();
    EXPECT_FALSE(AnyFitIterating(d));
  }
  std::filesystem::remove(graphPath);
}

TEST(FitDialogEdits, NumbersReadFromTheFirstLineLikeStrtod) {
  EXPECT_EQ(ReadEditNumber("2.5e1 m"), 25.0);
  EXPECT_EQ(ReadEditNumber("  -3\n7"), -3.0);
  EXPECT_EQ(ReadEditNumber("abc"), std::nullopt);
  EXPECT_EQ(ReadEditNumber(""), std::nullopt);
  EXPECT_EQ(ReadEditNumber("\n5"), std::nullopt);
}

}  // namespace
}  // namespace zentrel
