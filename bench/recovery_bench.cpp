// A recovery copy of a 10^6-point document in its two halves: the copy of
// the sets the window's thread makes (it holds up the window), and the
// graph file made from it on the worker (it does not).

#include <memory>

#include <benchmark/benchmark.h>

#include "app/recovery/recovery_snapshot.h"
#include "io/graph_file.h"
#include "model/document.h"

namespace {

constexpr int kPoints = 1'000'000;

std::unique_ptr<zentrel::CZentrelDoc> LargeDocument() {
  auto doc = std::make_unique<zentrel::CZentrelDoc>();
  auto set = std::make_unique<zentrel::Data_Set>();
  for (int i = 0; i < kPoints; ++i) {
    set->SetValue(0, i, i * 1e-3);
    set->SetValue(1, i, (i % 977) * 0.25);
    set->SetValue(2, i, 0.5);
  }
  doc->AppendSet(std::move(set));
  return doc;
}

void BM_RecoverySnapshot(benchmark::State& state) {
  const auto doc = LargeDocument();
  for (auto _ : state) benchmark::DoNotOptimize(zentrel::SnapshotForRecovery(*doc));
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond);

void BM_RecoveryGraphBytes(benchmark::State& state) {
  const auto snapshot = zentrel::SnapshotForRecovery(*LargeDocument());
  for (auto _ : state) benchmark::DoNotOptimize(zentrel::GraphFileBytes(*snapshot));
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_RecoveryGraphBytes)->Unit(benchmark::kMillisecond);

}  // namespace
