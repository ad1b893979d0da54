#pragma once
// "Set Operations" (dialog 133): two drop-down lists of every set and fit
// and five radio buttons for the operation.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class CZentrelDoc;

class SetOperationsDialogModel : public DialogModel {
 public:
  static constexpr int kDialogId = 133;
  static constexpr int kSet1Id = 1007;
  static constexpr int kSet2Id = 1008;

  struct OperationButton {
    const char* caption;
    int controlId;
    int code;
  };
  // "+" (1001, code 1) to "^" (1005, code 5), in this order.
  static std::span<const OperationButton> operationButtons();

  // Both lists: "%d:%s" for every set, each followed by "%d-%d:%s" for its fits.
  explicit SetOperationsDialogModel(const CZentrelDoc& doc);

  std::string title() const override { return "Set Operations"; }
  // set1=, set2=: an item by its text or by the part before ':' ("1", "0-2");
  // operation=+|-|*|/|^.
  std::vector<DialogField> scriptFields() override;

  const std::vector<std::string>& items() const { return items_; }

  // What an item's text names: a set (fit -1) or fit `fit` of set `set`.
  struct ItemTarget {
    int set = -1;
    int fit = -1;
  };
  // A fit when a '-' comes before the first ':'; nothing for a text that
  // names neither.
  static std::optional<ItemTarget> ParseItem(const std::string& text);

  int set1 = 0;  // selected item of each list
  int set2 = 0;
  int operation = 1;

 private:
  std::vector<std::string> items_;
};

}  // namespace zentrel
