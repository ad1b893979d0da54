#pragma once
// A scripted stand-in for a person: queued answers, and a record of what the
// commands showed.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "app/dialogs/set_picker.h"
#include "app/ui.h"

namespace zentrel::testing {

class FakeUi : public Ui {
 public:
  // Picker answers: a line index, or -1 for Cancel.
  std::deque<int> pickAnswers;
  // Dialog answers: edits the dialog and returns true for OK.
  std::deque<std::function<bool(DialogModel&)>> dialogAnswers;
  std::deque<std::optional<std::uint32_t>> colourAnswers;

  struct ShownPicker {
    std::string title;
    std::vector<std::string> lines;
  };
  std::vector<ShownPicker> pickersShown;
  std::vector<std::string> dialogsShown;
  std::vector<std::string> messages;
  int redraws = 0;

  bool pickFromList(SetPickerModel& picker) override {
    pickersShown.push_back({picker.title(), picker.lines()});
    if (picker.selected != -1) throw std::logic_error("a picker must start with no line selected");
    if (pickAnswers.empty()) throw std::logic_error("unexpected picker: " + picker.title());
    const int answer = pickAnswers.front();
    pickAnswers.pop_front();
    if (answer < 0) return false;
    picker.selected = answer;
    return true;
  }
  bool runDialog(DialogModel& dialog) override {
    dialogsShown.push_back(dialog.title());
    if (dialogAnswers.empty()) throw std::logic_error("unexpected dialog: " + dialog.title());
    auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    return answer(dialog);
  }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override {
    if (colourAnswers.empty()) throw std::logic_error("unexpected colour chooser");
    auto answer = colourAnswers.front();
    colourAnswers.pop_front();
    return answer;
  }
  void messageBox(const std::string& text) override { messages.push_back(text); }
  void redraw() override { ++redraws; }
};

}  // namespace zentrel::testing
