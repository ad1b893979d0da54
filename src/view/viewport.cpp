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
  const double width = static_cast<double>(plotRect.right) - left;
  const double lo = range.xMin, hi = range.xMax;
  if (logX) {
    if (x <= 0.0) return plotRect.left;
    return ToDevice(left + width * std::log(x / lo) / std::log(hi / lo));
  }
  return ToDevice(left + width / (hi - lo) * (x - lo));
}

std::int32_t Viewport::DataToDeviceY(double y) const {
  const double bottom = plotRect.bottom;
  const double height = static_cast<double>(plotRect.top) - bottom;
  const double lo = range.yMin, hi = range.yMax;
  if (logY) {
    if (y <= 0.0) return plotRect.bottom;
    return ToDevice(bottom + height * std::log(y / lo) / std::log(hi / lo));
  }
  return ToDevice(bottom + height / (hi - lo) * (y - lo));
}

double Viewport::DeviceToDataX(std::int32_t d) const {
  const double width = static_cast<double>(plotRect.right) - plotRect.left;
  if (width == 0.0) return 0.0;
  const double offset = static_cast<double>(d) - plotRect.left;
  const double lo = range.xMin, hi = range.xMax;
  if (logX) return lo * std::exp(std::log(hi / lo) * offset / width);
  return lo + (hi - lo) * offset / width;
}

double Viewport::DeviceToDataY(std::int32_t d) const {
  const double height = static_cast<double>(plotRect.bottom) - plotRect.top;
  if (height == 0.0) return 0.0;
  const double offset = static_cast<double>(plotRect.bottom) - d;
  const double lo = range.yMin, hi = range.yMax;
  if (logY) return lo * std::exp(std::log(hi / lo) * offset / height);
  return lo + (hi - lo) * offset / height;
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
