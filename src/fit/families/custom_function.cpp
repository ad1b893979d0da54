// A formula typed by the person: y0 + f(x - x0) with A0, A1, … the
// parameters after y0 and x0. Numerical derivatives.

#include "fit/families/family_helpers.h"

namespace zentrel::family {

namespace {

int Count(int, int customCount) { return customCount + 2; }

std::string Name(int index) { return Numbered("a", index - 2); }

// Without a compiled formula the whole model is 0 and the fit is flagged.
double Value(ModelScope& scope, double u, const double* p) {
  if (!scope.fit.HasCustomEvaluator()) {
    scope.fit.errorCode = kNoCustomEvaluatorError;
    return 0;
  }
  return scope.fit.EvaluateCustom(p + 2, u) + p[0];
}

std::string Equation(const Fit& fit, const std::string&) {
  std::string text = fit.customEquation;
  for (int j = 0; j < fit.customParameterCount; ++j) text += CFormat(" a%d:%1.4lg", j, P(fit, 2 + j));
  return text;
}

}  // namespace

extern const ModelFamily kCustomFunctionFamily;
const ModelFamily kCustomFunctionFamily = {"Custom function", Count, Name, 1, Value, nullptr, nullptr, Equation};

}  // namespace zentrel::family
