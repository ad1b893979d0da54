#include "app/dialogs/set_picker.h"

#include <utility>

#include "app/ui.h"
#include "model/document.h"

namespace zentrel {

SetPickerModel::SetPickerModel(std::string title, std::vector<std::string> lines,
                               std::vector<std::string> names)
    : title_(title.empty() ? kDefaultPickerTitle : std::move(title)),
      lines_(std::move(lines)),
      names_(std::move(names)) {}

SetPickerModel MakeSetPicker(const CZentrelDoc& doc, const std::string& prompt) {
  std::vector<std::string> names;
  for (const auto& set : doc.sets) names.push_back(set->name);
  return SetPickerModel(prompt, names, names);
}

PickedSet PickSet(CZentrelDoc& doc, Ui& ui, const std::string& prompt, bool autoPickSingle) {
  if (doc.SetCount() == 0) return {};
  if (doc.SetCount() == 1 && autoPickSingle) return {doc.SetAt(0), 0};
  SetPickerModel picker = MakeSetPicker(doc, prompt);
  if (!ui.pickFromList(picker)) return {};
  Data_Set* set = doc.SetAt(picker.selected);
  if (set == nullptr) return {};
  return {set, picker.selected};
}

}  // namespace zentrel
