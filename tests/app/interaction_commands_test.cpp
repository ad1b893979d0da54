#include <cmath>

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/form_dialog.h"
#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "view/nice_numbers.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class InteractionCommands : public ::testing::Test {
 protected:
  Data_Set& AddSet(std::vector<double> x, std::vector<double> y) {
    auto set = std::make_unique<Data_Set>();
    for (size_t i = 0; i < x.size(); ++i) set->SetValue(0, static_cast<int>(i), x[i]);
    for (size_t i = 0; i < y.size(); ++i) set->SetValue(1, static_cast<int>(i), y[i]);
    return doc.AppendSet(std::move(set));
  }
  // Answers the next dialog by typing into its fields, then OK unless the
  // dialog refuses what was typed.
  void Answer(std::vector<std::pair<std::string, std::string>> typed, std::string* refusal = nullptr) {
    ui.dialogAnswers.push_back([typed, refusal](DialogModel& dialog) {
      for (auto& field : dialog.scriptFields())
        for (auto& [key, value] : typed)
          if (field.key == key) field.set(value);
      auto error = dialog.validate();
      if (error && refusal) *refusal = *error;
      return !error;
    });
  }
  FormDialogModel* shown = nullptr;
  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(InteractionCommands, BoxAreaStartsAtTheRoundedRangeAndStoresAsTypedWithoutRedraw) {
  doc.graph.SetRange(0.13, -0.7, 9.2, 4.1);
  std::vector<std::string> shownTexts;
  ui.dialogAnswers.push_back([&](DialogModel& dialog) {
    for (const auto& field : dynamic_cast<FormDialogModel&>(dialog).fields) shownTexts.push_back(field.label + "=" + field.text);
    for (auto& field : dialog.scriptFields()) {
      if (field.key == "xmin") field.set("6");
      if (field.key == "xmax") field.set("2");
      if (field.key == "ymin") field.set("1");
      if (field.key == "ymax") field.set("3");
    }
    return !dialog.validate();
  });
  Dispatch(doc, ui, Cmd::BoxArea);
  EXPECT_EQ(ui.dialogsShown.front(), "Enter Selection Rectangle");
  EXPECT_EQ(shownTexts, (std::vector<std::string>{"Xmin=" + FormatFieldNumber(NiceFloor(0.13)), "Ymin=-0.75",
                                                 "Xmax=10", "Ymax=5"}));
  EXPECT_EQ(doc.selectionX1, 6);
  EXPECT_EQ(doc.selectionX2, 2);
  EXPECT_EQ(doc.selectionY1, 1);
  EXPECT_EQ(doc.selectionY2, 3);
  EXPECT_EQ(ui.redraws, 0);

  // The typed rectangle is what Zoom uses next.
  Dispatch(doc, ui, Cmd::Zoom);
  EXPECT_EQ(doc.graph.GetRange(), (DataRange{2, 1, 6, 3}));
}

TEST_F(InteractionCommands, BoxAreaCancelAndBadNumbersChangeNothing) {
  doc.ClearSelection();
  const double before = doc.selectionX1;
  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  Dispatch(doc, ui, Cmd::BoxArea);
  std::string refusal;
  Answer({{"xmin", "1,5"}}, &refusal);
  Dispatch(doc, ui, Cmd::BoxArea);
  EXPECT_EQ(refusal, "Please enter a number.");
  EXPECT_EQ(doc.selectionX1, before);
}

