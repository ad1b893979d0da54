#pragma once
// A fit's model sampled into a new data set, with the fit's own stored
// parameters: on an even x grid, or at the x values of its data set.
// Points where the model raises a math error are left out; the numeric
// error state is the same afterwards as before.

#include <memory>

namespace zentrel {

class Data_Set;
class Fit;

// More grid points than this are refused.
inline constexpr int kMaxSampledPoints = 10'000'000;

struct GridSample {
  std::unique_ptr<Data_Set> set;  // null: no set (no fit, a zero step, too many points)
  bool tooManyPoints = false;     // the grid would need more than kMaxSampledPoints
};

// From min(from, to) to max(from, to) in steps of |step| (x_i = lo + i·step,
// the end point included when the range is a whole number of steps up to
// rounding; numeric/even_grid.h). The set is named after the fit; it is
// empty when the bounds are not ordered numbers. owner is the fit's set (a
// spline runs through it).
GridSample sampleGrid(Fit* fit, const Data_Set& owner, double from, double to, double step);

// Every point of the fit's set whose x lies in fitStart..fitEnd (inclusive), in
// data order.
std::unique_ptr<Data_Set> sampleAtDataX(const Data_Set& set, Fit& fit);

// The residuals (model - y) at the same points, over the points that have
// both x and y; unnamed.
std::unique_ptr<Data_Set> ResidualsAtDataX(const Data_Set& set, Fit& fit);

}  // namespace zentrel
