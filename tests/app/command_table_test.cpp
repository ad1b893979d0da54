#include "app/commands/command_table.h"

#include <map>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "app/commands/bindings.h"
#include "model/document.h"

namespace zentrel {
namespace {

TEST(CommandTable, IdsAndScriptNamesAreUnique) {
  std::set<int> ids;
  std::set<std::string> names;
  for (const auto& command : AllCommands()) {
    EXPECT_TRUE(ids.insert(command.id).second) << "duplicate id " << command.id;
    const std::string name = ScriptName(command);
    if (!name.empty()) {
      EXPECT_TRUE(names.insert(name).second) << "duplicate script name " << name;
    }
  }
  EXPECT_EQ(ids.size(), 125u);
}

// The one walk over every subsystem's bindings, through the same list the
// table joins: an id bound twice, or bound to no row, fails here.
TEST(CommandTable, EveryBindingNamesOneCommandOnce) {
  std::map<Cmd, int> bound;
  for (BindingList list : BindingLists()) {
    for (const auto& binding : list()) {
      const CommandInfo* command = FindCommand(CommandNumber(binding.id));
      ASSERT_NE(command, nullptr) << CommandNumber(binding.id);
      EXPECT_NE(binding.handler, nullptr) << CommandNumber(binding.id);
      EXPECT_EQ(command->handler, binding.handler) << CommandNumber(binding.id);
      EXPECT_EQ(command->stateOf, binding.stateOf) << CommandNumber(binding.id);
      ++bound[binding.id];
    }
  }
  for (auto [id, count] : bound) EXPECT_EQ(count, 1) << "command " << CommandNumber(id) << " bound twice";
  for (const auto& command : AllCommands()) {
    EXPECT_EQ(command.handler != nullptr, bound.count(command.command()) == 1) << command.id;
    if (command.state != MenuState::None && command.handler != nullptr) {
      EXPECT_NE(command.stateOf, nullptr) << "command " << command.id << " has a menu state but no rule";
    }
  }
  EXPECT_EQ(BindingLists().size(), 11u);
}

// Cmd names every row and nothing else, in table order.
TEST(CommandTable, CmdNamesAreTheTableIds) {
  const auto table = AllCommands();
  ASSERT_EQ(table.size(), kAllCmds.size());
  for (size_t k = 0; k < table.size(); ++k) EXPECT_EQ(table[k].id, CommandNumber(kAllCmds[k])) << "row " << k;
  for (Cmd id : kAllCmds) EXPECT_EQ(FindCommand(id).id, CommandNumber(id));
  EXPECT_EQ(CommandNumber(Cmd::New), 57600);
  EXPECT_EQ(CommandNumber(Cmd::Smooth), 32797);
  EXPECT_EQ(FindCommand(Cmd::ToggleSet12).keys, (std::vector<std::string_view>{"Ctrl+2"}));
}

TEST(CommandTable, MenuLayoutNamesOnlyKnownCommandsOnce) {
  std::set<int> seen;
  std::vector<std::string> menus;
  for (const auto& entry : MenuBarLayout()) {
    if (entry.kind == MenuEntry::Menu) menus.emplace_back(entry.menuCaption);
    if (entry.kind != MenuEntry::Command) continue;
    EXPECT_NE(FindCommand(CommandNumber(entry.command)), nullptr) << CommandNumber(entry.command);
    EXPECT_TRUE(seen.insert(CommandNumber(entry.command)).second) << CommandNumber(entry.command);
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&View", "&Modify", "&Analysis", "&Calculate", "&Help"}));
  EXPECT_EQ(seen.size(), 100u);
  for (const std::optional<Cmd>& button : ToolbarLayout()) {
    if (button) {
      EXPECT_NE(FindCommand(CommandNumber(*button)), nullptr) << CommandNumber(*button);
    }
  }
}

TEST(CommandTable, ScriptNamesFollowTheCaptionRule) {
  struct Case {
    Cmd id;
    const char* name;
  };
  const Case cases[] = {{Cmd::ImportData, "import-data"},  {Cmd::OverlapSets, "overlap-sets"},          {Cmd::RefitSet, "refit-set"},
                        {Cmd::Open, "open"},         {Cmd::SelectActiveDataSets, "select-active-datasets"}, {Cmd::ScaleUp, "scale-up"},
                        {Cmd::ResidualAutocorrelation, "residual-autocorrelaiton"}, {Cmd::About, "about-zentrel"}};
  for (const auto& c : cases) {
    const CommandInfo* command = &FindCommand(c.id);
    EXPECT_EQ(ScriptName(*command), c.name);
    EXPECT_EQ(FindCommandByScriptName(c.name), command);
  }
  EXPECT_EQ(FindCommandByScriptName("32811")->id, CommandNumber(Cmd::ToggleSet1));
  EXPECT_EQ(FindCommandByScriptName("no-such-command"), nullptr);
  EXPECT_EQ(FindCommandByScriptName("32811x"), nullptr);
}

TEST(CommandTable, RowsCarryTheirExactTexts) {
  const CommandInfo* invert = &FindCommand(Cmd::InvertDataset);
  EXPECT_EQ(invert->caption, "Invert Dataset");
  EXPECT_TRUE(invert->prompt.empty());
  EXPECT_TRUE(invert->snapshot);
  const CommandInfo* undo = &FindCommand(Cmd::Undo);
  EXPECT_EQ(undo->keys, (std::vector<std::string_view>{"Alt+Backspace", "Ctrl+Z"}));
  EXPECT_EQ(undo->tooltip, "Undo");
  EXPECT_EQ(FindCommand(Cmd::ImportData).shortcutLabel, " I");
  EXPECT_EQ(FindCommand(Cmd::Fit).shortcutLabel, "f");
  EXPECT_EQ(FindCommand(Cmd::Fit).keys, (std::vector<std::string_view>{"F"}));
  EXPECT_EQ(FindCommand(Cmd::EnlargeResidual).keys, (std::vector<std::string_view>{"+"}));
  EXPECT_EQ(FindCommand(Cmd::ToggleSet13).keys, (std::vector<std::string_view>{"Ctrl+3"}));
  EXPECT_EQ(FindCommand(Cmd::ToggleSet10).keys, (std::vector<std::string_view>{"0"}));
  EXPECT_EQ(FindCommand(Cmd::WaveImport).keys, (std::vector<std::string_view>{"X"}));
  EXPECT_EQ(FindCommand(Cmd::WaveImport).prompt, "Test loading a .wav file");
}

TEST(CommandTable, SnapshotFlagsMatchTheCommandsThatTakeOne) {
  const std::set<Cmd> snapshotting = {
      Cmd::BaselineCorrection, Cmd::CombineSets, Cmd::DeletePoints, Cmd::DeleteAllFits, Cmd::DeleteFit,
      Cmd::Fit, Cmd::LinearInterpolation, Cmd::ImportData, Cmd::Normalize, Cmd::Operate, Cmd::OverlapScalingX,
      Cmd::OverlapSets, Cmd::OverlapContInt, Cmd::ShiftPeak, Cmd::Smooth, Cmd::Translate, Cmd::CreateDataSet,
      Cmd::HideAllFits, Cmd::HideShowFit, Cmd::ImportGraph, Cmd::ChangeSetColor, Cmd::CreateDataSetFromFit,
      Cmd::SetOperate, Cmd::RenameDataset, Cmd::Labels, Cmd::MultipleFileImporting, Cmd::Autocorrelation,
      Cmd::CopyDataSet, Cmd::EditComments, Cmd::ConnectionLines, Cmd::ResidualAutocorrelation,
      Cmd::ReverseDataset, Cmd::InvertDataset, Cmd::PowerSpectrum, Cmd::FourierTransform, Cmd::SaveScaledSub,
      Cmd::Deconvolve, Cmd::Convolution};
  for (const auto& command : AllCommands())
    EXPECT_EQ(command.snapshot, snapshotting.count(command.command()) == 1) << command.id;
}

TEST(CommandTable, MenuNamesDropMarksDotsAndSpareBlanks) {
  const std::pair<Cmd, const char*> cases[] = {
      {Cmd::Smooth, "Smooth"},
      {Cmd::SaveAs, "Save As"},
      {Cmd::SelectActiveDataSets, "Select Active DataSets"},
      {Cmd::ScaleUp, "Scale up"},
      {Cmd::HideShowFit, "Hide/Show Fit"},
      {Cmd::ToggleSet1, ""},
  };
  for (const auto& [id, name] : cases) EXPECT_EQ(MenuName(FindCommand(id)), name) << CommandNumber(id);
}

TEST(CommandTable, RedoHasItsKeysAndFollowsTheHistory) {
  const CommandInfo& redo = FindCommand(Cmd::Redo);
  EXPECT_EQ(redo.keys, (std::vector<std::string_view>{"Ctrl+Y", "Ctrl+Shift+Z"}));
  EXPECT_EQ(ScriptName(redo), "redo");
  EXPECT_FALSE(redo.snapshot);
  CZentrelDoc doc;
  EXPECT_FALSE(IsCommandEnabled(doc, redo));
  doc.TakeUndoSnapshot("Smooth");
  EXPECT_FALSE(IsCommandEnabled(doc, redo));
  doc.Undo();
  EXPECT_TRUE(IsCommandEnabled(doc, redo));
  doc.Redo();
  EXPECT_FALSE(IsCommandEnabled(doc, redo));
  EXPECT_TRUE(IsCommandEnabled(doc, FindCommand(Cmd::Undo)));
}

TEST(CommandTable, StatesFollowTheDocument) {
  CZentrelDoc doc;
  const CommandInfo& undo = FindCommand(Cmd::Undo);
  EXPECT_FALSE(IsCommandEnabled(doc, undo));
  doc.undoAvailable = 1;
  EXPECT_TRUE(IsCommandEnabled(doc, undo));
  EXPECT_FALSE(IsCommandEnabled(doc, FindCommand(Cmd::Cut)));  // Cut has no handler
  EXPECT_FALSE(IsCommandEnabled(doc, FindCommand(Cmd::RecentFile)));  // Recent File starts disabled
  EXPECT_TRUE(IsCommandChecked(doc, FindCommand(Cmd::UseAxisAbbreviations)));   // abbreviations start on
  EXPECT_FALSE(IsCommandChecked(doc, FindCommand(Cmd::LogYAxis)));
  doc.graph.logY = 1;
  EXPECT_TRUE(IsCommandChecked(doc, FindCommand(Cmd::LogYAxis)));
}

}  // namespace
}  // namespace zentrel
