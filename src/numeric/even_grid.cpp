#include "numeric/even_grid.h"

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

// A step that misses hi by less than this share of itself misses it by
// rounding: the range and the step were meant to meet.
constexpr double kRounding = 1e-9;

}  // namespace

double EvenGridCount(double lo, double hi, double step) {
  const double steps = (hi - lo) / step;
  if (std::isnan(steps)) return steps;
  return std::floor(steps + kRounding * std::max(1.0, steps)) + 1.0;
}

double EvenGridPoint(double lo, double hi, double step, long long i, long long count) {
  const double x = lo + static_cast<double>(i) * step;
  if (i == count - 1 && std::fabs(x - hi) <= kRounding * step * std::max(1.0, static_cast<double>(i))) return hi;
  return x;
}

}  // namespace zentrel
