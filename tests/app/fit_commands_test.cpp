#include "app/commands/fit_commands.h"

#include <climits>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/fit_dialog.h"
#include "app/dialogs/xrange_dialog.h"
#include "fake_ui.h"
#include "fit/fit_sampling.h"
#include "model/document.h"
#include "model/fit.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class FitCommands : public ::testing::Test {
 protected:
  void SetUp() override { ClearNumericError(); }
  void TearDown() override { ClearNumericError(); }

  // x = 0..10 (11 points) unless given; y = 2 x + 1.
  Data_Set& AddLine(const std::string& name = "line", int points = 11, int columns = 2) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (int i = 0; i < points; ++i) {
      set->SetValue(0, i, i);
      if (columns >= 2) set->SetValue(1, i, 2.0 * i + 1);
      if (columns >= 3) set->SetValue(2, i, 0.1);
    }
    return doc.AppendSet(std::move(set));
  }
  // A fit y = 1 + 2 x (Polynomial, order 1) on the set, without commands.
  Fit& AddExactFit(Data_Set& set, const std::string& name = "Polynomial") {
    auto fit = std::make_unique<Fit>();
    fit->modelKind = 1;
    fit->name = name;
    fit->params[0] = 1;
    fit->params[2] = 2;
    fit->attach(set.ColumnData(0), set.DrawablePointCount());
    fit->setRange(set.ColumnMin(0), set.ColumnMax(0));
    set.fits.push_back(std::move(fit));
    return *set.fits.back();
  }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(FitCommands, FitBindsTheSetsColumnsAndAppendsTheFit) {
  AddLine("a", 11, 3);
  AddLine("b", 1, 1);
  ui.pickAnswers = {0};
  Dispatch(doc, ui, Cmd::Fit);
  EXPECT_EQ(ui.pickersShown.at(0).title, "Select a Set to Fit");
  ASSERT_EQ(doc.sets[0]->fits.size(), 1u);
  const Fit& fit = *doc.sets[0]->fits[0];
  EXPECT_EQ(fit.fitStart, doc.sets[0]->GetValue(0, 0));  // the set's range
  EXPECT_EQ(fit.fitEnd, doc.sets[0]->GetValue(0, 10));
  EXPECT_TRUE(doc.undoAvailable);

  // Data in descending x still gets its range the right way round.
  auto falling = std::make_unique<Data_Set>();
  for (int i = 0; i < 5; ++i) {
    falling->SetValue(0, i, 4 - i);
    falling->SetValue(1, i, i);
  }
  doc.AppendSet(std::move(falling));
  ui.pickAnswers = {2};
  Dispatch(doc, ui, Cmd::Fit);
  EXPECT_EQ(doc.sets[2]->fits[0]->fitStart, 0.0);
  EXPECT_EQ(doc.sets[2]->fits[0]->fitEnd, 4.0);

  // A set of one column gets no fit; the command only redraws.
  const int redraws = ui.redraws;
  ui.pickAnswers = {1};
  Dispatch(doc, ui, Cmd::Fit);
  EXPECT_TRUE(doc.sets[1]->fits.empty());
  EXPECT_EQ(ui.redraws, redraws + 1);
  EXPECT_EQ(ui.fitDialogShows, 2);
}

TEST_F(FitCommands, RefitTakesADrawnSelectionAsTheRange) {
  Data_Set& set = AddLine();
  Fit& fit = AddExactFit(set);
  fit.hidden = 1;
  struct Case {
    double x1, y1, x2, y2;
    double start, end;
  };
  const Case cases[] = {
      {3, 0, 3, 0, 0, 10},    // nothing selected
      {2, 5, 6, 5, 0, 10},    // zero height
      {7, 1, 2, 9, 2, 7},     // ordered
  };
  for (const auto& c : cases) {
    doc.selectionX1 = c.x1;
    doc.selectionY1 = c.y1;
    doc.selectionX2 = c.x2;
    doc.selectionY2 = c.y2;
    Dispatch(doc, ui, Cmd::RefitSet);
    EXPECT_EQ(fit.fitStart, c.start);
    EXPECT_EQ(fit.fitEnd, c.end);
  }
  EXPECT_EQ(fit.hidden, 0);
  EXPECT_EQ(doc.lastEditedFit, &fit);
  EXPECT_EQ(FitDialogOf(doc).fit(), &fit);
  EXPECT_TRUE(FitDialogOf(doc).isVisible());
}