TEST_F(InteractionCommands, TranslateTwiceMovesActiveSetsAndTheirFits) {
  Data_Set& moved = AddSet({1, 2}, {10, 20});
  Data_Set& idle = AddSet({1, 2}, {10, 20});
  idle.active = 0;
  auto fit = std::make_unique<Fit>();
  fit->params[0] = 0.5;
  fit->params[1] = 0.25;
  fit->freeFlags[0] = 0;
  fit->fitStart = 1;
  fit->fitEnd = 2;
  Fit& f = *fit;
  moved.fits.push_back(std::move(fit));

  doc.cursorX = 3, doc.cursorY = 4;
  Dispatch(doc, ui, Cmd::Translate);
  EXPECT_EQ(doc.statusText, "Translating, select Translate when done");
  EXPECT_EQ(ui.redraws, 0);
  EXPECT_TRUE(doc.undoAvailable);
  EXPECT_FALSE(doc.IsModified());

  doc.cursorX = 4, doc.cursorY = 6;
  Dispatch(doc, ui, Cmd::Translate);
  EXPECT_EQ(doc.statusText, "Translated 1 2");
  EXPECT_EQ(moved.GetValue(0, 0), 2);
  EXPECT_EQ(moved.GetValue(1, 1), 22);
  EXPECT_EQ(idle.GetValue(0, 0), 1);
  EXPECT_EQ(f.params[0], 2.5);
  EXPECT_EQ(f.params[1], 1.25);
  EXPECT_EQ(f.freeFlags[0], 0);  // the held flag survives
  EXPECT_EQ(f.fitStart, 2);
  EXPECT_EQ(f.fitEnd, 3);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_FALSE(doc.graph.translating);

  // The snapshot of the second Translate holds the state before the shift.
  doc.Undo();
  EXPECT_EQ(doc.sets[0]->GetValue(0, 0), 1);
}

TEST_F(InteractionCommands, RotatePolarOriginStartsAtZero) {
  doc.graph.polarOrigin = 45;
  std::string shownText;
  ui.dialogAnswers.push_back([&](DialogModel& dialog) {
    auto& form = dynamic_cast<FormDialogModel&>(dialog);
    shownText = form.fields.at(0).text;
    dialog.scriptFields().at(0).set("90");
    return true;
  });
  Dispatch(doc, ui, Cmd::RotatePolarOrigin);
  EXPECT_EQ(ui.dialogsShown.front(), "Input Polar Origin");
  EXPECT_EQ(shownText, "0");
  EXPECT_EQ(doc.graph.polarOrigin, 90);
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(InteractionCommands, LabelsStoreOnOkOnly) {
  doc.graph.title = "Old";
  ui.dialogAnswers.push_back([](DialogModel&) { return false; });
  Dispatch(doc, ui, Cmd::Labels);
  EXPECT_EQ(doc.graph.title, "Old");
  EXPECT_FALSE(doc.IsModified());

  Answer({{"title", "Decay"}, {"xaxis", "t (s)"}, {"yaxis", "Counts"}});
  Dispatch(doc, ui, Cmd::Labels);
  EXPECT_EQ(doc.graph.title, "Decay");
  EXPECT_EQ(doc.graph.xLabel, "t (s)");
  EXPECT_EQ(doc.graph.yLabel, "Counts");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 1);
}

TEST_F(InteractionCommands, PrintSizeRefusesValuesBeyondElevenInches) {
  std::string refusal;
  Answer({{"xmax", "12"}}, &refusal);
  Dispatch(doc, ui, Cmd::PrintSize);
  EXPECT_EQ(refusal, "Please enter a number between 0 and 11.");
  EXPECT_EQ(doc.printXMax, 10);

  Answer({{"xmin", "0"}, {"xmax", "11"}, {"ymin", "0.25"}, {"ymax", "8"}});
  Dispatch(doc, ui, Cmd::PrintSize);
  EXPECT_EQ(doc.printXMin, 0);
  EXPECT_EQ(doc.printXMax, 11);
  EXPECT_EQ(doc.printYMin, 0.25);
  EXPECT_EQ(doc.printYMax, 8);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(ui.redraws, 0);
}

TEST(FormDialog, NumbersParseWholeEditsOnly) {
  EXPECT_EQ(ParseFieldNumber(" 2.5e1 "), 25);
  EXPECT_FALSE(ParseFieldNumber(""));
  EXPECT_FALSE(ParseFieldNumber("3x"));
  EXPECT_FALSE(ParseFieldNumber("nan"));
  EXPECT_EQ(FormatFieldNumber(0.1), "0.1");
}

}  // namespace
}  // namespace zentrel
