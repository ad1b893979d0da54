// Drawing dense sets into a 1600 x 1000 image through the QPainter surface,
// with and without PNG encoding. bench/peer_render.py draws the same data
// with matplotlib (Agg); bench/run prints the ratios, and the ratio of the
// paper style to the classic one for the same points.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cmath>
#include <memory>

#include "graph_export.h"
#include "fit/catalogue.h"
#include "model/document.h"
#include "model/fit.h"
#include "model/autoscale.h"

namespace zentrel {
namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;

// The same series as bench/peer_render.py: a sine over x 0..10 with a
// deterministic saw-tooth noise, set j shifted up by 0.3 j.
void AddSeries(CZentrelDoc& doc, int n, int j, bool withFit) {
  auto set = std::make_unique<Data_Set>();
  set->Reserve(0, n);
  set->Reserve(1, n);
  for (int k = 0; k < n; ++k) {
    const double x = k * 10.0 / n;
    const double noise = static_cast<double>((static_cast<long long>(k) * 7919) % 1000) / 1000.0 - 0.5;
    set->SetValue(0, k, x);
    set->SetValue(1, k, std::sin(3.0 * x + j) + 0.2 * noise + 0.3 * j);
  }
  set->color = MakeColour(0, 0, 200);
  if (withFit) {
    // A cubic over the whole set: 0.3 j + 0.1 x - 0.05 x^2 + 0.002 x^3.
    auto fit = std::make_unique<Fit>();
    SelectModel(*fit, "Polynomial", 3);
    fit->params[0] = 0.3 * j;
    fit->params[2] = 0.1;
    fit->params[3] = -0.05;
    fit->params[4] = 0.002;
    set->fits.push_back(std::move(fit));
    set->ReattachFits();
  }
  doc.AppendSet(std::move(set));
}

std::unique_ptr<CZentrelDoc> MakeDocument(int sets, int points, bool markers, bool fits) {
  auto doc = std::make_unique<CZentrelDoc>();
  for (int j = 0; j < sets; ++j) AddSeries(*doc, points, j, fits);
  doc->graph.showMarkers = markers ? 1 : 0;
  Autoscale(*doc);
  return doc;
}

void Render(benchmark::State& state, int sets, int points, bool markers, bool png, bool fits = false,
            DrawStyle style = DrawStyle::Classic) {
  const auto doc = MakeDocument(sets, points, markers, fits);
  DrawOptions options;
  options.style = style;
  for (auto _ : state) {
    const QImage image = RenderGraphImage(*doc, kWidth, kHeight, options);
    if (png) {
      QByteArray bytes;
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::WriteOnly);
      image.save(&buffer, "PNG");
      benchmark::DoNotOptimize(bytes.size());
    } else {
      benchmark::DoNotOptimize(image.constBits());
    }
  }
  state.SetItemsProcessed(state.iterations() * sets * points);
}

void BM_Render1MLines(benchmark::State& state) { Render(state, 1, 1000000, false, false); }
void BM_Render1MLinesPng(benchmark::State& state) { Render(state, 1, 1000000, false, true); }
void BM_Render1MLinesMarkers(benchmark::State& state) { Render(state, 1, 1000000, true, false); }
void BM_Render1MLinesMarkersPng(benchmark::State& state) { Render(state, 1, 1000000, true, true); }
void BM_Render10x100kLinesPng(benchmark::State& state) { Render(state, 10, 100000, false, true); }
void BM_Render10x100kFitsPng(benchmark::State& state) { Render(state, 10, 100000, false, true, true); }
void BM_Render1MLinesPaper(benchmark::State& state) {
  Render(state, 1, 1000000, false, false, false, DrawStyle::Paper);
}
void BM_Render1MLinesMarkersPaper(benchmark::State& state) {
  Render(state, 1, 1000000, true, false, false, DrawStyle::Paper);
}
void BM_Render10x100kFitsPaper(benchmark::State& state) {
  Render(state, 10, 100000, false, false, true, DrawStyle::Paper);
}
void BM_Render10x100kFits(benchmark::State& state) { Render(state, 10, 100000, false, false, true); }

BENCHMARK(BM_Render1MLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1MLinesPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1MLinesMarkers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1MLinesMarkersPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render10x100kLinesPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render10x100kFitsPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1MLinesPaper)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render1MLinesMarkersPaper)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render10x100kFits)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Render10x100kFitsPaper)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zentrel
