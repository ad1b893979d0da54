// Set arithmetic commands run through the dispatcher as a front end would.

#include <cmath>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/set_operations_dialog.h"
#include "fake_ui.h"
#include "fit/catalogue.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class SetArithmeticCommands : public ::testing::Test {
 protected:
  Data_Set& Add(const char* name, const std::vector<double>& x, const std::vector<double>& y) {
    auto set = std::make_unique<Data_Set>();
    set->name = name;
    for (size_t i = 0; i < x.size(); ++i) {
      set->SetValue(0, static_cast<int>(i), x[i]);
      set->SetValue(1, static_cast<int>(i), y[i]);
    }
    return doc.AppendSet(std::move(set));
  }
  void AddLines() {
    Add("A", {0, 1, 2, 3, 4, 5, 6}, {0, 10, 20, 30, 40, 50, 60});
    Add("B", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5});
  }
  DispatchResult Run(Cmd id) { return Dispatch(doc, ui, id); }
  // Answers the Set Operations dialog with the given items and operation.
  void AnswerOperations(int set1, int set2, int operation) {
    ui.dialogAnswers.push_back([=](DialogModel& d) {
      auto& dialog = dynamic_cast<SetOperationsDialogModel&>(d);
      dialog.set1 = set1;
      dialog.set2 = set2;
      dialog.operation = operation;
      return true;
    });
  }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(SetArithmeticCommands, SetOperateWithoutSetsSaysSo) {
  Run(Cmd::SetOperate);
  EXPECT_EQ(doc.statusText, "No Data Sets!");
  EXPECT_TRUE(ui.dialogsShown.empty());
}

TEST_F(SetArithmeticCommands, DialogListsSetsAndFitsWithPlusPreselected) {
  AddLines();
  auto fit = std::make_unique<Fit>();
  fit->name = "Exponential";
  doc.sets[0]->fits.push_back(std::move(fit));
  SetOperationsDialogModel dialog(doc);
  EXPECT_EQ(dialog.title(), "Set Operations");
  EXPECT_EQ(dialog.items(), (std::vector<std::string>{"0:A", "0-0:Exponential", "1:B"}));
  EXPECT_EQ(dialog.set1, 0);
  EXPECT_EQ(dialog.set2, 0);
  EXPECT_EQ(dialog.operation, 1);

  struct Parsed {
    const char* text;
    int set, fit;
  };
  const Parsed cases[] = {{"0:A", 0, -1}, {"3-2:Gauss", 3, 2}, {"1:a-b:c", 1, -1}, {"12-0:x", 12, 0}};
  for (const Parsed& c : cases) {
    const auto target = SetOperationsDialogModel::ParseItem(c.text);
    ASSERT_TRUE(target) << c.text;
    EXPECT_EQ(target->set, c.set);
    EXPECT_EQ(target->fit, c.fit);
  }
  EXPECT_FALSE(SetOperationsDialogModel::ParseItem("x:y"));
  EXPECT_FALSE(SetOperationsDialogModel::ParseItem("1-:y"));
}

TEST_F(SetArithmeticCommands, OkWithoutChangesAddsTheFirstSetToItself) {
  AddLines();
  ui.dialogAnswers.push_back([](DialogModel&) { return true; });
  Run(Cmd::SetOperate);
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.sets[2]->name, "A+A");
  EXPECT_DOUBLE_EQ(doc.sets[2]->GetValue(1, 3), 60);
  EXPECT_EQ(doc.statusText, "new Set Created");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(SetArithmeticCommands, SetOperateOnAFitAndCancel) {
  AddLines();
  auto fit = std::make_unique<Fit>();
  SelectModel(*fit, "Polynomial", 1);
  fit->name = "Line";
  fit->params[2] = 100;  // 100 x
  fit->fitStart = 0;
  fit->fitEnd = 10;
  doc.sets[1]->fits.push_back(std::move(fit));
  AnswerOperations(2, 1, 2);  // "1-0:Line" - "1:B"
  Run(Cmd::SetOperate);
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.sets[2]->name, "Line-B");
  EXPECT_DOUBLE_EQ(doc.sets[2]->GetValue(1, 0), 99);  // model minus data at x = 1

  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  doc.statusText.clear();
  Run(Cmd::SetOperate);
  EXPECT_EQ(doc.SetCount(), 3);
  EXPECT_TRUE(doc.statusText.empty());
  EXPECT_EQ(doc.undoAvailable, 1);
}

