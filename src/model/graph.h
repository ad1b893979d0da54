#pragma once
// The document's axis and display settings: visible and previous ranges,
// labels and switches. Where things land on a page is worked out from
// these by view/viewport.h.

#include <cstdint>
#include <string>

#include "model/graph_range.h"
#include "model/zoom_history.h"

namespace zentrel {

// Device units: hundredths of an inch, y growing upwards, so top > bottom.
struct DeviceRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  friend bool operator==(const DeviceRect&, const DeviceRect&) = default;
};

struct DevicePoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const DevicePoint&, const DevicePoint&) = default;
};

// The page and plot rectangles of a drawing of the graph (a graph file
// records those of the last drawing shown).
struct PageLayout {
  DeviceRect pageRect;
  DeviceRect plotRect;
  friend bool operator==(const PageLayout&, const PageLayout&) = default;
};

class Graph {
 public:
  // Remembers the current range as the previous one and in the zoom
  // history, then stores the new one.
  void SetRange(double newXMin, double newYMin, double newXMax, double newYMax);
  void SetRange(const DataRange& range) { SetRange(range.xMin, range.yMin, range.xMax, range.yMax); }
  DataRange GetRange() const { return {xMin, yMin, xMax, yMax}; }
  // Shows a range without remembering anything (the steps of a pan; its
  // end is one SetRange).
  void ShowRange(const DataRange& range);
  // Exchanges the visible and the previous range (twice is a no-op).
  void SwapRanges();
  // One step back: the newest range of the zoom history becomes visible and
  // the one left becomes the previous range. Right after a zoom that is
  // exactly SwapRanges; with the history used up it is SwapRanges, so the
  // last two views alternate as they always did.
  void Unzoom();
  // Back to a new document's state; the fit display switches and the
  // residual scale survive.
  void ResetGraph();
  void SetPolarOrigin(double origin) { polarOrigin = origin; }

  // The visible range as a logarithmic axis can draw it: on such an axis
  // an upper end <= 0 becomes 1, then a lower end <= 0 becomes 1e-10, then
  // a lower end equal to the upper one becomes a tenth of itself. Linear
  // axes keep their ends.
  DataRange DrawableRange() const;
  // Stores DrawableRange() as the visible range (the previous range stays).
  void RepairLogRanges();

  double xMin = 0.0, xMax = 1.0;
  double yMin = 0.0, yMax = 1.0;
  std::string title;
  std::string xLabel;
  std::string yLabel;
  double residualScale = 1.0;
  std::int32_t showMarkers = 0;
  std::int32_t showFitEquations = 0;
  std::int32_t showXErrorBars = 0;
  std::int32_t showYErrorBars = 0;
  std::int32_t showResiduals = 0;
  std::int32_t showZeroLines = 0;
  std::int32_t polar = 0;
  std::int32_t radians = 0;
  double polarOrigin = 0.0;
  double prevXMin = 0.0, prevXMax = 1.0;
  double prevYMin = 0.0, prevYMax = 1.0;
  std::int32_t logX = 0;
  std::int32_t logY = 0;
  std::int32_t translating = 0;
  double translateAnchorX = 0.0;
  double translateAnchorY = 0.0;
  // Not stored in the graph file.
  ZoomHistory zoomHistory;
};

}  // namespace zentrel
