#pragma once
// The catalogue of model kinds: display names, parameter counts per order,
// largest orders and parameter names. Kinds are stored in every fit and in
// graph files by their index.

#include <array>
#include <string>
#include <string_view>

namespace zentrel {

inline constexpr int kModelKindCount = 16;

enum ModelKind : int {
  kExponential = 0,
  kPolynomial = 1,
  kGaussian = 2,
  kLorentzian = 3,
  kStretchedExponential = 4,
  kSquaredExponential = 5,
  kDualSidedExponential = 6,
  kSquaredExpConvDualSided = 7,
  kExpConvGaussian = 8,
  kSquaredExpConvGaussian = 9,
  kCustomFunction = 10,
  kGaussPlusExpConvGaussian = 11,
  kPowerLaw = 12,
  kSquaredStretchedExponential = 13,
  kCubicSpline = 14,
  kMctPowerLaws = 15,
};

inline constexpr std::array<std::string_view, kModelKindCount> kModelNames = {
    "Exponential",
    "Polynomial",
    "Gaussian",
    "Lorentian",
    "Stretched Exponential",
    "Squared Exponential",
    "Dual Sided Exponential",
    "SquExp Conv DSExp",
    "Exponential convolved with Gaussian",
    "Exponential squared convolved with Gaussian",
    "Custom function",
    "Gauss plus Exponential convolved with Gaussian",
    "Power Law",
    "Str. Exp. Squared",
    "Cubic Spline",
    "MCT powerlaws",
};

// The kind's display name; empty for a kind outside the catalogue.
std::string_view ModelName(int kind);
// Parameters of a kind at an order (customCount: the custom formula's own
// parameter count). A kind outside the catalogue has 2 (y0 and x0).
int ParameterCountOf(int kind, int order, int customCount);
// Largest order from 17 down whose parameter count is at most 17; 1 for the
// custom function and the MCT power laws.
int MaxOrder(int kind);
// "y0", "x0", then the kind's names ("a0", "t0", …); empty beyond the count
// and for the spline.
std::string ParameterNameOf(int kind, int order, int customCount, int index);

}  // namespace zentrel
