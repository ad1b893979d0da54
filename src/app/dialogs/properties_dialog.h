#pragma once
// Dialog 146 "Dataset Properties": read-only facts about one set, taken
// when the model is made.

#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class Data_Set;

class PropertiesDialogModel : public DialogModel {
 public:
  explicit PropertiesDialogModel(const Data_Set& set);

  std::string title() const override { return "Dataset Properties"; }
  // Nothing to set: a script line only presses OK.
  std::vector<DialogField> scriptFields() override { return {}; }

  std::string name;                  // 1023 "Dataset"
  double minimumY = 0, maximumY = 0;  // 1039, 1040
  double minimumX = 0, maximumX = 0;  // 1041, 1042
  int points = 0;                    // 1044 "Points" (of column 0)
  bool sorted = false;               // 1043 "Sorted"
  double pointSpacing = 0;           // 1037 "Point Spacing"
  bool evenlySpaced = false;         // 1038 "Evenly Spaced"
};

}  // namespace zentrel
