#pragma once
// The document's axis and display state: visible and previous ranges, page
// and plot rectangles, labels and switches, and the mapping between data
// and device units that every paint, the mouse and the status bar share.
// Drawing that reads this state lives in view/.

#include <cstdint>
#include <string>

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

struct DataRange {
  double xMin = 0.0;
  double yMin = 0.0;
  double xMax = 1.0;
  double yMax = 1.0;
  friend bool operator==(const DataRange&, const DataRange&) = default;
};

// Largest magnitude of a device coordinate: keeps far-away points within
// what every drawing back end accepts.
inline constexpr std::int32_t kDeviceLimit = 32766;

// Clamps to +-kDeviceLimit and truncates toward zero. NaN has no position on
// the page; it goes to the lower limit instead of an undefined conversion.
std::int32_t ToDevice(double d);

class Graph {
 public:
  // Remembers the current range as the previous one, then stores the new one.
  void SetRange(double newXMin, double newYMin, double newXMax, double newYMax);
  DataRange GetRange() const { return {xMin, yMin, xMax, yMax}; }
  // Exchanges the visible and the previous range (Unzoom; twice is a no-op).
  void SwapRanges();
  // Back to a new document's state; the fit display switches and the
  // residual scale survive.
  void ResetGraph();
  void SetPolarOrigin(double origin) { polarOrigin = origin; }

  // Data to device. On a logarithmic axis a non-positive value lands on the
  // left (bottom) edge, and a range that cannot be drawn in logarithms is
  // repaired in place first.
  std::int32_t DataToDeviceX(double x);
  std::int32_t DataToDeviceY(double y);
  // Device to data through the plot rectangle of the last paint; 0 for an
  // empty rectangle. No repair, no clamping.
  double DeviceToDataX(std::int32_t d) const;
  double DeviceToDataY(std::int32_t d) const;
  // Polar: the angle (plus polarOrigin, in degrees unless radians) and the
  // radius give a Cartesian point, mapped with the ordinary ranges.
  std::int32_t PolarToDeviceX(double angle, double radius);
  std::int32_t PolarToDeviceY(double angle, double radius);
  bool InsidePlot(std::int32_t x, std::int32_t y) const {
    return plotRect.left <= x && x <= plotRect.right && plotRect.bottom <= y && y <= plotRect.top;
  }
  bool InsidePlot(DevicePoint p) const { return InsidePlot(p.x, p.y); }
  // Stores the page and lays the axes frame out inside it, leaving room for
  // the tick labels and for whichever of title and labels are set.
  void LayoutPlot(const DeviceRect& page);

  DeviceRect pageRect;
  DeviceRect plotRect;
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
};

}  // namespace zentrel
