#include "app/help_text.h"

#include <algorithm>
#include <string_view>

#include "app/commands/command_table.h"

namespace zentrel {

namespace {

// Markdown table cells: '|' would end the cell, '&' marks are dropped.
std::string Cell(std::string_view text, bool dropMnemonic = false) {
  std::string out;
  for (char c : text) {
    if (dropMnemonic && c == '&') continue;
    if (c == '|') out += '\\';
    out += c;
  }
  // Trailing and doubled blanks of the captions mean nothing on the page.
  while (!out.empty() && out.back() == ' ') out.pop_back();
  while (!out.empty() && out.front() == ' ') out.erase(out.begin());
  return out.empty() ? std::string("—") : out;
}

std::string Keys(const CommandInfo& command) {
  std::string out;
  for (auto key : command.keys) {
    if (!out.empty()) out += ", ";
    out += key;
  }
  return out;
}

}  // namespace

std::string CommandReferenceMarkdown() {
  std::string out = "# Command reference\n\nEvery command of the menus, with the keys that run it and the "
                    "text the status bar shows for it.\n";
  bool tableOpen = false;
  for (const MenuEntry& entry : MenuBarLayout()) {
    if (entry.kind == MenuEntry::Menu) {
      out += "\n## " + Cell(entry.menuCaption, true) + "\n\n| Command | Shortcut | Keys | Description |\n|---|---|---|---|\n";
      tableOpen = true;
    } else if (entry.kind == MenuEntry::Command && tableOpen) {
      const CommandInfo* command = &FindCommand(entry.command);
      out += "| " + Cell(command->caption, true) + " | " + Cell(command->shortcutLabel) + " | " + Cell(Keys(*command)) +
             " | " + Cell(command->prompt) + " |\n";
    }
  }
  out += "\n## Keys without a menu item\n\n| Keys | Description |\n|---|---|\n";
  for (const CommandInfo& command : AllCommands()) {
    if (!command.caption.empty()) continue;
    std::string prompt(command.prompt);
    if (prompt.empty()) {
      // The digit keys toggle the sets in list order.
      prompt = "Toggles whether a data set is drawn (by its place in the list)";
    }
    out += "| " + Cell(Keys(command)) + " | " + Cell(prompt) + " |\n";
  }
  return out;
}

}  // namespace zentrel
