#include "fit/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "model/data_set.h"
#include "model/fit.h"
#include "model/fit_kinds.h"
#include "expr/expression.h"
#include "numeric/c_format.h"
#include "numeric/numeric_error.h"

namespace zentrel {

namespace {

std::string TermText(const Fit& fit, int k, const std::string& v) {
  const auto& p = fit.params;
  const auto P = [&](int i) { return p[static_cast<size_t>(i)]; };
  const int n = fit.order;
  switch (fit.modelKind) {
    case kExponential:
    case kSquaredExponential:
      return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(2 + 2 * k), v.c_str(), P(3 + 2 * k));
    case kExpConvGaussian:
    case kSquaredExpConvGaussian:
      return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(3 + 2 * k), v.c_str(), P(4 + 2 * k));
    case kPolynomial:
      if (k == 0) return CFormat("%1.4lg*%s", P(2), v.c_str());
      return CFormat("%1.4lg*%s^%d", P(2 + k), v.c_str(), k + 1);
    case kGaussian:
      return CFormat("%1.4lg*exp(-(%s-%1.4lg/(2(%1.4lg)^2))", P(2 + 3 * k), v.c_str(), P(3 + 3 * k), P(4 + 3 * k));
    case kLorentzian:
      return CFormat("%1.4lg*1/(1+(2*(%s-%1.4lg)/%1.4lg)^2)", P(2 + 3 * k), v.c_str(), P(3 + 3 * k), P(4 + 3 * k));
    case kStretchedExponential:
    case kSquaredStretchedExponential:
      return CFormat("%1.4lg*exp(-(%s/%1.4lg)^%1.4lg)", P(2 + 3 * k), v.c_str(), P(3 + 3 * k), P(4 + 3 * k));
    case kDualSidedExponential:
      return CFormat("%1.4lg*exp(-%s/%1.4lg) (x>=0),", P(2 + 3 * k), v.c_str(), P(3 + 3 * k)) +
             CFormat("%1.4lg*exp(-%s/%1.4lg) (x<0),", P(2 + 3 * k), v.c_str(), P(4 + 3 * k));
    case kSquaredExpConvDualSided: {
      // The squared exponential sum in brackets, then the dual-sided
      // exponential it is convolved with.
      std::string text = k == 0 ? "(" : "";
      text += CFormat("%1.4lg*exp(-%s/%1.4lg)", P(4 + 2 * k), v.c_str(), P(5 + 2 * k));
      if (k == n - 1) text += CFormat(")^2 conv DSExp(tf=%1.4lg,tr=%1.4lg)", P(2), P(3));
      return text;
    }
    case kCustomFunction: {
      std::string text = fit.customEquation;
      for (int j = 0; j < fit.customParameterCount; ++j) text += CFormat(" a%d:%1.4lg", j, P(2 + j));
      return text;
    }
    case kGaussPlusExpConvGaussian:
      if (k == 0) return CFormat("%1.4lg*gaus+%1.4lg*exp(-%s/%1.4lg)", P(2), P(4), v.c_str(), P(5));
      return CFormat("%1.4lg*exp(-%s/%1.4lg)", P(4 + 2 * k), v.c_str(), P(5 + 2 * k));
    case kPowerLaw:
      return CFormat("%1.4lg*(%s-%1.4lg)^%1.4lg", P(2 + 3 * k), v.c_str(), P(3 + 3 * k), P(4 + 3 * k));
    case kCubicSpline: return "Cubic Spline";
    case kMctPowerLaws:
      return CFormat("%1.4lg/(%1.4lg+%1.4lg)(%1.4lg(x/%1.4lg)^%1.4lg+%1.4lg(x/%1.4lg)^%1.4lg)", P(2), P(3), P(4),
                    P(4), P(5), P(3), P(3), P(5), -P(4));
    default: return {};
  }
}

}  // namespace

int SelectModel(Fit& fit, const std::string& name, int order) {
  ClearNumericError();
  fit.errorCode = 0;
  for (int kind = 0; kind < kModelKindCount; ++kind) {
    if (kModelNames[static_cast<size_t>(kind)] != name) continue;
    if (kind != fit.modelKind) fit.iterationCount = 0;
    fit.modelKind = kind;
    fit.splinePrepared = false;
    break;
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
  const int kind = fit.modelKind;
  const bool squared = kind == kSquaredExponential || kind == kSquaredExpConvGaussian ||
                       kind == kSquaredStretchedExponential;
  std::string text = squared ? "(" : "";
  const int terms = kind == kCustomFunction ? 1 : fit.order;
  for (int k = 0; k < terms; ++k) {
    if (k > 0) text += "+";
    text += TermText(fit, k, v);
  }
  if (squared) text += ")^2";
  if (kind == kExpConvGaussian || kind == kSquaredExpConvGaussian)
    text += CFormat(" convolved with gaussain sigma=%1.4lg", fit.params[2]);
  if (fit.convolve)
    text += " Convolved with " + (fit.convolutionSource != nullptr ? fit.convolutionSource->name : std::string());
  if (fit.params[0] != 0) text += CFormat("+%1.4lg", fit.params[0]);
  return text;
}

}  // namespace zentrel
