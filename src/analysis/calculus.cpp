#include "analysis/calculus.h"

#include <cmath>

#include "model/data_set.h"

namespace zentrel {

void RunningIntegral(Data_Set& set) {
  if (set.ColumnCount() < 2) return;
  set.SortByX();
  const int last = set.lastIndex(1);
  if (last <= 0) return;
  double sum = 0;
  double previousY = set.GetValue(1, 0);
  set.SetValue(1, 0, 0.0);
  for (int i = 1; i <= last; ++i) {
    const double y = set.GetValue(1, i);
    sum += (previousY + y) * (set.GetValue(0, i) - set.GetValue(0, i - 1)) * 0.5;
    previousY = y;
    set.SetValue(1, i, sum);
  }
}

}  // namespace zentrel

namespace zentrel {

void Differentiate(Data_Set& set) {
  if (set.ColumnCount() < 2) return;
  set.SortByX();
  const int last = set.lastIndex(0);
  if (last <= 0) return;
  for (int i = 0; i < last; ++i) {
    const double dx = set.GetValue(0, i + 1) - set.GetValue(0, i);
    const double dy = set.GetValue(1, i + 1) - set.GetValue(1, i);
    set.SetValue(1, i, dx == 0.0 ? 0.0 : dy / dx);
  }
  set.DeletePoint(last);
}

Spacing PointSpacing(const Data_Set& set) {
  Spacing result;
  const int count = set.PointCount(0);
  if (count < 2) return result;
  const double* x = set.ColumnData(0);
  result.spacing = std::fabs(x[1] - x[0]);
  result.evenlySpaced = true;
  for (int i = 2; i <= count - 2; ++i) {
    // |d - s| / s > 1e-5 without dividing: a first interval of 0 then
    // accepts only further zero intervals.
    if (std::fabs(std::fabs(x[i] - x[i - 1]) - result.spacing) > 0.00001 * result.spacing) {
      result.evenlySpaced = false;
      break;
    }
  }
  return result;
}

}  // namespace zentrel
