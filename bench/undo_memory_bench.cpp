// Memory of the undo history: a document of 10^6 points in ten sets, 20
// commands that each rewrite the y column of one set. The counters give the
// bytes the history holds beyond the document, one edited set's columns
// and the whole document's, and the history's cost per level in sets: about
// one y column (a third of a set here) per level, not the document.

#include <string>

#include <benchmark/benchmark.h>

#include "model/document.h"

namespace {

constexpr int kSets = 10;
constexpr int kPointsPerSet = 100'000;
constexpr int kLevels = 20;

std::size_t ColumnBytes(const zentrel::Data_Set& set) {
  std::size_t bytes = 0;
  for (const auto& buffer : set.ColumnBuffers()) bytes += buffer.bytes;
  return bytes;
}

void FillDocument(zentrel::CZentrelDoc& doc) {
  for (int k = 0; k < kSets; ++k) {
    auto set = std::make_unique<zentrel::Data_Set>();
    set->name = "set " + std::to_string(k);
    for (int c = 0; c < 3; ++c) set->Reserve(c, kPointsPerSet);
    for (int i = 0; i < kPointsPerSet; ++i) {
      set->SetValue(0, i, i);
      set->SetValue(1, i, k + 0.001 * i);
      set->SetValue(2, i, 0.1);
    }
    doc.AppendSet(std::move(set));
  }
}

// One command: the snapshot Dispatch takes, then a rewrite of set 0's y
// values as a smoothing would do.
void EditOneSet(zentrel::CZentrelDoc& doc, int level) {
  doc.TakeUndoSnapshot("Smooth");
  zentrel::Data_Set& set = *doc.sets[0];
  double* y = set.WritableColumnData(1);
  for (int i = 0; i < set.PointCount(1); ++i) y[i] += level;
}

void BM_UndoHistoryMemory(benchmark::State& state) {
  std::size_t held = 0;
  for (auto _ : state) {
    state.PauseTiming();
    zentrel::CZentrelDoc doc;
    FillDocument(doc);
    state.ResumeTiming();
    for (int level = 1; level <= kLevels; ++level) EditOneSet(doc, level);
    state.PauseTiming();
    held = doc.undoHistory().HeldBytes(doc.sets);
    const std::size_t oneSet = ColumnBytes(*doc.sets[0]);
    std::size_t document = 0;
    for (const auto& set : doc.sets) document += ColumnBytes(*set);
    state.counters["levels"] = doc.undoHistory().UndoCount();
    state.counters["history_bytes"] = static_cast<double>(held);
    state.counters["one_set_bytes"] = static_cast<double>(oneSet);
    state.counters["document_bytes"] = static_cast<double>(document);
    state.counters["sets_per_level"] = static_cast<double>(held) / kLevels / static_cast<double>(oneSet);
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(held);
}
BENCHMARK(BM_UndoHistoryMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
