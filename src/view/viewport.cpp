#include "view/viewport.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "model/document.h"

namespace zentrel {

namespace {

// Degrees to radians with the program's own rounded constant.
constexpr double kDegree = 0.01745329277777778;

// Rectangle arithmetic in 64 bits: a page may be anything a caller passes.
std::int32_t Saturate(std::int64_t v) {
  constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(v < lo ? lo : v > hi ? hi : v);
}

// One axis, data to device: from `origin` over `length` device units for
// lo..hi. On a logarithmic axis a non-positive value lands on `edge`.
std::int32_t ToAxis(double v, double origin, double length, double lo, double hi, bool log, std::int32_t edge) {
  if (log) {
    if (v <= 0.0) return edge;
    return ToDevice(origin + length * std::log(v / lo) / std::log(hi / lo));
  }
  return ToDevice(origin + length / (hi - lo) * (v - lo));
}

// One axis, device to data: `offset` device units from the axis' start out
// of `length`; 0 for an axis of no length.
double FromAxis(double offset, double length, double lo, double hi, bool log) {
  if (length == 0.0) return 0.0;
  if (log) return lo * std::exp(std::log(hi / lo) * offset / length);
  return lo + (hi - lo) * offset / length;
}

}  // namespace

std::int32_t ToDevice(double d) {
  if (d > kDeviceLimit) return kDeviceLimit;
  if (d < -kDeviceLimit || std::isnan(d)) return -kDeviceLimit;
  return static_cast<std::int32_t>(d);  // truncates toward zero
}

DeviceRect LayoutPlot(const Graph& graph, const DeviceRect& page) {
  DeviceRect plot;
  plot.left = Saturate(std::int64_t{page.left} + 65 + (graph.yLabel.empty() ? 0 : 20));
  plot.right = Saturate(std::int64_t{page.right} - 35);
  plot.top = Saturate(std::int64_t{page.top} - 5 - (graph.title.empty() ? 0 : 20));
  plot.bottom = Saturate(std::int64_t{page.bottom} + 35 + (graph.xLabel.empty() ? 0 : 20));
  return plot;
}

Viewport MakeViewport(const Graph& graph, const DeviceRect& page) {
  Viewport viewport;
  viewport.pageRect = page;
  viewport.plotRect = LayoutPlot(graph, page);
  viewport.range = graph.DrawableRange();
  // An axis whose stored range is not finite would map every point to the
  // same edge: it is drawn over the unit range instead.
  const auto finiteAxis = [](double& lo, double& hi) {
    if (std::isfinite(lo) && std::isfinite(hi) && std::isfinite(hi - lo)) return;
    lo = 0.0;
    hi = 1.0;
  };
  finiteAxis(viewport.range.xMin, viewport.range.xMax);
  finiteAxis(viewport.range.yMin, viewport.range.yMax);
  viewport.logX = graph.logX != 0;
  viewport.logY = graph.logY != 0;
  viewport.polar = graph.polar != 0;
  viewport.radians = graph.radians != 0;
  viewport.polarOrigin = graph.polarOrigin;
  return viewport;
}

Viewport MakeViewport(const CZentrelDoc& doc, const DeviceRect& page) { return MakeViewport(doc.graph, page); }

std::int32_t Viewport::DataToDeviceX(double x) const {
  const double left = plotRect.left;
  return ToAxis(x, left, static_cast<double>(plotRect.right) - left, range.xMin, range.xMax, logX, plotRect.left);
}

std::int32_t Viewport::DataToDeviceY(double y) const {
  const double bottom = plotRect.bottom;
  return ToAxis(y, bottom, static_cast<double>(plotRect.top) - bottom, range.yMin, range.yMax, logY, plotRect.bottom);
}

double Viewport::DeviceToDataX(std::int32_t d) const {
  return FromAxis(static_cast<double>(d) - plotRect.left, static_cast<double>(plotRect.right) - plotRect.left,
                  range.xMin, range.xMax, logX);
}

double Viewport::DeviceToDataY(std::int32_t d) const {
  return FromAxis(static_cast<double>(plotRect.bottom) - d, static_cast<double>(plotRect.bottom) - plotRect.top,
                  range.yMin, range.yMax, logY);
}

std::int32_t Viewport::PolarToDeviceX(double angle, double radius) const {
  double a = angle + polarOrigin;
  if (!radians) a *= kDegree;
  return DataToDeviceX(radius * std::cos(a));
}

std::int32_t Viewport::PolarToDeviceY(double angle, double radius) const {
  double a = angle + polarOrigin;
  if (!radians) a *= kDegree;
  return DataToDeviceY(radius * std::sin(a));
}

}  // namespace zentrel
