#include "commands_listing.h"

#include <map>

#include "app/commands/command_table.h"

namespace zentrel {

nlohmann::ordered_json CommandsToJson() {
  using Json = nlohmann::ordered_json;
  // Where each command sits in the menu bar.
  std::map<int, std::string> menuOf;
  std::string currentMenu;
  for (const auto& entry : MenuBarLayout()) {
    if (entry.kind == MenuEntry::Menu) currentMenu = entry.menuCaption;
    if (entry.kind == MenuEntry::Command) menuOf[CommandNumber(entry.command)] = currentMenu;
  }
  Json commands = Json::array();
  for (const auto& command : AllCommands()) {
    Json json;
    json["id"] = command.id;
    json["caption"] = std::string(command.caption);
    const std::string scriptName = ScriptName(command);
    json["script_name"] = scriptName.empty() ? Json(nullptr) : Json(scriptName);
    json["menu"] = menuOf.count(command.id) ? Json(menuOf[command.id]) : Json(nullptr);
    json["shortcut_label"] = std::string(command.shortcutLabel);
    Json keys = Json::array();
    for (auto key : command.keys) keys.push_back(std::string(key));
    json["keys"] = keys;
    json["prompt"] = std::string(command.prompt);
    json["tooltip"] = std::string(command.tooltip);
    json["menu_state"] = command.state == MenuState::Check ? "check" : command.state == MenuState::Enable ? "enable" : "none";
    json["snapshot"] = command.snapshot;
    json["available"] = command.handler != nullptr;
    commands.push_back(json);
  }
  return commands;
}

}  // namespace zentrel
