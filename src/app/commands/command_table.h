#pragma once
// Every command of the program as data: id, menu caption, shortcut label,
// key bindings, status-bar prompt and tooltip, menu-state rule, undo
// snapshot flag and handler. Menus, accelerators, the toolbar, the script
// runner and `zentrel-cli commands` are all built from this one table.
// The texts are written here; each subsystem binds its handlers by Cmd in
// its own commands file (bindings.h). A new command is a name and number in
// command_ids.h, a row here and, when it can run, a binding.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands/command_ids.h"

namespace zentrel {

class CZentrelDoc;
class Ui;
struct CommandOutcome;

// Does the command's work and leaves its ending (new set, autoscale, status
// text, modified flag, redraw) to the dispatcher as a CommandOutcome.
using CommandHandler = CommandOutcome (*)(CZentrelDoc& doc, Ui& ui);
using StatePredicate = bool (*)(const CZentrelDoc& doc);

enum class MenuState { None, Check, Enable };

struct CommandInfo {
  int id = 0;                      // a Cmd's number, as scripts and listings show it
  std::string_view caption;        // with '&' mnemonic; empty for key-only commands
  std::string_view shortcutLabel;  // text at the right of the menu item, exactly
  std::vector<std::string_view> keys;  // real bindings, "Ctrl+N" style
  std::string_view prompt;         // status-bar prompt; empty when none
  std::string_view tooltip;        // toolbar tooltip; empty when none
  MenuState state = MenuState::None;
  bool snapshot = false;           // takes the undo snapshot before anything else
  // Joined in from the subsystems' bindings:
  StatePredicate stateOf = nullptr;  // the check mark or the enable condition
  CommandHandler handler = nullptr;  // null: the command cannot run (shown disabled)

  Cmd command() const { return static_cast<Cmd>(id); }
};

// One entry of the menu bar layout: a top-level menu, a command or a separator.
struct MenuEntry {
  enum Kind { Menu, Command, Separator } kind;
  std::string_view menuCaption;  // Menu only
  Cmd command{};                 // Command only
};

// Every command, each id once: menu commands in menu order, then the
// commands that have only keys.
std::span<const CommandInfo> AllCommands();
std::span<const MenuEntry> MenuBarLayout();
// Toolbar buttons left to right; an empty entry marks a gap.
std::span<const std::optional<Cmd>> ToolbarLayout();

// By number, as scripts give it; null when no command has it.
const CommandInfo* FindCommand(int id);
// Every Cmd has a row; the walk in command_table_test.cpp checks it.
const CommandInfo& FindCommand(Cmd id);
// The caption as a person reads it: without '&' and "...", trimmed, runs of
// blanks as one ("Save As"). Empty for key-only commands.
std::string MenuName(const CommandInfo& command);
// The script name of a command: its menu name lower-cased, blanks as '-'.
std::string ScriptName(const CommandInfo& command);
// Looks a command up by script name or by numeric id given as text.
const CommandInfo* FindCommandByScriptName(std::string_view name);

// The state a front end shows for a command: enabled, and checked.
bool IsCommandEnabled(const CZentrelDoc& doc, const CommandInfo& command);
bool IsCommandChecked(const CZentrelDoc& doc, const CommandInfo& command);

}  // namespace zentrel