TEST_F(FitCommands, RefitReportsWhatIsMissing) {
  Dispatch(doc, ui, Cmd::RefitSet);
  EXPECT_EQ(doc.statusText, "No Data Set Selected");
  AddLine();
  Dispatch(doc, ui, Cmd::RefitSet);
  EXPECT_EQ(doc.statusText, "No fit Selected");
}

TEST_F(FitCommands, RefitLastEditedFallsBackToRefitOnceTheFitIsDeleted) {
  Data_Set& set = AddLine();
  Dispatch(doc, ui, Cmd::Fit);
  Fit* fit = doc.lastEditedFit;
  ASSERT_NE(fit, nullptr);
  FitDialogOf(doc).pressOk();
  Dispatch(doc, ui, Cmd::RefitLastEditedFit);
  EXPECT_TRUE(FitDialogOf(doc).isVisible());
  EXPECT_TRUE(ui.pickersShown.empty());

  ui.pickAnswers = {0};  // Delete Fit always asks for the fit
  Dispatch(doc, ui, Cmd::DeleteFit);
  EXPECT_EQ(ui.pickersShown.back().title, "Select a fit to Delete");
  EXPECT_EQ(doc.statusText, "Fit Deleted");
  EXPECT_TRUE(set.fits.empty());
  EXPECT_EQ(doc.lastEditedFit, nullptr);
  EXPECT_FALSE(FitDialogOf(doc).isVisible());

  Dispatch(doc, ui, Cmd::RefitLastEditedFit);
  EXPECT_EQ(doc.statusText, "No fit Selected");
}

