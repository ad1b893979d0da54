#pragma once
// The columns a fit is fitted to, taken from its set at the moment of use:
// the fitting engine and the spline read them, nothing keeps them.

#include <span>

namespace zentrel {

class Data_Set;

struct FitData {
  std::span<const double> x, y;
  std::span<const double> sigma;  // y errors; empty when the set has none
};

// x, y and (with a third column covering them) y errors over the set's
// drawable points.
FitData FitDataOf(const Data_Set& set);

}  // namespace zentrel
