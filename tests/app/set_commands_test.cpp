// The whole-set commands, run through the dispatcher as a front end would.

#include <gtest/gtest.h>

#include "app/commands/dispatch.h"
#include "app/dialogs/text_dialog.h"
#include "fake_ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "set_names.h"

namespace zentrel {
namespace {

using testing::FakeUi;

class SetCommands : public ::testing::Test {
 protected:
  void AddSets(std::initializer_list<const char*> names) {
    for (auto name : names) {
      auto set = std::make_unique<Data_Set>();
      set->name = name;
      set->SetValue(0, 0, 1), set->SetValue(1, 0, 2);
      set->modified = false;
      doc.AppendSet(std::move(set));
    }
  }
  std::vector<std::string> Names() const { return testing::SetNames(doc); }
  DispatchResult Run(Cmd id) { return Dispatch(doc, ui, id); }

  CZentrelDoc doc;
  FakeUi ui;
};

TEST_F(SetCommands, SingleSetIsPickedWithoutAskingOnlyWhereAllowed) {
  AddSets({"P"});
  ui.dialogAnswers.push_back([](DialogModel& d) {
    static_cast<TextDialogModel&>(d).text = "Renamed";
    return true;
  });
  ui.dialogAnswers.push_back([](DialogModel&) { return true; });
  ui.colourAnswers.push_back(0x123456);
  Run(Cmd::RenameDataset);
  Run(Cmd::EditComments);
  Run(Cmd::ChangeSetColor);
  Run(Cmd::ConnectionLines);
  EXPECT_TRUE(ui.pickersShown.empty());
  EXPECT_EQ(doc.sets[0]->name, "Renamed");
  EXPECT_EQ(doc.statusText, "Set renamed");
  EXPECT_EQ(doc.sets[0]->color, 0x123456u);
  EXPECT_EQ(doc.sets[0]->connectLines, 0);

  for (Cmd id : {Cmd::CloseData, Cmd::CopyDataSet, Cmd::MoveDatasetToBack, Cmd::MoveDatasetToFront}) {
    ui.pickAnswers.push_back(-1);
    Run(id);
  }
  ASSERT_EQ(ui.pickersShown.size(), 4u);
  EXPECT_EQ(ui.pickersShown[0].title, "Select a Set to Close");
  EXPECT_EQ(ui.pickersShown[1].title, "Select a Set to Copy");
  EXPECT_EQ(ui.pickersShown[2].title, "Select a Set to move to Back");
  EXPECT_EQ(ui.pickersShown[3].title, "Select a Set to move to front");
  EXPECT_EQ(doc.SetCount(), 1);
}

TEST_F(SetCommands, MoveToBackAndFront) {
  AddSets({"P", "Q", "R"});
  ui.pickAnswers = {2, 1};
  Run(Cmd::MoveDatasetToBack);
  EXPECT_EQ(Names(), (std::vector<std::string>{"R", "P", "Q"}));
  Run(Cmd::MoveDatasetToFront);
  EXPECT_EQ(Names(), (std::vector<std::string>{"R", "Q", "P"}));
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_EQ(ui.redraws, 2);
}

TEST_F(SetCommands, ActivationKeysActOnlyOnExistingIndices) {
  AddSets({"P", "Q"});
  Run(Cmd::ToggleSet3);
  EXPECT_EQ(ui.redraws, 0);
  Run(Cmd::ToggleSet2);
  EXPECT_EQ(doc.sets[1]->active, 0);
  EXPECT_EQ(doc.sets[0]->active, 1);
  Run(Cmd::ToggleSet12);  // index 11
  EXPECT_EQ(ui.redraws, 1);
  EXPECT_TRUE(doc.statusText.empty());
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(SetCommands, CtrlDigitKeysMapToIndicesTenToNineteen) {
  for (int i = 0; i < 20; ++i) AddSets({"S"});
  const Cmd ctrlIds[] = {Cmd::ToggleSet11, Cmd::ToggleSet12, Cmd::ToggleSet13, Cmd::ToggleSet14, Cmd::ToggleSet15,
                         Cmd::ToggleSet16, Cmd::ToggleSet17, Cmd::ToggleSet18, Cmd::ToggleSet19, Cmd::ToggleSet20};
  for (int k = 0; k < 10; ++k) {
    Run(ctrlIds[k]);
    EXPECT_EQ(doc.sets[static_cast<size_t>(10 + k)]->active, 0) << "Ctrl id " << CommandNumber(ctrlIds[k]);
  }
  Run(Cmd::ToggleSet10);  // key 0
  EXPECT_EQ(doc.sets[9]->active, 0);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(doc.sets[static_cast<size_t>(i)]->active, 1);
}

TEST_F(SetCommands, SelectActiveDataSetsListsPlusAndMinus) {
  Run(Cmd::SelectActiveDataSets);
  EXPECT_EQ(doc.statusText, "No Data Sets Loaded!");
  EXPECT_TRUE(ui.pickersShown.empty());
  EXPECT_EQ(ui.redraws, 0);

  AddSets({"P", "Q"});
  doc.sets[1]->active = 0;
  ui.pickAnswers = {0};
  Run(Cmd::SelectActiveDataSets);
  ASSERT_EQ(ui.pickersShown.size(), 1u);
  EXPECT_EQ(ui.pickersShown[0].title, "Select a Dataset to Toggle Activation");
  EXPECT_EQ(ui.pickersShown[0].lines, (std::vector<std::string>{"+P", "-Q"}));
  EXPECT_EQ(doc.sets[0]->active, 0);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);

  doc.sets.pop_back();
  ui.pickAnswers = {-1};
  Run(Cmd::SelectActiveDataSets);  // shown even for a single set
  EXPECT_EQ(ui.pickersShown.size(), 2u);
  EXPECT_EQ(ui.redraws, 2);  // redrawn on Cancel too
}

TEST_F(SetCommands, CopyThenUndoOnce) {
  AddSets({"P", "Q"});
  ui.pickAnswers = {0};
  Run(Cmd::CopyDataSet);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q", "P"}));
  EXPECT_EQ(doc.statusText, "Set Copied!");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(Run(Cmd::Undo), DispatchResult::Done);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q"}));
  EXPECT_EQ(Run(Cmd::Undo), DispatchResult::Disabled);
  EXPECT_EQ(Names(), (std::vector<std::string>{"P", "Q"}));
}

TEST_F(SetCommands, CancelKeepsOnlyTheSnapshot) {
  AddSets({"P", "Q"});
  ui.pickAnswers = {-1};
  Run(Cmd::CopyDataSet);
  EXPECT_EQ(doc.SetCount(), 2);
  EXPECT_EQ(doc.undoAvailable, 1);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_TRUE(doc.statusText.empty());

  ui.pickAnswers = {1};
  ui.dialogAnswers.push_back([](DialogModel& d) {
    static_cast<TextDialogModel&>(d).text = "never";
    return false;
  });
  Run(Cmd::RenameDataset);
  EXPECT_EQ(doc.sets[1]->name, "Q");
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(SetCommands, CloseDataDropsFitReferences) {
  AddSets({"source", "user"});
  for (int i = 1; i < 6; ++i) doc.sets[0]->SetValue(0, i, i), doc.sets[0]->SetValue(1, i, 1);
  doc.sets[1]->fits.push_back(std::make_unique<Fit>());
  doc.sets[1]->fits[0]->setConvolutionSource(doc.sets[0].get());
  doc.sets[0]->fits.push_back(std::make_unique<Fit>());
  doc.lastEditedFit = doc.sets[0]->fits[0].get();
  ui.pickAnswers = {0};
  Run(Cmd::CloseData);
  EXPECT_EQ(Names(), (std::vector<std::string>{"user"}));
  EXPECT_EQ(doc.sets[0]->fits[0]->convolutionSource, nullptr);
  EXPECT_EQ(doc.lastEditedFit, nullptr);
  EXPECT_EQ(doc.statusText, "Closed Set");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(doc.undoAvailable, 0);  // Close Data takes no snapshot
}

TEST_F(SetCommands, EditCommentsKeepsCrLfLines) {
  AddSets({"P"});
  ui.dialogAnswers.push_back([](DialogModel& d) {
    EXPECT_EQ(d.title(), "Comments Dialog");
    for (auto& field : d.scriptFields()) field.set("first\nsecond");
    return true;
  });
  Run(Cmd::EditComments);
  EXPECT_EQ(doc.sets[0]->comment, "first\r\nsecond");
  EXPECT_TRUE(doc.IsModified());
  EXPECT_TRUE(doc.statusText.empty());
}

TEST_F(SetCommands, NewResetsTheDocument) {
  AddSets({"P"});
  doc.statusText = "old";
  doc.TakeUndoSnapshot();
  Run(Cmd::New);
  EXPECT_EQ(doc.SetCount(), 0);
  EXPECT_EQ(doc.undoAvailable, 0);
  EXPECT_TRUE(doc.statusText.empty());
}

TEST_F(SetCommands, CommandsWithoutHandlersNeverRun) {
  EXPECT_EQ(Run(Cmd::Cut), DispatchResult::NotImplemented);  // Cut
  EXPECT_EQ(Dispatch(doc, ui, 12345), DispatchResult::UnknownCommand);  // no command has this number
  EXPECT_EQ(doc.undoAvailable, 0);  // no snapshot for a command that cannot run
}

}  // namespace
}  // namespace zentrel
