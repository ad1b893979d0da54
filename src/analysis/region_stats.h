#pragma once
// Statistics of the points of one set inside a closed rectangle
// xLo <= x <= xHi, yLo <= y <= yHi. Each gives 0 for a set with fewer than
// two columns and for a region with too few points.

namespace zentrel {

class Data_Set;

// Sorts the set by x (in place), then adds the trapezoids between
// consecutive points inside the region; points outside the y band are
// skipped, so the trapezoid joins the points on either side of them.
double RegionIntegral(Data_Set& set, double xLo, double xHi, double yLo, double yHi);
// The mean y of the points inside.
double RegionMean(const Data_Set& set, double xLo, double xHi, double yLo, double yHi);
// The sample standard deviation (n - 1) of y over the points inside; 0 for
// fewer than two.
double RegionStdDev(const Data_Set& set, double xLo, double xHi, double yLo, double yHi);

}  // namespace zentrel
