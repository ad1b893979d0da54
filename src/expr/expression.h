#pragma once
// A formula and everything compiled from it, and the one place that runs the
// compile stages in their order: ConvertToPostfix, CompilePostfix,
// CountParameters, GenerateCode.

#include <string>
#include <string_view>

#include "expr/byte_code.h"
#include "expr/eval_function.h"

namespace zentrel {

struct Expression {
  std::string equation;   // as typed
  std::string postfix;    // ConvertToPostfix of the equation
  ConstantPool constants{};
  int parameterCount = 0;  // highest parameter index used plus 1
  EvalFunction evaluator;

  // Evaluates at x with the given parameters (A0..A31).
  double operator()(const double* params, double x) const {
    double result;
    evaluator(&result, params, constants.data(), &x);
    return result;
  }
};

enum class CompileStage { Done, Conversion, Compilation, CodeGeneration };

struct CompileOutcome {
  CompileStage failedAt = CompileStage::Done;  // Done: success
  // 0 on success, 1 when the conversion failed, else the CompilePostfix status.
  int status = 0;
  // The stage's message; empty for CodeGeneration, whose text each caller names.
  std::string message;
  bool ok() const { return failedAt == CompileStage::Done; }
};

// Compiles `text`. A failed conversion or compilation leaves `expression`
// exactly as it was: its evaluator keeps working with its own constants,
// because the stages write into a scratch pool. Otherwise every field is
// replaced; when no evaluator could be made the evaluator is empty and the
// outcome says CodeGeneration.
CompileOutcome CompileExpression(std::string_view text, Expression& expression,
                                 EvalBackend backend = EvalBackend::Default);

}  // namespace zentrel
