#pragma once
// Dialog "Smoothing": the method, "Copy smoothed set" and the number of
// points to smooth, a formula in x compiled when the dialog opens and
// whenever its edit loses focus. A text that does not compile leaves the
// formula compiled before in force.

#include <optional>
#include <string>
#include <vector>

#include "analysis/smoothing.h"
#include "app/dialogs/dialog_model.h"
#include "expr/expression.h"

namespace zentrel {

class SmoothingDialogModel : public DialogModel {
 public:
  // Script names of the methods, method 1..3.
  static constexpr const char* kMethodNames[3] = {"reducing", "moving-window", "savitzky-golay"};

  SmoothingDialogModel() { pointsLostFocus(); }

  std::string title() const override { return "Smoothing"; }
  // method=reducing|moving-window|savitzky-golay, copy-smoothed-set=yes|no,
  // number-of-points-to-smooth=FORMULA (or n=FORMULA). A formula that does
  // not compile fails the script line with the compiler's message.
  std::vector<DialogField> scriptFields() override;

  // Radio buttons 1019 "Reducing", 1020 "Moving Window", 1021
  // "Savitzky-Golay (constant  number of points)".
  int method = kSmoothSavitzkyGolay;
  // Check box 1031 "Copy smoothed set".
  bool copySet = false;
  // Edit 1059 "Number of points to smooth:".
  std::string points = "10";

  // The edit lost focus: compiles `points`. False, with the message in
  // compileMessage, when it does not compile (the earlier formula stays).
  bool pointsLostFocus();
  std::string compileMessage;

  bool hasFormula() const { return static_cast<bool>(expression_.evaluator); }
  const Expression& formula() const { return expression_; }

 private:
  Expression expression_;
};

}  // namespace zentrel
