#include "model/graph.h"

#include <cstdint>
#include <optional>
#include <utility>

namespace zentrel {

void Graph::SetRange(double newXMin, double newYMin, double newXMax, double newYMax) {
  zoomHistory.push(GetRange());
  prevXMin = xMin;
  prevYMin = yMin;
  prevXMax = xMax;
  prevYMax = yMax;
  xMin = newXMin;
  yMin = newYMin;
  xMax = newXMax;
  yMax = newYMax;
}

void Graph::SwapRanges() {
  std::swap(xMin, prevXMin);
  std::swap(xMax, prevXMax);
  std::swap(yMin, prevYMin);
  std::swap(yMax, prevYMax);
}

void Graph::ShowRange(const DataRange& range) {
  xMin = range.xMin;
  yMin = range.yMin;
  xMax = range.xMax;
  yMax = range.yMax;
}

void Graph::Unzoom() {
  const std::optional<DataRange> back = zoomHistory.pop();
  if (!back) {
    SwapRanges();
    return;
  }
  const DataRange shown = GetRange();
  ShowRange(*back);
  prevXMin = shown.xMin;
  prevYMin = shown.yMin;
  prevXMax = shown.xMax;
  prevYMax = shown.yMax;
}

void Graph::ResetGraph() {
  SetRange(0.0, 0.0, 1.0, 1.0);
  zoomHistory.clear();
  title.clear();
  xLabel.clear();
  yLabel.clear();
  showMarkers = 0;
  showXErrorBars = 0;
  showYErrorBars = 0;
  logX = 0;
  logY = 0;
  polar = 0;
  radians = 0;
  polarOrigin = 0.0;
}

DataRange Graph::DrawableRange() const {
  DataRange range = GetRange();
  const auto repair = [](double& lo, double& hi) {
    if (hi <= 0.0) hi = 1.0;
    if (lo <= 0.0) lo = 1e-10;
    if (lo == hi) lo = lo * 0.1;
  };
  if (logX) repair(range.xMin, range.xMax);
  if (logY) repair(range.yMin, range.yMax);
  return range;
}

void Graph::RepairLogRanges() { ShowRange(DrawableRange()); }

}  // namespace zentrel
