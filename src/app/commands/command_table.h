#pragma once
// Every command of the program as data: id, menu caption, shortcut label,
// key bindings, status-bar prompt and tooltip, menu-state rule, undo
// snapshot flag and handler. Menus, accelerators, the toolbar, the script
// runner and `zentrel-cli commands` are all built from this one table.
// The texts are written here; each subsystem binds its handlers by id in
// its own commands file (bindings.h), so adding a command touches one place.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

class CZentrelDoc;
class Ui;

using CommandHandler = void (*)(CZentrelDoc& doc, Ui& ui);
using StatePredicate = bool (*)(const CZentrelDoc& doc);

enum class MenuState { None, Check, Enable };

struct CommandInfo {
  int id = 0;
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
};

// One entry of the menu bar layout: a top-level menu, a command or a separator.
struct MenuEntry {
  enum Kind { Menu, Command, Separator } kind;
  std::string_view menuCaption;  // Menu only
  int commandId = 0;             // Command only
};

// Every command, each id once: menu commands in menu order, then the
// commands that have only keys.
std::span<const CommandInfo> AllCommands();
std::span<const MenuEntry> MenuBarLayout();
// Toolbar buttons left to right; 0 marks a gap.
std::span<const int> ToolbarLayout();

const CommandInfo* FindCommand(int id);
// The script name of a command: its caption without '&' and "...", trimmed,
// lower-cased, runs of blanks as one '-'. Empty for key-only commands.
std::string ScriptName(const CommandInfo& command);
// Looks a command up by script name or by numeric id given as text.
const CommandInfo* FindCommandByScriptName(std::string_view name);

// The state a front end shows for a command: enabled, and checked.
bool IsCommandEnabled(const CZentrelDoc& doc, const CommandInfo& command);
bool IsCommandChecked(const CZentrelDoc& doc, const CommandInfo& command);

}  // namespace zentrel
