#include "fit/fit_data.h"

#include "model/data_set.h"

namespace zentrel {

FitData FitDataOf(const Data_Set& set) {
  FitData data;
  if (set.ColumnCount() < 2) return data;
  const auto n = static_cast<size_t>(set.DrawablePointCount());
  data.x = {set.ColumnData(0), n};
  data.y = {set.ColumnData(1), n};
  // A y-error column shorter than the points would be read past its end.
  if (set.ColumnCount() >= 3 && static_cast<size_t>(set.PointCount(2)) >= n) data.sigma = {set.ColumnData(2), n};
  return data;
}

}  // namespace zentrel
