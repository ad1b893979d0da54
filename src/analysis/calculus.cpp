#include "analysis/calculus.h"

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
