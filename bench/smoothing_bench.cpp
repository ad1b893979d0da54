// Smoothing 10^7 points: Savitzky-Golay over 21 points (quartic) and a
// 21-point Moving Window. bench/peer_smoothing.py times scipy's
// savgol_filter and numpy's convolve on the same data and prints the ratios.

#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/smoothing.h"
#include "expr/expression.h"
#include "model/data_set.h"

namespace {

constexpr int kPoints = 10'000'000;

// A large offset with noise: what a running sum would lose accuracy on.
std::unique_ptr<zentrel::Data_Set> NoisySet() {
  auto set = std::make_unique<zentrel::Data_Set>();
  set->Reserve(0, kPoints);
  set->Reserve(1, kPoints);
  std::mt19937_64 random(5);
  std::normal_distribution<double> noise(0.0, 1.0);
  for (int i = 0; i < kPoints; ++i) {
    set->SetValue(0, i, i * 1e-3);
    set->SetValue(1, i, 1e6 + std::sin(i * 1e-4) + noise(random));
  }
  return set;
}

void Smooth(benchmark::State& state, int method) {
  auto set = NoisySet();
  zentrel::Expression n;
  zentrel::CompileExpression("21", n);
  for (auto _ : state) {
    const zentrel::SmoothOutcome outcome = zentrel::smoothSet(*set, method, n);
    if (!outcome.ok) state.SkipWithError(outcome.message.c_str());
    benchmark::DoNotOptimize(set->ColumnData(1));
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_SavitzkyGolay21(benchmark::State& state) { Smooth(state, zentrel::kSmoothSavitzkyGolay); }
BENCHMARK(BM_SavitzkyGolay21)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_MovingWindow21(benchmark::State& state) { Smooth(state, zentrel::kSmoothMovingWindow); }
BENCHMARK(BM_MovingWindow21)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace
