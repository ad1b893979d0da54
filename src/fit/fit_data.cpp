#include "fit/fit_data.h"

#include <algorithm>
#include <cmath>

#include "model/data_set.h"
#include "numeric/ascending_order.h"

namespace zentrel {

namespace {

// Fills the sorted columns from the set's through sorted.order.
void Gather(SortedColumns& sorted, std::span<const double> x, std::span<const double> y,
            std::span<const double> sigma) {
  const size_t n = sorted.order.size();
  sorted.x.resize(n);
  sorted.y.resize(n);
  sorted.sigma.resize(sigma.empty() ? 0 : n);
  for (size_t i = 0; i < n; ++i) {
    const auto k = static_cast<size_t>(sorted.order[i]);
    sorted.x[i] = x[k];
    sorted.y[i] = y[k];
    if (!sigma.empty()) sorted.sigma[i] = sigma[k];
  }
}

void Sort(SortedColumns& sorted, std::span<const double> x, std::span<const double> y, std::span<const double> sigma) {
  sorted.order = AscendingOrder(x);
  Gather(sorted, x, y, sigma);
}

FitData ViewOf(std::shared_ptr<const SortedColumns> sorted) {
  FitData data;
  data.x = sorted->x;
  data.y = sorted->y;
  data.sigma = sorted->sigma;
  data.sorted = std::move(sorted);
  return data;
}

struct Columns {
  std::span<const double> x, y, sigma;
};

Columns ColumnsOf(const Data_Set& set) {
  Columns columns;
  if (set.ColumnCount() < 2) return columns;
  const auto n = static_cast<size_t>(set.DrawablePointCount());
  columns.x = {set.ColumnData(0), n};
  columns.y = {set.ColumnData(1), n};
  // A y-error column shorter than the points would be read past its end.
  if (set.ColumnCount() >= 3 && static_cast<size_t>(set.PointCount(2)) >= n) columns.sigma = {set.ColumnData(2), n};
  return columns;
}

}  // namespace

FitData OrderedByX(std::span<const double> x, std::span<const double> y, std::span<const double> sigma) {
  if (IsAscending(x)) return {x, y, sigma, nullptr};
  auto sorted = std::make_shared<SortedColumns>();
  Sort(*sorted, x, y, sigma);
  return ViewOf(std::move(sorted));
}

FitData FitDataOf(const Data_Set& set) {
  const Columns columns = ColumnsOf(set);
  return OrderedByX(columns.x, columns.y, columns.sigma);
}

FitData FitDataOf(const Data_Set& set, FitDataCache& cache) {
  const Columns columns = ColumnsOf(set);
  if (IsAscending(columns.x)) return {columns.x, columns.y, columns.sigma, nullptr};
  // Someone still reads the last columns: they must not change under them.
  if (cache.sorted && cache.sorted.use_count() > 1) cache.sorted = std::make_shared<SortedColumns>(*cache.sorted);
  if (cache.sorted && cache.sorted->order.size() == columns.x.size()) {
    // The last order still sorts the set when the set's x have not moved.
    Gather(*cache.sorted, columns.x, columns.y, columns.sigma);
    if (IsAscending(cache.sorted->x)) return ViewOf(cache.sorted);
  }
  if (!cache.sorted) cache.sorted = std::make_shared<SortedColumns>();
  Sort(*cache.sorted, columns.x, columns.y, columns.sigma);
  return ViewOf(cache.sorted);
}

bool PointsInRange(const FitData& data, double start, double end, int& first, int& last) {
  if (!(start <= end)) return false;
  // NaN x trail the ascending ones and lie in no range.
  const auto numbers = std::partition_point(data.x.begin(), data.x.end(), [](double v) { return !std::isnan(v); });
  const auto from = std::lower_bound(data.x.begin(), numbers, start);
  const auto to = std::upper_bound(from, numbers, end);
  if (from == to) return false;
  first = static_cast<int>(from - data.x.begin());
  last = static_cast<int>(to - data.x.begin()) - 1;
  return true;
}

int CountPointsInRange(const FitData& data, double start, double end) {
  int first = 0, last = -1;
  return PointsInRange(data, start, end, first, last) ? last - first + 1 : 0;
}

}  // namespace zentrel
