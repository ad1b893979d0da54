#include "view/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "numeric/c_format.h"
#include "view/nice_numbers.h"

namespace zentrel {

namespace {

// A degenerate or unrepresentable range must not spin forever: a tick loop
// stops when its value no longer grows, and never draws more than this.
constexpr int kMaxTicks = 1000;
// A tick that falls on the end of the range is drawn even when the running
// sum overshoots it by rounding (a fraction of a step this small).
constexpr double kEndSlack = 1e-9;

std::string LinearLabel(double value, double scaled, int exponent, bool useAbbreviations, const char* format) {
  if (!useAbbreviations || std::fabs(value) > 1e18 || std::fabs(value) < 1e-16) return CFormat("%g", value);
  return CFormat(format, scaled, AbbreviationLetter(exponent));
}

enum class Axis { X, Y };

// Places a tick's label and mark: below the x axis, left of the y axis.
void DrawTick(Surface& surface, const Viewport& viewport, Axis axis, double value, const std::string& label) {
  const DeviceRect& plot = viewport.plotRect;
  if (axis == Axis::X) {
    const std::int32_t px = viewport.DataToDeviceX(value);
    surface.DrawText({px - 5, plot.bottom - 16}, label);
    surface.DrawLine({px, plot.bottom - 6}, {px, plot.bottom + 4});
  } else {
    const std::int32_t py = viewport.DataToDeviceY(value);
    surface.DrawText({plot.left - 55, py + 3}, label);
    surface.DrawLine({plot.left - 5, py}, {plot.left + 5, py});
  }
}

void DrawLinearTicks(Surface& surface, const Viewport& viewport, Axis axis, bool useAbbreviations) {
  const DataRange& range = viewport.range;
  const double lo = axis == Axis::X ? range.xMin : range.yMin;
  const double hi = axis == Axis::X ? range.xMax : range.yMax;
  const double s0 = NiceCeil(hi - lo);
  double start = NiceFloor(lo);
  const auto snapToZero = [&] {
    if (start < 0.0 && std::fabs(start / s0) < 0.2) start = 0.0;
  };
  if (axis == Axis::X) {
    snapToZero();
    if (start < lo) start += 0.2 * s0;
  } else {
    if (start < lo) start += 0.2 * s0;
    snapToZero();
  }
  if (start + 10.0 * s0 < hi) start = hi - 4.0 * s0;
  const int exponent = useAbbreviations ? AbbreviationExponent(s0) : 0;
  if (hi < start) return;
  const double f = std::pow(0.1, exponent);
  const char* format = axis == Axis::X ? "%3.2lf%c" : "%3.1lf%c";
  const double step = s0 * 0.2;
  const double end = hi + kEndSlack * step;
  double label = start * f;
  double value = start;
  for (int tick = 0; value <= end && tick < kMaxTicks; ++tick) {
    DrawTick(surface, viewport, axis, value, LinearLabel(value, label, exponent, useAbbreviations, format));
    label += f * s0 * 0.2;
    const double next = value + step;
    if (!(next > value)) break;
    value = next;
  }
}

// Six values equally spaced in logarithms from the lower end to the upper,
// not decades. The ticks start from the range as the document holds it and
// the loop's first test reads its upper end too; every later test reads
// the range as drawn. For a range that needs no repair (the document's
// after any redraw) both are the same.
void DrawLogTicks(Surface& surface, const Graph& graph, const Viewport& viewport, Axis axis) {
  double lo = axis == Axis::X ? graph.xMin : graph.yMin;
  const double hiAtStart = axis == Axis::X ? graph.xMax : graph.yMax;
  const double hiAsDrawn = axis == Axis::X ? viewport.range.xMax : viewport.range.yMax;
  if (lo <= 0.0) {
    lo = 1e-10;
    if (hiAtStart < 1e-10) lo = hiAtStart * 0.01;
  }
  const double span = std::log(hiAtStart / lo);
  const double step = 0.2 * span;
  double level = std::log(lo);
  for (int tick = 0; tick < kMaxTicks; ++tick) {
    const double hi = tick == 0 ? hiAtStart : hiAsDrawn;
    if (!(std::log(hi) + kEndSlack * std::fabs(step) >= level)) break;
    const double value = std::exp(level);
    DrawTick(surface, viewport, axis, value, CFormat("%1.1le", value));
    const double next = level + step;
    if (!(next > level)) break;
    level = next;
  }
}

// One UTF-8 character per line: a byte-wise split would tear apart any
// character outside ASCII.
std::vector<std::string> SplitCharacters(const std::string& text) {
  std::vector<std::string> out;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !out.empty())
      out.back() += c;
    else
      out.emplace_back(1, c);
  }
  return out;
}

