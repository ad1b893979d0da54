#include "expr/expression.h"

#include <utility>

#include "expr/postfix.h"

namespace zentrel {

CompileOutcome CompileExpression(std::string_view text, Expression& expression, EvalBackend backend) {
  CompileOutcome outcome;
  std::optional<std::string> postfix = ConvertToPostfix(text, outcome.message);
  if (!postfix) {
    outcome.failedAt = CompileStage::Conversion;
    outcome.status = 1;
    return outcome;
  }
  ConstantPool constants{};
  ByteCode byteCode;
  outcome.status = CompilePostfix(*postfix, outcome.message, byteCode, constants);
  if (outcome.status != kCompiled) {
    outcome.failedAt = CompileStage::Compilation;
    return outcome;
  }
  expression.equation = std::string(text);
  expression.postfix = std::move(*postfix);
  expression.constants = constants;
  expression.parameterCount = CountParameters(byteCode);
  expression.evaluator = GenerateCode(byteCode, backend);
  if (!expression.evaluator) outcome.failedAt = CompileStage::CodeGeneration;
  return outcome;
}

}  // namespace zentrel
