#include "model/graph.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace zentrel {

namespace {

// Degrees to radians with the program's own rounded constant.
constexpr double kDegree = 0.01745329277777778;

// Rectangle arithmetic in 64 bits: a stored rectangle may hold anything.
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

void Graph::SetRange(double newXMin, double newYMin, double newXMax, double newYMax) {
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

void Graph::ResetGraph() {
  SetRange(0.0, 0.0, 1.0, 1.0);
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

std::int32_t Graph::DataToDeviceX(double x) {
  const double left = plotRect.left;
  const double width = static_cast<double>(plotRect.right) - left;
  if (logX) {
    if (x <= 0.0) return plotRect.left;
    if (xMax <= 0.0) xMax = 1.0;
    if (xMin <= 0.0) xMin = 1e-10;
    if (xMin == xMax) xMin = xMin * 0.1;
    return ToDevice(left + width * std::log(x / xMin) / std::log(xMax / xMin));
  }
  return ToDevice(left + width / (xMax - xMin) * (x - xMin));
}

std::int32_t Graph::DataToDeviceY(double y) {
  const double bottom = plotRect.bottom;
  const double height = static_cast<double>(plotRect.top) - bottom;
  if (logY) {
    if (y <= 0.0) return plotRect.bottom;
    if (yMax <= 0.0) yMax = 1.0;
    if (yMin <= 0.0) yMin = 1e-10;
    if (yMin == yMax) yMin = yMin * 0.1;
    return ToDevice(bottom + height * std::log(y / yMin) / std::log(yMax / yMin));
  }
  return ToDevice(bottom + height / (yMax - yMin) * (y - yMin));
}

double Graph::DeviceToDataX(std::int32_t d) const {
  const double width = static_cast<double>(plotRect.right) - plotRect.left;
  if (width == 0.0) return 0.0;
  const double offset = static_cast<double>(d) - plotRect.left;
  if (logX) return xMin * std::exp(std::log(xMax / xMin) * offset / width);
  return xMin + (xMax - xMin) * offset / width;
}

double Graph::DeviceToDataY(std::int32_t d) const {
  const double height = static_cast<double>(plotRect.bottom) - plotRect.top;
  if (height == 0.0) return 0.0;
  const double offset = static_cast<double>(plotRect.bottom) - d;
  if (logY) return yMin * std::exp(std::log(yMax / yMin) * offset / height);
  return yMin + (yMax - yMin) * offset / height;
}

std::int32_t Graph::PolarToDeviceX(double angle, double radius) {
  double a = angle + polarOrigin;
  if (!radians) a *= kDegree;
  return DataToDeviceX(radius * std::cos(a));
}

std::int32_t Graph::PolarToDeviceY(double angle, double radius) {
  double a = angle + polarOrigin;
  if (!radians) a *= kDegree;
  return DataToDeviceY(radius * std::sin(a));
}

void Graph::LayoutPlot(const DeviceRect& page) {
  pageRect = page;
  plotRect.left = Saturate(std::int64_t{page.left} + 65 + (yLabel.empty() ? 0 : 20));
  plotRect.right = Saturate(std::int64_t{page.right} - 35);
  plotRect.top = Saturate(std::int64_t{page.top} - 5 - (title.empty() ? 0 : 20));
  plotRect.bottom = Saturate(std::int64_t{page.bottom} + 35 + (xLabel.empty() ? 0 : 20));
}

}  // namespace zentrel
