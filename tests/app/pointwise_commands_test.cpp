// The point-wise, statistics and smoothing commands, run through the
// dispatcher as a front end would.

#include <cmath>
#include <map>
#include <vector>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/operate_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/dialogs/smoothing_dialog.h"
#include "fake_ui.h"
#include "model/document.h"

namespace zentrel {
namespace {

using testing::FakeUi;
using V = std::vector<double>;

class PointwiseCommands : public ::testing::Test {
 protected:
  Data_Set& Add(const char* name, const V& x, const V& y, bool active = true) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
    for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
    set->active = active;
    set->modified = false;
    return doc.AppendSet(std::move(set));
  }
  static V Col(const Data_Set& set, int c) {
    V v;
    for (int i = 0; i < set.PointCount(c); ++i) v.push_back(set.GetValue(c, i));
    return v;
  }
  void Select(double x1, double y1, double x2, double y2) {
    doc.selectionX1 = x1, doc.selectionY1 = y1, doc.selectionX2 = x2, doc.selectionY2 = y2;
  }
  void Visible(double xMin, double xMax, double yMin, double yMax) {
    doc.graph.xMin = xMin, doc.graph.xMax = xMax, doc.graph.yMin = yMin, doc.graph.yMax = yMax;
  }
  template <typename Model, typename Edit>
  void AnswerDialog(Edit edit, bool ok = true) {
    ui.dialogAnswers.push_back([edit, ok](DialogModel& d) {
      edit(dynamic_cast<Model&>(d));
      return ok;
    });
  }
  DispatchResult Run(Cmd id) { return Dispatch(doc, ui, id); }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(PointwiseCommands, OperateAllActiveSetsLeavesInactiveOnes) {
  Data_Set& a = Add("A", {1, 2}, {3, 4});
  Data_Set& b = Add("B", {1, 2}, {3, 4}, false);
  AnswerDialog<OperateDialogModel>([](OperateDialogModel& d) {
    EXPECT_EQ(d.xOperator, -1);  // nothing selected at first
    EXPECT_EQ(d.xOperand, "0");
    EXPECT_FALSE(d.oneSet);
    d.xOperator = 0, d.xOperand = "1";
  });
  Run(Cmd::Operate);
  EXPECT_EQ(Col(a, 0), (V{2, 3}));
  EXPECT_EQ(Col(a, 1), (V{3, 4}));
  EXPECT_EQ(Col(b, 0), (V{1, 2}));
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.undoAvailable);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(PointwiseCommands, OperateArithmeticBeforeTheFunctionOnOneSet) {
  Add("A", {1, 2}, {1, 2});
  Data_Set& b = Add("B", {1, 2}, {1, 2});
  ui.pickAnswers.push_back(1);
  AnswerDialog<OperateDialogModel>([](OperateDialogModel& d) {
    d.yOperator = 2, d.yOperand = "2", d.oneSet = true;
    d.pressFunction(2);  // Ln(Y)
  });
  Run(Cmd::Operate);
  ASSERT_EQ(ui.pickersShown.size(), 1u);
  EXPECT_EQ(ui.pickersShown[0].title, "Select a Set to Operate upon.");
  EXPECT_DOUBLE_EQ(b.GetValue(1, 0), std::log(2.0));
  EXPECT_DOUBLE_EQ(b.GetValue(1, 1), std::log(4.0));
  EXPECT_EQ(Col(*doc.sets[0], 1), (V{1, 2}));
}

TEST_F(PointwiseCommands, OperateFunctionAloneAndCancel) {
  Data_Set& a = Add("A", {0, 1}, {0, 1});
  AnswerDialog<OperateDialogModel>([](OperateDialogModel& d) { d.pressFunction(6); });
  Run(Cmd::Operate);
  EXPECT_EQ(Col(a, 0), (V{0, 1}));
  EXPECT_DOUBLE_EQ(a.GetValue(1, 1), std::exp(1.0));
  doc.SetModifiedFlag(false);
  AnswerDialog<OperateDialogModel>([](OperateDialogModel& d) { d.xOperator = 0, d.xOperand = "5"; }, false);
  Run(Cmd::Operate);
  EXPECT_EQ(Col(a, 0), (V{0, 1}));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 2);  // redrawn after Cancel too
}

TEST_F(PointwiseCommands, OperateDialogScriptFieldsAndValidation) {
  OperateDialogModel d;
  std::map<std::string, FieldSetter> fields;
  for (auto& f : d.scriptFields()) fields[f.key] = f.set;
  EXPECT_FALSE(fields["x-op"]("*"));
  EXPECT_FALSE(fields["x"]("2.5"));
  EXPECT_FALSE(fields["function"]("sqrt-y"));
  EXPECT_FALSE(fields["operate-on"]("one-set"));
  EXPECT_TRUE(fields["y-op"]("%"));
  EXPECT_TRUE(fields["y"]("abc"));
  EXPECT_TRUE(fields["function"]("log"));
  EXPECT_EQ(d.xCode(), 3);
  EXPECT_EQ(d.yCode(), 0);
  EXPECT_EQ(d.xValue(), 2.5);
  EXPECT_EQ(d.function, 4);
  EXPECT_TRUE(d.oneSet);
  EXPECT_FALSE(d.validate());
  d.yOperand = "1x";
  EXPECT_EQ(d.validate(), "Please enter a number.");
}

TEST_F(PointwiseCommands, NormalizeDividesByThePeakInTheRegion) {
  Data_Set& a = Add("A", {0, 1, 2, 3}, {1, 4, 2, 8});
  Data_Set& zero = Add("Z", {0, 1}, {0, 0});
  Data_Set& negative = Add("N", {0, 1}, {-2, -4});
  Visible(0, 3, -10, 10);
  Select(0, 0, 2, 0);  // x extent only: y from the visible range
  Run(Cmd::Normalize);
  EXPECT_EQ(Col(a, 1), (V{0.25, 1, 0.5, 2}));
  EXPECT_EQ(Col(zero, 1), (V{0, 0}));
  EXPECT_EQ(Col(negative, 1), (V{1, 2}));  // a negative peak flips the set
  EXPECT_TRUE(doc.undoAvailable);
  EXPECT_DOUBLE_EQ(doc.graph.yMax, 2.1);  // autoscaled (5% margins)
}

TEST_F(PointwiseCommands, ShiftPeakStatusAndUnchangedWhenAtZero) {
  Data_Set& a = Add("A", {-1, 0, 1}, {1, 5, 2});
  Visible(-5, 5, -5, 10);
  Run(Cmd::ShiftPeak);
  EXPECT_EQ(Col(a, 0), (V{-1, 0, 1}));
  EXPECT_EQ(doc.statusText, "Peak Shifted:0\n");
  Visible(-5, 5, -5, 10);
  Select(0.5, 0, 2, 3);  // the peak within the selection is at x = 1
  Run(Cmd::ShiftPeak);
  EXPECT_EQ(Col(a, 0), (V{-2, -1, 0}));
  EXPECT_EQ(doc.statusText, "Peak Shifted:1\n");
}

TEST_F(PointwiseCommands, BaselineSubtractsTheMeanOfTheSelection) {
  Data_Set& a = Add("A", {0, 1, 2, 3}, {1, 3, 10, 20});
  Select(3.5, 0, -0.5, 5);  // reversed: ordered before use
  Run(Cmd::BaselineCorrection);
  EXPECT_EQ(Col(a, 1), (V{-1, 1, 8, 18}));
  EXPECT_EQ(doc.statusText, "Baseline Subtracted:2\n");
  // A click: only points at x = 0 and exactly the clicked y count.
  Select(7, -1, 7, -1);
  Run(Cmd::BaselineCorrection);
  EXPECT_EQ(Col(a, 1), (V{0, 2, 9, 19}));
  EXPECT_EQ(doc.statusText, "Baseline Subtracted:-1\n");
  Select(7, 4, 7, 4);
  Run(Cmd::BaselineCorrection);
  EXPECT_EQ(Col(a, 1), (V{0, 2, 9, 19}));
  EXPECT_EQ(doc.statusText, "Baseline Subtracted:0\n");
}

TEST_F(PointwiseCommands, DeletePointsInEveryActiveSet) {
  Data_Set& a = Add("A", {0, 1, 2, 3}, {0, 1, 2, 3});
  Data_Set& b = Add("B", {0, 1, 2, 3}, {0, 1, 2, 3}, false);
  Select(1, 1, 2, 2);
  Run(Cmd::DeletePoints);
  EXPECT_EQ(Col(a, 0), (V{0, 3}));
  EXPECT_EQ(Col(b, 0), (V{0, 1, 2, 3}));
  EXPECT_EQ(doc.statusText, "Deleting selected points");
  EXPECT_TRUE(doc.undoAvailable);
}

TEST_F(PointwiseCommands, InterpolateSortReverseInvert) {
  Data_Set& a = Add("A", {0, 1, 2}, {0, 10, 20});
  Run(Cmd::LinearInterpolation);
  EXPECT_EQ(Col(a, 0), (V{0, 0.5, 1, 1.5, 2}));
  EXPECT_EQ(doc.statusText, "Set linearly interpolated");

  doc.sets.clear();
  doc.undoAvailable = 0;
  doc.SetModifiedFlag(false);
  Data_Set& s = Add("S", {3, 1, 2}, {30, 10, 20});
  Run(Cmd::SortSet);
  EXPECT_EQ(Col(s, 0), (V{1, 2, 3}));
  EXPECT_EQ(doc.statusText, "Set sorted");
  EXPECT_FALSE(doc.undoAvailable);
  EXPECT_FALSE(doc.IsModified());

  Run(Cmd::ReverseDataset);
  EXPECT_EQ(Col(s, 0), (V{-3, -2, -1}));
  EXPECT_EQ(Col(s, 1), (V{30, 20, 10}));
  EXPECT_TRUE(doc.undoAvailable);
  EXPECT_DOUBLE_EQ(doc.graph.xMin, -3.1);
  Run(Cmd::InvertDataset);
  EXPECT_EQ(Col(s, 1), (V{-30, -20, -10}));
  EXPECT_TRUE(doc.IsModified());
}

TEST_F(PointwiseCommands, PickerPromptsAndNoSet) {
  Run(Cmd::ReverseDataset);
  EXPECT_EQ(doc.statusText, "No DataSet selected");
  doc.statusText.clear();
  Run(Cmd::InvertDataset);
  EXPECT_EQ(doc.statusText, "No DataSet selected");
  Run(Cmd::Properties);
  EXPECT_EQ(doc.statusText, "No DataSet selected");
  Add("A", {0, 1}, {0, 1});
  Add("B", {0, 1}, {0, 1});
  const std::pair<Cmd, const char*> prompts[] = {
      {Cmd::LinearInterpolation, "Select a Set to Interpolate"},
      {Cmd::SortSet, "Select a Set to Sort"},
      {Cmd::ReverseDataset, "Select the set to reverse"},
      {Cmd::InvertDataset, "Select the set to invert"},
      {Cmd::Integral, "Select a Set to Integrate Over."},
      {Cmd::Mean, "Select a Set to Calculate Mean"},
      {Cmd::StandardDev, "Select a Set to Calculate Standard Deviation"},
      {Cmd::IntegrateDataset, "Select a Set to Integrate"},
      {Cmd::DifferentiateDataset, "Select a Set to differentiate"},
      {Cmd::Properties, "Select set to view properties"},
      {Cmd::Smooth, "Select a Set to Smooth"},
  };
  for (auto [id, prompt] : prompts) {
    ui.pickAnswers.push_back(-1);
    doc.statusText = "before";
    Run(id);
    EXPECT_EQ(ui.pickersShown.back().title, prompt);
    if (id == Cmd::ReverseDataset || id == Cmd::InvertDataset || id == Cmd::Properties)
      EXPECT_EQ(doc.statusText, "No DataSet selected");
    else
      EXPECT_EQ(doc.statusText, "before") << CommandNumber(id);
  }
  EXPECT_EQ(Col(*doc.sets[0], 0), (V{0, 1}));
}

TEST_F(PointwiseCommands, StatisticsOverSelectionOrVisibleRange) {
  Add("A", {0, 1, 2, 3}, {0, 1, 2, 3});
  Visible(-1, 10, -1, 10);
  Run(Cmd::Integral);
  EXPECT_EQ(doc.statusText, "Integral:4.5");
  Select(1, -5, 2, 5);
  Run(Cmd::Integral);
  EXPECT_EQ(doc.statusText, "Integral:1.5");
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_FALSE(doc.undoAvailable);
  Run(Cmd::Mean);
  EXPECT_EQ(doc.statusText, "Mean:1.5");
  // The selection as stored: reversed bounds hold nothing.
  Select(2, 5, 1, -5);
  Run(Cmd::StandardDev);
  EXPECT_EQ(doc.statusText, "Std dev:0");
  Select(0.5, 0.5, 0.5, 0.5);
  Run(Cmd::StandardDev);
  EXPECT_EQ(doc.statusText, "Std dev:1.29099");
}

TEST_F(PointwiseCommands, IntegrateAndDifferentiateTakeNoSnapshot) {
  Data_Set& a = Add("A", {0, 1, 2}, {1, 1, 1});
  Run(Cmd::IntegrateDataset);
  EXPECT_EQ(Col(a, 1), (V{0, 1, 2}));
  EXPECT_EQ(doc.statusText, "Integral done!");
  Run(Cmd::DifferentiateDataset);
  EXPECT_EQ(Col(a, 1), (V{1, 1}));
  EXPECT_EQ(doc.statusText, "Differentiation done!");
  EXPECT_FALSE(doc.undoAvailable);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 2);
}

