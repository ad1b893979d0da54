#pragma once
// Ascending order of abscissae that may hold NaN: NaN compares with
// nothing, and a sort needs a strict order, so NaN goes last (a NaN x lies
// in no range anyway).

#include <span>
#include <vector>

namespace zentrel {

// a before b: a < b, or a is a number and b is NaN.
bool BeforeInOrder(double a, double b);
bool IsAscending(std::span<const double> x);
// The stable order that sorts x: order[i] is the index of the i-th smallest
// (points with equal x keep their order).
std::vector<int> AscendingOrder(std::span<const double> x);

}  // namespace zentrel
