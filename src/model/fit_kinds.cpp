#include "model/fit_kinds.h"

#include <string>

#include "model/fit.h"

namespace zentrel {

std::string_view ModelName(int kind) {
  return kind >= 0 && kind < kModelKindCount ? kModelNames[static_cast<size_t>(kind)] : std::string_view{};
}

int ParameterCountOf(int kind, int order, int customCount) {
  const int n = order;
  switch (kind) {
    case kExponential:
    case kSquaredExponential: return 2 * n + 2;
    case kPolynomial: return n + 2;
    case kGaussian:
    case kLorentzian:
    case kStretchedExponential:
    case kDualSidedExponential:
    case kPowerLaw:
    case kSquaredStretchedExponential: return 3 * n + 2;
    case kSquaredExpConvDualSided:
    case kGaussPlusExpConvGaussian: return 2 * n + 4;
    case kExpConvGaussian:
    case kSquaredExpConvGaussian: return 2 * n + 3;
    case kCustomFunction: return customCount + 2;
    case kCubicSpline: return 2;
    case kMctPowerLaws: return 6;
    default: return 2;
  }
}

int MaxOrder(int kind) {
  if (kind == kCustomFunction || kind == kMctPowerLaws) return 1;
  for (int order = kMaxFitParameters; order > 1; --order)
    if (ParameterCountOf(kind, order, 0) <= kMaxFitParameters) return order;
  return 1;
}

namespace {

std::string Numbered(const char* stem, int k) { return stem + std::to_string(k); }

// Names of the parameters after y0 and x0, by kind; index counts from 0.
std::string KindParameterName(int kind, int index) {
  switch (kind) {
    case kExponential:
    case kSquaredExponential:
      return Numbered(index % 2 == 0 ? "a" : "t", (index - 2) / 2);
    case kPolynomial: return Numbered("a", index - 1);
    case kGaussian:
    case kLorentzian: {
      static const char* const stems[] = {"a", "off", "width"};
      return Numbered(stems[(index - 2) % 3], (index - 2) / 3);
    }
    case kStretchedExponential:
    case kSquaredStretchedExponential: {
      static const char* const stems[] = {"a", "t", "b"};
      return Numbered(stems[(index - 2) % 3], (index - 2) / 3);
    }
    case kDualSidedExponential: {
      static const char* const stems[] = {"a", "tf", "tr"};
      return Numbered(stems[(index - 2) % 3], (index - 2) / 3);
    }
    case kPowerLaw: {
      static const char* const stems[] = {"a", "off", "exponent"};
      return Numbered(stems[(index - 2) % 3], (index - 2) / 3);
    }
    case kSquaredExpConvDualSided:
      if (index == 2) return "tf";
      if (index == 3) return "tr";
      return Numbered(index % 2 == 0 ? "a" : "t", (index - 4) / 2);
    case kExpConvGaussian:
    case kSquaredExpConvGaussian:
      if (index == 2) return "s";
      return Numbered(index % 2 == 1 ? "a" : "t", (index - 3) / 2);
    case kGaussPlusExpConvGaussian:
      if (index == 2) return "g amp";
      if (index == 3) return "s";
      return Numbered(index % 2 == 0 ? "a" : "t", (index - 4) / 2);
    case kCustomFunction: return Numbered("a", index - 2);
    case kMctPowerLaws: {
      static const char* const names[] = {"xmin", "a", "b", "wmin"};
      return names[index - 2];
    }
    default: return {};
  }
}

}  // namespace

std::string ParameterNameOf(int kind, int order, int customCount, int index) {
  if (index == 0) return "y0";
  if (index == 1) return "x0";
  if (index < 0 || index >= ParameterCountOf(kind, order, customCount) || kind == kCubicSpline) return {};
  return KindParameterName(kind, index);
}

}  // namespace zentrel
