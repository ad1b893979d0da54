#include "analysis/autocorrelation.h"

#include "model/data_set.h"

namespace zentrel {

std::unique_ptr<Data_Set> autocorrelate(Data_Set& source) {
  if (source.ColumnCount() < 2) return nullptr;
  const int n = source.PointCount(0);
  if (n < 10) return nullptr;
  const double* y = source.ColumnData(1);
  if (source.PointCount(1) < n) return nullptr;
  const double spacing = source.GetValue(0, 1) - source.GetValue(0, 0);
  const int half = n / 2;

  auto result = std::make_unique<Data_Set>();
  result->Reserve(0, 2 * half);
  result->Reserve(1, 2 * half);
  for (int lag = 0; lag < half; ++lag) {
    double sum = 0;
    for (int j = 0; j < n - lag; ++j) sum += y[lag + j] * y[j];
    const double value = sum / (n - lag);
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
  return result;
}

}  // namespace zentrel
