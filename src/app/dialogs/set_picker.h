#pragma once
// The SetPicker: a modal single-selection list with OK and Cancel, and
// PickSet, the way every command obtains the set it works on.

#include <string>
#include <vector>

namespace zentrel {

class CZentrelDoc;
class Data_Set;
class Ui;

inline constexpr const char* kDefaultPickerTitle = "Select a Dataset to Toggle Activation";

class SetPickerModel {
 public:
  SetPickerModel(std::string title, std::vector<std::string> lines, std::vector<std::string> names);

  const std::string& title() const { return title_; }
  const std::vector<std::string>& lines() const { return lines_; }
  // The name each line stands for (scripts may pick by name).
  const std::vector<std::string>& names() const { return names_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }

  // -1 while no line is selected (the initial state).
  int selected = -1;
  // The lines are a set's fits (scripts answer with fit= instead of set=).
  bool picksFit = false;

 private:
  std::string title_;
  std::vector<std::string> lines_;
  std::vector<std::string> names_;
};

// Builds a picker with one line per set name, titled with the prompt (or the
// default title when the prompt is empty).
SetPickerModel MakeSetPicker(const CZentrelDoc& doc, const std::string& prompt);

struct PickedSet {
  Data_Set* set = nullptr;
  int index = -1;
  explicit operator bool() const { return set != nullptr; }
};

// No sets: none, nothing shown. One set and autoPickSingle: that set, nothing
// shown. Otherwise the SetPicker decides.
PickedSet PickSet(CZentrelDoc& doc, Ui& ui, const std::string& prompt, bool autoPickSingle);

}  // namespace zentrel
