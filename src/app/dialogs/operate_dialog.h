#pragma once
// Dialog 104 "Operate on data sets": an operator list and an operand for x
// and for y, the choice of all active sets or one set, and six function
// buttons that record their function and close the dialog as OK does.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"

namespace zentrel {

class OperateDialogModel : public DialogModel {
 public:
  // The items of both operator lists, in order; item i is operation code
  // i + 1 of ApplyOperation.
  static constexpr std::array<const char*, 5> kOperators = {"+", "-", "*", "/", "^"};
  // Script names of the function buttons, function code i + 1 each.
  static constexpr std::array<const char*, 6> kFunctionNames = {"ln-x", "ln-y", "sqrt-x", "sqrt-y", "exp-x", "exp-y"};
  // Captions of the function buttons, same order.
  static constexpr std::array<const char*, 6> kFunctionCaptions = {"Ln(X)", "Ln(Y)", "Sqrt(X)",
                                                                   "Sqrt(Y)", "Exp(X)", "Exp(Y)"};

  std::string title() const override { return "Operate on data sets"; }
  // x-op, x, y-op, y (an operator, or "none"), operate-on=all-active-sets|
  // one-set, function=ln-x|ln-y|sqrt-x|sqrt-y|exp-x|exp-y|none.
  std::vector<DialogField> scriptFields() override;
  // Both operands must be numbers.
  std::optional<std::string> validate() override;

  // Lists 1000 (x) and 1002 (y): the selected item, -1 while none is.
  int xOperator = -1, yOperator = -1;
  // Edits 1003 and 1004.
  std::string xOperand = "0", yOperand = "0";
  // Radio buttons 1009 "All Active Sets" (false) and 1008 "One Set" (true).
  bool oneSet = false;
  // 0 for OK, else the code of the function button that closed the dialog.
  int function = 0;

  // A function button: records its code; the front end then closes the
  // dialog as OK does.
  void pressFunction(int code) { function = code; }

  // Operation codes (0 when nothing is selected) and operands, once
  // validate() accepted the operands.
  int xCode() const { return xOperator + 1; }
  int yCode() const { return yOperator + 1; }
  double xValue() const;
  double yValue() const;
};

}  // namespace zentrel
