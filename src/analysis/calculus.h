#pragma once
// Whole-set calculus: the running integral replaces y by the trapezoid
// integral from the first point, the derivative by forward differences; and
// the spacing of the points along x.

namespace zentrel {

class Data_Set;

// Sorts the set by x, then y[i] becomes the trapezoid integral from x[0] to
// x[i] (y[0] = 0). x and the error columns are unchanged. Sets with fewer
// than two columns or one point are left as they are.
void RunningIntegral(Data_Set& set);

// Sorts the set by x, then y[i] becomes (y[i+1] - y[i]) / (x[i+1] - x[i]),
// 0 where the two x are equal, and the last point goes. x and the errors of
// the remaining points are unchanged. Sets with fewer than two columns or
// one point are left as they are.
void Differentiate(Data_Set& set);

struct Spacing {
  double spacing = 0.0;       // |x[1] - x[0]|; 0 with fewer than two points
  bool evenlySpaced = false;  // false with fewer than two points
};
// Every interval but the last is compared with the first, to a relative
// 1e-5.
Spacing PointSpacing(const Data_Set& set);

}  // namespace zentrel
