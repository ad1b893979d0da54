#include "app/commands/command_table.h"

#include <map>

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
  EXPECT_EQ(ids.size(), 118u);
}

TEST(CommandTable, EveryBindingNamesOneCommandOnce) {
  std::map<int, int> bound;
  for (auto list : {SetCommandBindings(), ViewCommandBindings(), IoCommandBindings(), ExpressionCommandBindings(),
                     FileCommandBindings(), InteractionCommandBindings()}) {
    for (const auto& binding : list) {
      EXPECT_NE(FindCommand(binding.id), nullptr) << binding.id;
      EXPECT_NE(binding.handler, nullptr) << binding.id;
      ++bound[binding.id];
    }
  }
  for (auto [id, count] : bound) EXPECT_EQ(count, 1) << "command " << id << " bound twice";
  for (const auto& command : AllCommands()) {
    if (command.state != MenuState::None && command.handler != nullptr) {
      EXPECT_NE(command.stateOf, nullptr) << "command " << command.id << " has a menu state but no rule";
    }
  }
}

TEST(CommandTable, MenuLayoutNamesOnlyKnownCommandsOnce) {
  std::set<int> seen;
  std::vector<std::string> menus;
  for (const auto& entry : MenuBarLayout()) {
    if (entry.kind == MenuEntry::Menu) menus.emplace_back(entry.menuCaption);
    if (entry.kind != MenuEntry::Command) continue;
    EXPECT_NE(FindCommand(entry.commandId), nullptr) << entry.commandId;
    EXPECT_TRUE(seen.insert(entry.commandId).second) << entry.commandId;
  }
  EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&View", "&Modify", "&Analysis", "&Calculate", "&Help"}));
  EXPECT_EQ(seen.size(), 93u);
  for (int id : ToolbarLayout()) {
    if (id != 0) {
      EXPECT_NE(FindCommand(id), nullptr) << id;
    }
  }
}

TEST(CommandTable, ScriptNamesFollowTheCaptionRule) {
  struct Case {
    int id;
    const char* name;
  };
  const Case cases[] = {{32771, "import-data"},  {32799, "overlap-sets"},          {32790, "refit-set"},
                        {57601, "open"},         {32774, "select-active-datasets"}, {32845, "scale-up"},
                        {32834, "residual-autocorrelaiton"}, {57664, "about-zentrel"}};
  for (const auto& c : cases) {
    const CommandInfo* command = FindCommand(c.id);
    ASSERT_NE(command, nullptr) << c.id;
    EXPECT_EQ(ScriptName(*command), c.name);
    EXPECT_EQ(FindCommandByScriptName(c.name), command);
  }
  EXPECT_EQ(FindCommandByScriptName("32811")->id, 32811);
  EXPECT_EQ(FindCommandByScriptName("no-such-command"), nullptr);
  EXPECT_EQ(FindCommandByScriptName("32811x"), nullptr);
}

TEST(CommandTable, RowsCarryTheirExactTexts) {
  const CommandInfo* invert = FindCommand(32842);
  EXPECT_EQ(invert->caption, "Invert Dataset");
  EXPECT_TRUE(invert->prompt.empty());
  EXPECT_TRUE(invert->snapshot);
  const CommandInfo* undo = FindCommand(57643);
  EXPECT_EQ(undo->keys, (std::vector<std::string_view>{"Alt+Backspace", "Ctrl+Z"}));
  EXPECT_EQ(undo->tooltip, "Undo");
  EXPECT_EQ(FindCommand(32771)->shortcutLabel, " I");
  EXPECT_EQ(FindCommand(32789)->shortcutLabel, "f");
  EXPECT_EQ(FindCommand(32789)->keys, (std::vector<std::string_view>{"F"}));
  EXPECT_EQ(FindCommand(32793)->keys, (std::vector<std::string_view>{"+"}));
  EXPECT_EQ(FindCommand(32853)->keys, (std::vector<std::string_view>{"Ctrl+3"}));
  EXPECT_EQ(FindCommand(32820)->keys, (std::vector<std::string_view>{"0"}));
  EXPECT_EQ(FindCommand(32835)->keys, (std::vector<std::string_view>{"X"}));
  EXPECT_EQ(FindCommand(32835)->prompt, "Test loading a .wav file");
}

TEST(CommandTable, SnapshotFlagsMatchTheCommandsThatTakeOne) {
  const std::set<int> snapshotting = {32786, 32800, 32779, 32870, 32795, 32789, 32798, 32771, 32783, 32780,
                                      32872, 32799, 32866, 32788, 32797, 32805, 32773, 32869, 32803, 32784,
                                      32785, 32807, 32808, 32821, 32822, 32826, 32827, 32831, 32832, 32833,
                                      32834, 32840, 32842, 32851, 32843, 32849, 32867, 32862};
  for (const auto& command : AllCommands())
    EXPECT_EQ(command.snapshot, snapshotting.count(command.id) == 1) << command.id;
}

TEST(CommandTable, StatesFollowTheDocument) {
  CZentrelDoc doc;
  const CommandInfo& undo = *FindCommand(57643);
  EXPECT_FALSE(IsCommandEnabled(doc, undo));
  doc.undoAvailable = 1;
  EXPECT_TRUE(IsCommandEnabled(doc, undo));
  EXPECT_FALSE(IsCommandEnabled(doc, *FindCommand(57635)));  // Cut has no handler
  EXPECT_FALSE(IsCommandEnabled(doc, *FindCommand(57616)));  // Recent File starts disabled
  EXPECT_TRUE(IsCommandChecked(doc, *FindCommand(32871)));   // abbreviations start on
  EXPECT_FALSE(IsCommandChecked(doc, *FindCommand(32782)));
  doc.graph.logY = 1;
  EXPECT_TRUE(IsCommandChecked(doc, *FindCommand(32782)));
}

}  // namespace
}  // namespace zentrel
