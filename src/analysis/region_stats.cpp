#include "analysis/region_stats.h"

#include <cmath>

#include "analysis/pointwise.h"
#include "model/data_set.h"

namespace zentrel {

double RegionIntegral(Data_Set& set, double xLo, double xHi, double yLo, double yHi) {
  if (set.ColumnCount() < 2) return 0.0;
  set.SortByX();
  const int last = set.lastIndex(0);
  int i = 0;
  while (i <= last && !(set.GetValue(0, i) >= xLo)) ++i;
  double sum = 0.0;
  bool havePrevious = false;
  double x0 = 0.0, y0 = 0.0;
  for (; i <= last && set.GetValue(0, i) <= xHi; ++i) {
    const double x = set.GetValue(0, i), y = set.GetValue(1, i);
    if (!(yLo <= y && y <= yHi)) continue;
    if (havePrevious) sum += (y0 + y) * (x - x0) * 0.5;
    x0 = x, y0 = y;
    havePrevious = true;
  }
  return sum;
}

double RegionMean(const Data_Set& set, double xLo, double xHi, double yLo, double yHi) {
  return MeanInRegion(set, xLo, yLo, xHi, yHi).mean;
}

double RegionStdDev(const Data_Set& set, double xLo, double xHi, double yLo, double yHi) {
  const RegionMeanResult region = MeanInRegion(set, xLo, yLo, xHi, yHi);
  if (region.count <= 1) return 0.0;
  double sum = 0.0;
  const int last = set.lastIndex(0);
  for (int i = 0; i <= last; ++i) {
    const double x = set.GetValue(0, i), y = set.GetValue(1, i);
    if (xLo <= x && x <= xHi && yLo <= y && y <= yHi) sum += (y - region.mean) * (y - region.mean);
  }
  return std::sqrt(sum / (region.count - 1));
}

}  // namespace zentrel
