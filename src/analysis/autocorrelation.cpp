#include "analysis/autocorrelation.h"

#include <optional>
#include <vector>

#include "analysis/lagged_products.h"
#include "model/data_set.h"

namespace zentrel {

AutocorrelationResult autocorrelate(Data_Set& source, const ProgressCallback& progress) {
  AutocorrelationResult out;
  if (source.ColumnCount() < 2) return out;
  const int n = source.PointCount(0);
  if (n < 10) return out;
  const double* y = source.ColumnData(1);
  if (source.PointCount(1) < n) return out;
  const double spacing = source.GetValue(0, 1) - source.GetValue(0, 0);
  const int half = n / 2;
  const std::optional<std::vector<double>> means = LaggedProductMeans(y, n, half, progress, &out.cancelled);
  if (!means) return out;

  auto result = std::make_unique<Data_Set>();
  result->Reserve(0, 2 * half);
  result->Reserve(1, 2 * half);
  for (int lag = 0; lag < half; ++lag) {
    const double value = (*means)[static_cast<std::size_t>(lag)];
    result->SetValue(0, half + lag, lag * spacing);
    result->SetValue(1, half + lag, value);
    result->SetValue(0, half - 1 - lag, -(lag * spacing));
    result->SetValue(1, half - 1 - lag, value);
  }
  result->color = source.color;
  result->symbolSize = source.symbolSize;
  result->modified = true;
  result->name = source.name + " Autocorrelaiton";
  source.active = true;
  out.set = std::move(result);
  return out;
}

}  // namespace zentrel
