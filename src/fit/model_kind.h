#pragma once
// The model kinds by index. Fits and graph files store a kind as this
// number, so an index keeps its meaning for good: new kinds go at the end.

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

}  // namespace zentrel
