// Data set storage: appending points, and SortByX against std::sort of the
// same (x, y) pairs. bench/run prints the sort ratio.

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "model/data_set.h"

namespace {

constexpr int kAppendPoints = 10'000'000;
constexpr int kSortPoints = 1'000'000;

std::vector<double> ShuffledValues(int n) {
  std::vector<double> values(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) values[static_cast<size_t>(i)] = i * 0.5;
  std::mt19937_64 random(42);
  std::shuffle(values.begin(), values.end(), random);
  return values;
}

void BM_AppendPoints(benchmark::State& state) {
  for (auto _ : state) {
    zentrel::Data_Set set;
    for (int i = 0; i < kAppendPoints; ++i) {
      set.SetValue(0, i, i);
      set.SetValue(1, i, -i);
    }
    benchmark::DoNotOptimize(set.ColumnData(1));
  }
  state.SetItemsProcessed(state.iterations() * kAppendPoints);
}
BENCHMARK(BM_AppendPoints)->Unit(benchmark::kMillisecond);

void BM_SortByX(benchmark::State& state) {
  const std::vector<double> x = ShuffledValues(kSortPoints);
  for (auto _ : state) {
    state.PauseTiming();
    zentrel::Data_Set set;
    for (int i = 0; i < kSortPoints; ++i) {
      set.SetValue(0, i, x[static_cast<size_t>(i)]);
      set.SetValue(1, i, i);
    }
    state.ResumeTiming();
    set.SortByX();
    benchmark::DoNotOptimize(set.ColumnData(0));
  }
  state.SetItemsProcessed(state.iterations() * kSortPoints);
}
BENCHMARK(BM_SortByX)->Unit(benchmark::kMillisecond);

void BM_StdSortPairs(benchmark::State& state) {
  const std::vector<double> x = ShuffledValues(kSortPoints);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::pair<double, double>> points(x.size());
    for (size_t i = 0; i < x.size(); ++i) points[i] = {x[i], static_cast<double>(i)};
    state.ResumeTiming();
    std::sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    benchmark::DoNotOptimize(points.data());
  }
  state.SetItemsProcessed(state.iterations() * kSortPoints);
}
BENCHMARK(BM_StdSortPairs)->Unit(benchmark::kMillisecond);

}  // namespace