TEST_F(FitCommands, HideShowAndDeleteAll) {
  Data_Set& set = AddLine();
  Fit& first = AddExactFit(set, "first");
  Fit& second = AddExactFit(set, "second");
  ui.pickAnswers = {1};
  Dispatch(doc, ui, Cmd::HideShowFit);
  EXPECT_EQ(ui.pickersShown.back().lines, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(second.hidden, 1);
  EXPECT_EQ(first.hidden, 0);
  ui.pickAnswers = {-1};  // Cancel changes nothing
  Dispatch(doc, ui, Cmd::HideShowFit);
  EXPECT_EQ(second.hidden, 1);
  Dispatch(doc, ui, Cmd::HideAllFits);
  EXPECT_EQ(first.hidden, 1);
  doc.lastEditedFit = &first;
  Dispatch(doc, ui, Cmd::DeleteAllFits);
  EXPECT_TRUE(set.fits.empty());
  EXPECT_EQ(doc.lastEditedFit, nullptr);
  EXPECT_EQ(doc.statusText, "Fits Deleted");
  // Undo brings them back as they were before the deletion.
  Dispatch(doc, ui, Cmd::Undo);
  ASSERT_EQ(doc.sets[0]->fits.size(), 2u);
  EXPECT_EQ(doc.sets[0]->fits[1]->name, "second");
}

TEST_F(FitCommands, ResidualAutocorrelationOfTheFitsRange) {
  auto set = std::make_unique<Data_Set>();
  set->name = "noisy";
  // Out of order on purpose: the set is sorted first.
  for (int i = 0; i < 40; ++i) {
    const int k = 39 - i;
    set->SetValue(0, i, k);
    set->SetValue(1, i, 2.0 * k + 1 + (k % 2 ? 0.5 : -0.5));
  }
  Data_Set& s = doc.AppendSet(std::move(set));
  Fit& fit = AddExactFit(s);
  Dispatch(doc, ui, Cmd::ResidualAutocorrelation);
  EXPECT_EQ(doc.statusText, "Autocorrelation done!");
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_TRUE(s.IsSortedByX());
  const Data_Set& correlated = *doc.sets[1];
  EXPECT_EQ(correlated.PointCount(0), 40);
  // Residuals alternate -0.5, +0.5 from x = 0: lag 0 gives 0.25.
  double atZero = -1;
  for (int i = 0; i < correlated.PointCount(0); ++i)
    if (correlated.GetValue(0, i) == 0) atZero = correlated.GetValue(1, i);
  EXPECT_DOUBLE_EQ(atZero, 0.25);
  EXPECT_EQ(fit.fitEnd, 39.0);
}

TEST_F(FitCommands, ResidualAutocorrelationOfAnEmptyRangeFails) {
  Data_Set& s = AddLine("line", 20);
  Fit& fit = AddExactFit(s);
  fit.fitStart = 100;
  fit.fitEnd = 200;
  Dispatch(doc, ui, Cmd::ResidualAutocorrelation);
  EXPECT_EQ(doc.statusText, "Error autocorrelating set");
  EXPECT_EQ(doc.SetCount(), 1);
}

TEST(XrangeDialog, LinkedFieldsKeepTheGridConsistent) {
  XrangeDialogModel range;
  range.setXMin(0);
  range.setXMax(10);
  range.setGridCount(200);
  EXPECT_EQ(range.xMinText(), "0");
  EXPECT_EQ(range.xMaxText(), "10");
  EXPECT_EQ(range.gridCountText(), "200");
  EXPECT_EQ(range.xStepText(), CFormat("%g", 10.0 / 199));

  range.gridCountLostFocus("11");
  EXPECT_EQ(range.xStepText(), "1");
  range.xStepLostFocus("0.5");
  EXPECT_EQ(range.gridCountText(), "21");
  range.xMinLostFocus("20");  // above Xmax: the step shows negative
  EXPECT_EQ(range.xStepText(), "-0.5");
  EXPECT_EQ(range.gridCountText(), "21");
  range.gridCountLostFocus("1");
  EXPECT_DOUBLE_EQ(range.xStep, 11.0);
  range.xMaxLostFocus("20");  // equal bounds: the step becomes 0
  range.gridCountLostFocus("5");
  EXPECT_EQ(range.xStep, 0.0);
  range.xMinLostFocus("20");  // 0/0 shows 1
  EXPECT_EQ(range.gridCount, 1);
  range.xMinLostFocus("1");  // a range at step 0 shows the largest count
  EXPECT_EQ(range.gridCount, INT_MAX);
}

TEST_F(FitCommands, CreateDataSetFromFitOnAGridOrAtTheDataX) {
  Data_Set& set = AddLine();
  Fit& fit = AddExactFit(set, "line fit");
  struct Case {
    std::function<bool(DialogModel&)> answer;
    std::vector<double> xs;
  };
  const Case cases[] = {
      {[](DialogModel& d) {
         auto& r = dynamic_cast<XrangeDialogModel&>(d);
         EXPECT_EQ(r.gridCount, 200);
         r.gridCountLostFocus("11");
         return true;
       },
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {[](DialogModel& d) {
         auto& r = dynamic_cast<XrangeDialogModel&>(d);
         r.xMinLostFocus("4");
         r.xMaxLostFocus("2");
         r.xStepLostFocus("1");
         return true;
       },
       {2, 3, 4}},
      {[](DialogModel& d) {
         auto& r = dynamic_cast<XrangeDialogModel&>(d);
         r.gridCountLostFocus("1");
         return true;
       },
       {0}},
      {[](DialogModel& d) {
         dynamic_cast<XrangeDialogModel&>(d).toggleUseDataX();
         return true;
       },
       {2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    fit.fitStart = 2;
    fit.fitEnd = 5;
    ui.dialogAnswers.push_back(c.answer);
    const int before = doc.SetCount();
    Dispatch(doc, ui, Cmd::CreateDataSetFromFit);
    ASSERT_EQ(doc.SetCount(), before + 1);
    EXPECT_EQ(doc.statusText, "new Set Created");
    const Data_Set& made = *doc.sets.back();
    EXPECT_EQ(made.name, "line fit");
    ASSERT_EQ(made.PointCount(0), static_cast<int>(c.xs.size()));
    for (size_t i = 0; i < c.xs.size(); ++i) {
      EXPECT_NEAR(made.GetValue(0, static_cast<int>(i)), c.xs[i], 1e-12);
      EXPECT_NEAR(made.GetValue(1, static_cast<int>(i)), 2 * c.xs[i] + 1, 1e-9);
    }
    // Later runs pick the set and its fit from several sets.
    ui.pickAnswers = {0};
  }
  EXPECT_EQ(ui.dialogsShown.back(), "Xrange");
}

TEST_F(FitCommands, CreateDataSetFromFitKeepsTheGridsEndPoint) {
  Data_Set& set = AddLine("line", 11);
  for (int i = 0; i < 11; ++i) set.SetValue(0, i, -3 + 1.02 * i);  // x from -3 to 7.2
  AddExactFit(set);
  // The dialog's own 200 points, and a step that meets Xmax only up to rounding.
  const std::function<bool(DialogModel&)> answers[] = {
      [](DialogModel&) { return true; },
      [](DialogModel& d) {
        auto& r = dynamic_cast<XrangeDialogModel&>(d);
        r.xMinLostFocus("0");
        r.xMaxLostFocus("1");
        r.xStepLostFocus("0.01");
        EXPECT_EQ(r.gridCountText(), "101");
        return true;
      },
  };
  const int counts[] = {200, 101};
  const double ends[] = {set.ColumnMax(0), 1.0};
  for (int k = 0; k < 2; ++k) {
    ui.pickAnswers = {0};
    ui.dialogAnswers.push_back(answers[k]);
    Dispatch(doc, ui, Cmd::CreateDataSetFromFit);
    const Data_Set& made = *doc.sets.back();
    ASSERT_EQ(made.PointCount(0), counts[k]);
    EXPECT_EQ(made.GetValue(0, counts[k] - 1), ends[k]);
    EXPECT_NEAR(made.GetValue(1, counts[k] - 1), 2 * ends[k] + 1, 1e-12);
  }
}

TEST_F(FitCommands, CreateDataSetFromFitReportsWhatIsMissing) {
  Dispatch(doc, ui, Cmd::CreateDataSetFromFit);
  EXPECT_EQ(doc.statusText, "No DataSet selected");
  AddLine();
  Dispatch(doc, ui, Cmd::CreateDataSetFromFit);
  EXPECT_EQ(doc.statusText, "No fit selected");
}

TEST(FitSampling, GridEdgeCases) {
  Data_Set set;
  for (int i = 0; i < 5; ++i) {
    set.SetValue(0, i, i - 2);
    set.SetValue(1, i, 0);
  }
  Fit power;
  power.modelKind = 12;  // Power Law: y0 + a (u - off)^b
  power.name = "Power Law";
  power.params[2] = 1;
  power.params[4] = 0.5;
  power.attach(set.ColumnData(0), 5);
  SetNumericError(kOverflowError, "earlier failure");

  // Negative bases are left out; the caller's error state survives.
  GridSample grid = sampleGrid(&power, set, -2, 2, 1);
  ASSERT_TRUE(grid.set);
  EXPECT_EQ(grid.set->PointCount(0), 3);
  EXPECT_EQ(grid.set->GetValue(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(grid.set->GetValue(1, 2), std::sqrt(2.0));
  EXPECT_EQ(NumericErrorState().message, "earlier failure");
  ClearNumericError();

  EXPECT_FALSE(sampleGrid(&power, set, 0, 1, 0).set);
  EXPECT_FALSE(sampleGrid(&power, set, 0, 1, -0.0).set);
  EXPECT_FALSE(sampleGrid(nullptr, set, 0, 1, 1).set);
  GridSample fine = sampleGrid(&power, set, 0, 1, 1e-300);
  EXPECT_FALSE(fine.set);
  EXPECT_TRUE(fine.tooManyPoints);
  GridSample stuck = sampleGrid(&power, set, 1e17, 1e17 + 64, 1);  // x + 1 == x
  EXPECT_TRUE(stuck.tooManyPoints);
  GridSample nan = sampleGrid(&power, set, std::nan(""), 1, 1);
  ASSERT_TRUE(nan.set);
  EXPECT_EQ(nan.set->PointCount(0), 0);

  power.fitStart = -1;
  power.fitEnd = 1;
  auto atData = sampleAtDataX(set, power);
  EXPECT_EQ(atData->PointCount(0), 2);  // -1 fails, 0 and 1 remain
}

}  // namespace
}  // namespace zentrel
