#pragma once
// An even grid of x values from lo to hi in steps of step: x_i = lo + i·step,
// each computed afresh (adding the step again and again drifts, and the end
// point falls off a grid that should hold it). The end point is on the grid
// when the range is a whole number of steps up to rounding.

namespace zentrel {

// How many points the grid holds (lo <= hi, step > 0): 1 + the whole steps
// that fit into hi - lo, a step short only by rounding counting as whole.
// A double, so that callers can refuse counts too large for any set; NaN
// when the bounds or the step are not numbers.
double EvenGridCount(double lo, double hi, double step);

// Point i of a grid of count points: lo + i·step, and exactly hi for the
// last point when it lies within rounding of hi.
double EvenGridPoint(double lo, double hi, double step, long long i, long long count);

}  // namespace zentrel
