#pragma once
// Whole-set calculus: the running integral replaces y by the trapezoid
// integral from the first point.

namespace zentrel {

class Data_Set;

// Sorts the set by x, then y[i] becomes the trapezoid integral from x[0] to
// x[i] (y[0] = 0). x and the error columns are unchanged. Sets with fewer
// than two columns or one point are left as they are.
void RunningIntegral(Data_Set& set);

}  // namespace zentrel