TEST_F(SetArithmeticCommands, SetOperateFailureAddsNothing) {
  Add("A", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4});
  Add("Short", {1, 2, 3}, {1, 2, 3});
  AnswerOperations(0, 1, 1);
  Run(Cmd::SetOperate);
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.statusText, "Set operation failed");
}

TEST_F(SetArithmeticCommands, CombineAppendsTheMergedActiveSets) {
  Add("first", {1, 3}, {10, 30});
  Add("off", {2.5}, {99}).active = 0;
  Add("second", {2, 3}, {20, 50});
  Run(Cmd::CombineSets);
  ASSERT_EQ(doc.SetCount(), 4);
  const Data_Set& combined = *doc.sets[3];
  EXPECT_EQ(combined.name, "first+second");
  EXPECT_EQ(combined.PointCount(0), 3);
  EXPECT_DOUBLE_EQ(combined.GetValue(1, 2), 40);
  EXPECT_EQ(doc.statusText, "Sets successfully combined");
  Run(Cmd::Undo);
  EXPECT_EQ(doc.SetCount(), 3);
}

TEST_F(SetArithmeticCommands, CombineWithNoActiveSetDoesNothing) {
  Add("off", {1}, {1}).active = 0;
  Run(Cmd::CombineSets);
  EXPECT_EQ(doc.SetCount(), 1);
  EXPECT_TRUE(doc.statusText.empty());
  EXPECT_EQ(ui.redraws, 0);
}

TEST_F(SetArithmeticCommands, OverlapsUseTheSelectionOrTheVisibleRange) {
  std::vector<double> x, y1, y3;
  for (int k = 0; k <= 40; ++k) {
    x.push_back(k * 0.1);
    y1.push_back(std::sin(k * 0.1));
    y3.push_back(3 * std::sin(k * 0.1));
  }
  Add("ref", x, y1);
  Add("three", x, y3);
  doc.graph.xMin = 0, doc.graph.xMax = 4;
  doc.selectionX1 = 3, doc.selectionX2 = 0.5;  // either order
  Run(Cmd::OverlapSets);
  EXPECT_NEAR(doc.sets[1]->GetValue(1, 10), std::sin(1.0), 1e-7);
  EXPECT_TRUE(doc.statusText.empty());

  doc.sets[1]->ApplyOperation(0, 0, 3, 2);  // twice the reference again
  doc.ClearSelection();                     // no selection: the visible range
  Run(Cmd::OverlapContInt);
  EXPECT_NEAR(doc.sets[1]->GetValue(1, 10), std::sin(1.0), 1e-6);
  EXPECT_EQ(doc.undoAvailable, 1);
}

TEST_F(SetArithmeticCommands, OverlapScalingXScalesTheSetsThemselves) {
  std::vector<double> ax, bx, y;
  for (int k = 0; k <= 10; ++k) {
    ax.push_back(k);
    bx.push_back(3.0 * k);
    y.push_back(k * k / 10.0);
  }
  Add("a", ax, y);
  Add("b", bx, y);
  doc.graph.xMin = -1, doc.graph.xMax = 31, doc.graph.yMin = -1, doc.graph.yMax = 11;
  doc.ClearSelection();
  Run(Cmd::OverlapScalingX);
  EXPECT_NEAR(doc.sets[1]->GetValue(0, 10), 10, 1e-6);
  EXPECT_EQ(doc.sets[0]->GetValue(0, 10), 10);
}

