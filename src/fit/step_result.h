#pragma once
// What one call of the fitting engine's step did.

#include <string>

namespace zentrel {

enum class StepStatus {
  kSuccess,
  kNoPoints,        // no data, or no point inside the fit range
  kSingularSystem,  // the Levenberg-Marquardt system has no solution
  kOverflow,        // a value or the chi-square sum overflowed
  kMathError,       // the model raised another math error
  kNoFormula,       // a custom function without a compiled formula
  kBadWeights,      // 1/sigma^2 weighting with a y error of 0 or not a number in the range
};

struct StepResult {
  StepStatus status = StepStatus::kSuccess;
  double chiSquare = 0;  // the fit's chi-square after the step
  std::string message;   // what went wrong; empty on success and for kNoPoints and kNoFormula
  bool ok() const { return status == StepStatus::kSuccess; }
};

}  // namespace zentrel
