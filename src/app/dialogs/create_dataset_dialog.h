#pragma once
// Dialog "Create a Data Set": an equation in X sampled over an x range into
// a new data set. The equation compiles when its edit loses focus; OK tidies
// the range, samples the equation and closes, or leaves a message in the
// "Error Messages:" box and stays open.
//
// The parameters A0..A31 of an equation are all 0 here: the dialog has no
// fields for them.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/dialog_model.h"
#include "expr/expression.h"

namespace zentrel {

class Data_Set;

class CreateDataSetDialogModel : public DialogModel {
 public:
  // More points than this are refused (the range and step would need them).
  static constexpr int kMaxPoints = 10'000'000;

  explicit CreateDataSetDialogModel(Data_Set& target) : target_(target) {}

  std::string title() const override { return "Create a Data Set"; }
  // xstart, xend, xstep, equation (compiled as the edit loses focus).
  std::vector<DialogField> scriptFields() override;
  // OK: the box's message when the dialog stays open.
  std::optional<std::string> validate() override;

  // Edits 1033 "XStart:", 1034 "XEnd:", 1052 "XStep:", 1051 "Equation:".
  std::string xStart, xEnd, xStep, equation;
  // 1053 "Error Messages:" (read-only).
  std::string errorMessages;

  // The equation edit lost focus: the set takes the text as its name and the
  // text is compiled; a failure leaves the previous evaluator in place.
  void equationLostFocus();
  // OK (1054). True when the set is filled and the dialog closes.
  bool pressOk();

  bool hasEvaluator() const { return static_cast<bool>(expression_.evaluator); }
  const std::array<double, 32>& parameters() const { return parameters_; }

 private:
  Data_Set& target_;
  Expression expression_;
  std::array<double, 32> parameters_{};  // never set
};

}  // namespace zentrel