TEST_F(PointwiseCommands, PropertiesShowsTheSet) {
  Add("A", {0, 1, 2, 4}, {5, -1, 7, 2});
  AnswerDialog<PropertiesDialogModel>([](PropertiesDialogModel& d) {
    EXPECT_EQ(d.name, "A");
    EXPECT_EQ(d.minimumY, -1);
    EXPECT_EQ(d.maximumY, 7);
    EXPECT_EQ(d.minimumX, 0);
    EXPECT_EQ(d.maximumX, 4);
    EXPECT_EQ(d.points, 4);
    EXPECT_TRUE(d.sorted);
    EXPECT_EQ(d.pointSpacing, 1);
    EXPECT_TRUE(d.evenlySpaced);
  });
  Run(Cmd::Properties);
  EXPECT_EQ(ui.dialogsShown, (std::vector<std::string>{"Dataset Properties"}));
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(PointwiseCommands, SmoothInPlaceOrACopy) {
  Data_Set& a = Add("A", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  AnswerDialog<SmoothingDialogModel>([](SmoothingDialogModel& d) {
    EXPECT_EQ(d.method, kSmoothSavitzkyGolay);
    EXPECT_EQ(d.points, "10");
    EXPECT_FALSE(d.copySet);
    EXPECT_TRUE(d.hasFormula());
    d.method = kSmoothReducing;
    d.copySet = true;
    d.points = "3";
    d.pointsLostFocus();
  });
  Run(Cmd::Smooth);
  ASSERT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(Col(a, 0).size(), 10u);
  EXPECT_EQ(doc.sets[1]->name, "Smoothed A");
  EXPECT_EQ(Col(*doc.sets[1], 1), (V{2, 5, 8.5}));
  EXPECT_EQ(doc.statusText, "Set smoothed");
  EXPECT_TRUE(doc.undoAvailable);
  EXPECT_TRUE(doc.IsModified());

  AnswerDialog<SmoothingDialogModel>([](SmoothingDialogModel& d) { d.method = kSmoothMovingWindow; });
  ui.pickAnswers.push_back(0);
  Run(Cmd::Smooth);
  EXPECT_DOUBLE_EQ(a.GetValue(1, 0), 3.5);  // y[0..5] / 6 with N = 10
}

TEST_F(PointwiseCommands, SmoothFailureLeavesSetsAndAddsNoCopy) {
  Data_Set& a = Add("A", {0, 1, 2, 3, 4, 5}, {1, 5, 2, 8, 3, 9});
  AnswerDialog<SmoothingDialogModel>([](SmoothingDialogModel& d) { d.copySet = true; });
  Run(Cmd::Smooth);  // six points: the Savitzky-Golay window is too short
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_EQ(doc.statusText, "Set not smoothed: bad args in savgol");
  AnswerDialog<SmoothingDialogModel>([](SmoothingDialogModel& d) {
    d.method = kSmoothMovingWindow;
    d.points = "LN(X-2)";
    d.pointsLostFocus();
  });
  Run(Cmd::Smooth);
  EXPECT_EQ(doc.statusText.rfind("Set not smoothed: Argument domain error", 0), 0u) << doc.statusText;
  EXPECT_EQ(Col(a, 1), (V{1, 5, 2, 8, 3, 9}));
  EXPECT_FALSE(doc.IsModified());
  // Cancel: nothing, not even a redraw.
  const int redraws = ui.redraws;
  AnswerDialog<SmoothingDialogModel>([](SmoothingDialogModel&) {}, false);
  doc.statusText.clear();
  Run(Cmd::Smooth);
  EXPECT_EQ(doc.statusText, "");
  EXPECT_EQ(ui.redraws, redraws);
}

TEST(SmoothingDialog, ATextThatDoesNotCompileKeepsTheEarlierFormula) {
  SmoothingDialogModel d;
  const double params[32] = {};
  d.points = "2*X";
  EXPECT_TRUE(d.pointsLostFocus());
  d.points = "3+(";
  EXPECT_FALSE(d.pointsLostFocus());
  EXPECT_FALSE(d.compileMessage.empty());
  EXPECT_EQ(d.formula()(params, 4.0), 8.0);
  std::map<std::string, FieldSetter> fields;
  for (auto& f : d.scriptFields()) fields[f.key] = f.set;
  EXPECT_TRUE(fields["n"]("X+("));  // a script fails rather than smooth with the old one
  EXPECT_FALSE(fields["number-of-points-to-smooth"]("7"));
  EXPECT_FALSE(fields["method"]("moving-window"));
  EXPECT_FALSE(fields["copy-smoothed-set"]("yes"));
  EXPECT_TRUE(fields["method"]("fast"));
  EXPECT_EQ(d.method, kSmoothMovingWindow);
  EXPECT_TRUE(d.copySet);
  EXPECT_EQ(d.formula()(params, 4.0), 7.0);
}

}  // namespace
}  // namespace zentrel
