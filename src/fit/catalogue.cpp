#include "fit/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "fit/model_table.h"
#include "model/data_set.h"
#include "model/fit.h"
#include "expr/expression.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

int SelectModel(Fit& fit, const std::string& name, int order) {
  ClearNumericError();
  fit.errorCode = 0;
  if (const int kind = ModelKindNamed(name); kind >= 0) {
    if (kind != fit.modelKind) fit.iterationCount = 0;
    fit.modelKind = kind;
  }
  if (order != fit.order) fit.iterationCount = 0;
  fit.order = std::max(1, std::min(order, MaxOrder(fit.modelKind)));
  return fit.modelKind == kCustomFunction ? 1 : fit.order;
}

CustomFunctionOutcome CompileCustomFunction(Fit& fit, const std::string& text) {
  fit.customEquation = text;
  if (text.empty()) return {-1, "You need to enter an equation!"};
  const CompileOutcome outcome = CompileExpression(text, fit.customExpression);
  if (outcome.failedAt == CompileStage::Conversion || outcome.failedAt == CompileStage::Compilation)
    return {outcome.status, outcome.message};
  if (outcome.failedAt == CompileStage::CodeGeneration) {
    fit.customParameterCount = 0;
    return {0, "Couldn't create final fn!"};
  }
  // A fit has 17 parameters: y0, x0 and the formula's A0..A14. A formula
  // reaching further would read past them.
  if (fit.customExpression.parameterCount > kMaxCustomParameters) {
    const int highest = fit.customExpression.parameterCount - 1;
    fit.customExpression = Expression{};
    fit.customParameterCount = 0;
    return {-1, CFormat("A fit's formula can use A0 to A%d; this one uses A%d.", kMaxCustomParameters - 1, highest)};
  }
  fit.customParameterCount = fit.customExpression.parameterCount;
  return {};
}

std::string EquationText(const Fit& fit) {
  const double x0 = fit.params[1];
  const std::string v = x0 == 0 ? "t" : CFormat("(t-%1.4lg)", x0);
  std::string text = FamilyOf(fit.modelKind).equation(fit, v);
  if (fit.convolve)
    text += " Convolved with " + (fit.convolutionSource != nullptr ? fit.convolutionSource->name : std::string());
  if (fit.params[0] != 0) text += CFormat("+%1.4lg", fit.params[0]);
  return text;
}

}  // namespace zentrel
