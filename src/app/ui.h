#pragma once
// The one interface between commands and the platform: everything a command
// would ask a person goes through here. QtUi shows real dialogs, ScriptUi
// answers from a script line, tests use fakes.

#include <cstdint>
#include <optional>
#include <string>

namespace zentrel {

class DialogModel;
class SetPickerModel;

class Ui {
 public:
  virtual ~Ui() = default;

  // Shows a list picker; true when the user pressed OK with a line selected
  // (the model's `selected` then holds the line).
  virtual bool pickFromList(SetPickerModel& picker) = 0;
  // Runs a modal dialog bound to the model; true on OK.
  virtual bool runDialog(DialogModel& dialog) = 0;
  // The platform colour chooser, starting at `initial` (0x00BBGGRR).
  virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
  virtual void messageBox(const std::string& text) = 0;
  // Asks the view to redraw the whole graph.
  virtual void redraw() = 0;
};

}  // namespace zentrel
