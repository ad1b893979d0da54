#include "analysis/input_checks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "model/data_set.h"
#include "numeric/c_format.h"

namespace zentrel {

namespace {

// x[1] - x[0] with the x values in ascending order; NaN for fewer than two
// points.
double AscendingFirstSpacing(const Data_Set& set) {
  const int n = set.PointCount(0);
  if (n < 2) return std::numeric_limits<double>::quiet_NaN();
  std::vector<double> x(set.ColumnData(0), set.ColumnData(0) + n);
  std::sort(x.begin(), x.end());
  return x[1] - x[0];
}

}  // namespace

std::optional<std::string> NonFiniteRefusal(const Data_Set& set) {
  const int n = set.DrawablePointCount();
  const double* x = set.ColumnData(0);
  const double* y = set.ColumnData(1);
  int count = 0;
  for (int i = 0; i < n; ++i) count += (std::isfinite(x[i]) ? 0 : 1) + (std::isfinite(y[i]) ? 0 : 1);
  if (count == 0) return std::nullopt;
  return "Set '" + set.name + "' holds " + std::to_string(count) +
         (count == 1 ? " value that is" : " values that are") + " not a finite number: not transformed";
}

std::optional<std::string> SpacingMismatchRefusal(const Data_Set& signal, const Data_Set& response) {
  const double s = AscendingFirstSpacing(signal);
  const double r = AscendingFirstSpacing(response);
  if (std::fabs(r - s) <= 0.00001 * std::fabs(s)) return std::nullopt;
  return CFormat("Sets have different point spacings (%g and %g): not convolved", s, r);
}

}  // namespace zentrel