TEST_F(SetArithmeticCommands, ScaledSubtractionArrowsAndSave) {
  AddLines();
  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  ASSERT_EQ(ui.pickersShown.size(), 2u);
  EXPECT_EQ(ui.pickersShown[0].title, "Select the 1st set");
  EXPECT_EQ(ui.pickersShown[1].title, "Select the 2nd set");
  EXPECT_EQ(doc.statusText, "Scale factor:1");
  EXPECT_EQ(doc.scaledPreviewActive, 1);
  EXPECT_EQ(doc.scaledPreview.name, "A-B");
  EXPECT_DOUBLE_EQ(doc.scaledPreview.GetValue(1, 0), 9);  // 10 - 1 at x = 1

  Run(Cmd::ScaleIncrease);
  EXPECT_EQ(doc.statusText, "Scale factor:1.1");
  EXPECT_NEAR(doc.scaledPreview.GetValue(1, 0), 10 - 1.1, 1e-12);
  EXPECT_EQ(doc.scaledPreview.PointCount(0), 5);
  Run(Cmd::ScaleUp);
  EXPECT_EQ(doc.statusText, "Scale factor:1.1");  // no status of its own
  Run(Cmd::ScaleIncrease);
  EXPECT_EQ(doc.statusText, "Scale factor:2.1");
  Run(Cmd::ScaleDown);
  Run(Cmd::ScaleDown);
  Run(Cmd::ScaleDecrease);
  EXPECT_EQ(doc.statusText, "Scale factor:2.09");

  Run(Cmd::SaveScaledSub);
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  ASSERT_EQ(doc.SetCount(), 3);
  EXPECT_EQ(doc.statusText, "Scaled subtraction with factor:2.09\n");
  EXPECT_NEAR(doc.sets[2]->GetValue(1, 4), 50 - 2.09 * 5, 1e-12);
  EXPECT_EQ(doc.undoAvailable, 1);
}

TEST_F(SetArithmeticCommands, UpThenRightGivesTwo) {
  AddLines();
  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  Run(Cmd::ScaleUp);
  Run(Cmd::ScaleIncrease);
  EXPECT_EQ(doc.statusText, "Scale factor:2");
}

TEST_F(SetArithmeticCommands, ArrowsWithoutAPreviewDoNothing) {
  AddLines();
  doc.statusText = "before";
  for (Cmd id : {Cmd::ScaleIncrease, Cmd::ScaleDecrease, Cmd::ScaleUp, Cmd::ScaleDown, Cmd::SaveScaledSub}) Run(id);
  EXPECT_EQ(doc.statusText, "before");
  EXPECT_EQ(doc.scaleFactor, 1.0);
  EXPECT_EQ(doc.scaleStep, 0.1);
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(ui.redraws, 0);

  ui.pickAnswers = {-1};
  Run(Cmd::ScaledSubtr);
  EXPECT_EQ(doc.statusText, "No DataSet selected");
  EXPECT_EQ(doc.scaledPreviewActive, 0);
}

TEST_F(SetArithmeticCommands, ClosingOrUndoingEndsThePreview) {
  AddLines();
  Add("C", {0, 1, 2, 3}, {0, 0, 0, 0});
  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  ui.pickAnswers = {2};
  Run(Cmd::CloseData);  // another set: the preview stays
  EXPECT_EQ(doc.scaledPreviewActive, 1);
  ui.pickAnswers = {1};
  Run(Cmd::CloseData);  // the second set goes
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.scaledSecond, nullptr);
  doc.statusText.clear();
  Run(Cmd::ScaleIncrease);
  EXPECT_TRUE(doc.statusText.empty());

  Add("B", {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5});
  ui.dialogAnswers.push_back([](DialogModel&) { return true; });
  Run(Cmd::SetOperate);  // takes a snapshot
  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  EXPECT_EQ(doc.scaledPreviewActive, 1);
  Run(Cmd::Undo);
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.scaledFirst, nullptr);
  Run(Cmd::ScaleIncrease);  // nothing to refill from, nothing read
  EXPECT_EQ(doc.scaledPreviewActive, 0);

  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  doc.ResetDocument();  // New
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.scaledFirst, nullptr);
  EXPECT_EQ(doc.scaledSecond, nullptr);
}

TEST_F(SetArithmeticCommands, ScaledSubtrRefusesASetWithoutASpline) {
  Add("A", {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4});
  Add("Short", {1, 2, 3}, {1, 2, 3});
  ui.pickAnswers = {0, 1};
  Run(Cmd::ScaledSubtr);
  EXPECT_EQ(doc.scaledPreviewActive, 0);
  EXPECT_EQ(doc.statusText, "Set operation failed");
}

}  // namespace
}  // namespace zentrel
