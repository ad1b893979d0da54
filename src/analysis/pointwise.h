#pragma once
// Point-by-point changes to one set, in place: the functions of the Operate
// dialog, peak and region searches, deleting the points inside a rectangle
// and doubling the point density by linear interpolation. Every operation
// leaves a set with fewer than two columns alone.

namespace zentrel {

class Data_Set;

// Function codes of the Operate dialog's buttons.
enum FunctionCode : int {
  kFunctionNone = 0,
  kFunctionLnX = 1,
  kFunctionLnY = 2,
  kFunctionSqrtX = 3,
  kFunctionSqrtY = 4,
  kFunctionExpX = 5,
  kFunctionExpY = 6,
};

// Applies one function to every point. The logarithms remove the points
// outside their domain (x <= 0, y <= 0); the square roots keep the sign
// (-sqrt(-v) for negative values). Codes 1..6 mark the set modified; the
// fits are re-attached when points went. Any other code does nothing.
void ApplyFunction(Data_Set& set, int code);

struct Peak {
  double y = 0.0;
  double x = 0.0;
};
// The largest y among the points inside the closed rectangle (the first of
// equal ones); {0, 0} when none is inside.
Peak FindPeak(const Data_Set& set, double xLo, double yLo, double xHi, double yHi);

struct RegionMeanResult {
  double mean = 0.0;
  int count = 0;
};
// The mean y of the points inside the closed rectangle and their number;
// {0, 0} when none.
RegionMeanResult MeanInRegion(const Data_Set& set, double xLo, double yLo, double xHi, double yHi);

// Removes every point with x1 <= x <= x2 and y1 <= y <= y2, the bounds used
// as given (a rectangle stored the wrong way round removes nothing). Each
// run of neighbouring points goes with one DeletePoints call; the fits are
// re-attached when anything went. Returns the number of points removed.
int DeleteInRegion(Data_Set& set, double x1, double y1, double x2, double y2);

// L + 1 points become 2L + 1: the old points at the even indices, a point
// half way between each pair of neighbours at the odd ones. With positive y
// errors on both sides the new y is the 1/e-weighted mean and its error
// 0.5 sqrt(e0^2 + e1^2), the error of a mean of two; the new x error is
// 0.5 sqrt(xe0^2 + xe1^2) with positive x errors on both sides. A new error without positive neighbours,
// and the new cells of extra columns, are 0. A set of one point is left as
// it is.
void Interpolate(Data_Set& set);

}  // namespace zentrel