void DrawLabels(Surface& surface, const Graph& graph, const Viewport& viewport) {
  if (graph.title.empty() && graph.xLabel.empty() && graph.yLabel.empty()) return;
  const DataRange& range = viewport.range;
  const std::int32_t left = viewport.DataToDeviceX(range.xMin);
  const std::int32_t cx = (left + viewport.DataToDeviceX(range.xMax)) / 2;
  if (!graph.title.empty()) {
    const std::int32_t width = surface.MeasureText(graph.title).width;
    surface.DrawText({cx - width / 2, viewport.DataToDeviceY(range.yMax) + 20}, graph.title);
  }
  if (!graph.xLabel.empty()) {
    const std::int32_t width = surface.MeasureText(graph.xLabel).width;
    surface.DrawText({cx - width / 2, viewport.DataToDeviceY(range.yMin) - 30}, graph.xLabel);
  }
  if (!graph.yLabel.empty()) {
    const auto characters = SplitCharacters(graph.yLabel);
    const std::int32_t x = viewport.DataToDeviceX(range.xMin) - 75;
    const std::int64_t middle =
        (std::int64_t{viewport.DataToDeviceY(range.yMin)} + viewport.DataToDeviceY(range.yMax)) / 2;
    std::int64_t y = middle + 8 * static_cast<std::int64_t>(characters.size());
    for (const auto& character : characters) {
      surface.DrawText({x, ToDevice(static_cast<double>(y))}, character);
      y -= 16;
    }
  }
}

void DrawPolarGrid(Surface& surface, const Viewport& viewport) {
  PenScope pen(surface, kPolarGridGrey);
  const double fullTurn = viewport.radians ? 6.2831854 : 360.0;
  const double spokeStep = viewport.radians ? 0.785398175 : 45.0;
  const DataRange& range = viewport.range;
  const double radius =
      std::max({std::fabs(range.xMin), std::fabs(range.xMax), std::fabs(range.yMin), std::fabs(range.yMax)});
  const auto at = [&](double angle, double r) {
    return DevicePoint{viewport.PolarToDeviceX(angle, r), viewport.PolarToDeviceY(angle, r)};
  };
  std::vector<DeviceSegment> segments;
  const auto addClipped = [&](DevicePoint from, DevicePoint to) {
    if (auto clipped = ClipToPlot(viewport, from, to)) segments.push_back(*clipped);
  };
  const DevicePoint pole = at(0.0, 0.0);
  for (double a = 0.0; a < fullTurn; a += spokeStep) addClipped(pole, at(a, radius));
  if (radius > 0.0) {
    const double step = fullTurn * 0.002777777777777778;
    // Four circles: R, 3/4 R, R/2, R/4 (rounding must not add a fifth dot).
    int circle = 0;
    for (double r = radius; r > 0.0 && circle < 4; r -= radius / 4.0, ++circle)
      for (double a = 0.0; a < fullTurn; a += step) addClipped(at(a, r), at(a + step, r));
  }
  surface.DrawSegments(segments);
}

}  // namespace

std::optional<DeviceSegment> ClipToPlot(const Viewport& viewport, DevicePoint from, DevicePoint to) {
  if (viewport.InsidePlot(from) && viewport.InsidePlot(to)) return DeviceSegment{from, to};
  const DeviceRect& r = viewport.plotRect;
  const double x1 = from.x, y1 = from.y;
  const double dx = static_cast<double>(to.x) - x1, dy = static_cast<double>(to.y) - y1;
  const double tests[4][2] = {{-dx, x1 - r.left}, {dx, r.right - x1}, {-dy, y1 - r.bottom}, {dy, r.top - y1}};
  double t0 = 0.0, t1 = 1.0;
  for (const auto& [p, q] : tests) {
    if (p < 0.0) {
      const double t = q / p;
      if (t > t1) return std::nullopt;
      if (t > t0) t0 = t;
    } else if (p > 0.0) {
      const double t = q / p;
      if (t < t0) return std::nullopt;
      if (t < t1) t1 = t;
    } else if (q < 0.0) {
      return std::nullopt;
    }
  }
  DeviceSegment out{from, to};
  if (t0 > 0.0) out.from = {ToDevice(x1 + t0 * dx), ToDevice(y1 + t0 * dy)};
  if (t1 < 1.0) out.to = {ToDevice(x1 + t1 * dx), ToDevice(y1 + t1 * dy)};
  return out;
}

void DrawClippedLine(Surface& surface, const Viewport& viewport, DevicePoint from, DevicePoint to) {
  if (auto clipped = ClipToPlot(viewport, from, to)) surface.DrawLine(clipped->from, clipped->to);
}

void DrawAxes(Surface& surface, const Graph& graph, const Viewport& viewport, bool useAbbreviations) {
  if (viewport.polar) {
    DrawPolarGrid(surface, viewport);
    return;
  }
  surface.DrawRectangle(viewport.plotRect);
  if (viewport.logX)
    DrawLogTicks(surface, graph, viewport, Axis::X);
  else
    DrawLinearTicks(surface, viewport, Axis::X, useAbbreviations);
  if (viewport.logY)
    DrawLogTicks(surface, graph, viewport, Axis::Y);
  else
    DrawLinearTicks(surface, viewport, Axis::Y, useAbbreviations);
  DrawLabels(surface, graph, viewport);
}

}  // namespace zentrel
