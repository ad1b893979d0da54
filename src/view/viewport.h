#pragma once
// Where the graph lands on one drawing surface: the page, the plot frame
// laid out inside it and the mapping between data and device units,
// polar and logarithmic axes included. Worked out from the document's
// settings and the page size alone; each surface (window, printer, image)
// keeps its own, and nothing of it is stored in the document.

#include <cstdint>

#include "model/graph.h"

namespace zentrel {

class CZentrelDoc;

// Largest magnitude of a device coordinate: keeps far-away points within
// what every drawing back end accepts.
inline constexpr std::int32_t kDeviceLimit = 32766;

// Clamps to +-kDeviceLimit and truncates toward zero. NaN has no position on
// the page; it goes to the lower limit instead of an undefined conversion.
std::int32_t ToDevice(double d);

// The axes frame inside a page, leaving room for the tick labels and for
// whichever of title and labels the graph has.
DeviceRect LayoutPlot(const Graph& graph, const DeviceRect& page);

struct Viewport {
  DeviceRect pageRect;
  DeviceRect plotRect;
  // The visible range as drawn: Graph::DrawableRange(), with an axis whose
  // ends (or extent) are not finite drawn over 0 .. 1.
  DataRange range;
  bool logX = false;
  bool logY = false;
  bool polar = false;
  bool radians = false;
  double polarOrigin = 0.0;

  // Data to device. On a logarithmic axis a non-positive value lands on the
  // left (bottom) edge.
  std::int32_t DataToDeviceX(double x) const;
  std::int32_t DataToDeviceY(double y) const;
  // Device to data; 0 for an empty plot rectangle. No clamping.
  double DeviceToDataX(std::int32_t d) const;
  double DeviceToDataY(std::int32_t d) const;
  // Polar: the angle (plus polarOrigin, in degrees unless radians) and the
  // radius give a Cartesian point, mapped with the ordinary ranges.
  std::int32_t PolarToDeviceX(double angle, double radius) const;
  std::int32_t PolarToDeviceY(double angle, double radius) const;
  bool InsidePlot(std::int32_t x, std::int32_t y) const {
    return plotRect.left <= x && x <= plotRect.right && plotRect.bottom <= y && y <= plotRect.top;
  }
  bool InsidePlot(DevicePoint p) const { return InsidePlot(p.x, p.y); }
  PageLayout layout() const { return {pageRect, plotRect}; }
};

Viewport MakeViewport(const Graph& graph, const DeviceRect& page);
Viewport MakeViewport(const CZentrelDoc& doc, const DeviceRect& page);

}  // namespace zentrel
