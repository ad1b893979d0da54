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
void DrawTick(Surface& surface, Graph& graph, Axis axis, double value, const std::string& label) {
  const DeviceRect& plot = graph.plotRect;
  if (axis == Axis::X) {
    const std::int32_t px = graph.DataToDeviceX(value);
    surface.DrawText({px - 5, plot.bottom - 16}, label);
    surface.DrawLine({px, plot.bottom - 6}, {px, plot.bottom + 4});
  } else {
    const std::int32_t py = graph.DataToDeviceY(value);
    surface.DrawText({plot.left - 55, py + 3}, label);
    surface.DrawLine({plot.left - 5, py}, {plot.left + 5, py});
  }
}

void DrawLinearTicks(Surface& surface, Graph& graph, Axis axis, bool useAbbreviations) {
  const double lo = axis == Axis::X ? graph.xMin : graph.yMin;
  const double hi = axis == Axis::X ? graph.xMax : graph.yMax;
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
    DrawTick(surface, graph, axis, value, LinearLabel(value, label, exponent, useAbbreviations, format));
    label += f * s0 * 0.2;
    const double next = value + step;
    if (!(next > value)) break;
    value = next;
  }
}

// Six values equally spaced in logarithms from the lower end to the upper,
// not decades.
void DrawLogTicks(Surface& surface, Graph& graph, Axis axis) {
  double lo = axis == Axis::X ? graph.xMin : graph.yMin;
  const double hiAtStart = axis == Axis::X ? graph.xMax : graph.yMax;
  if (lo <= 0.0) {
    lo = 1e-10;
    if (hiAtStart < 1e-10) lo = hiAtStart * 0.01;
  }
  const double span = std::log(hiAtStart / lo);
  const double step = 0.2 * span;
  double level = std::log(lo);
  for (int tick = 0; tick < kMaxTicks; ++tick) {
    // The upper end is read again each time: mapping the first tick may
    // have repaired it.
    const double hi = axis == Axis::X ? graph.xMax : graph.yMax;
    if (!(std::log(hi) + kEndSlack * std::fabs(step) >= level)) break;
    const double value = std::exp(level);
    DrawTick(surface, graph, axis, value, CFormat("%1.1le", value));
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

void DrawLabels(Surface& surface, Graph& graph) {
  if (graph.title.empty() && graph.xLabel.empty() && graph.yLabel.empty()) return;
  const std::int32_t left = graph.DataToDeviceX(graph.xMin);
  const std::int32_t cx = (left + graph.DataToDeviceX(graph.xMax)) / 2;
  if (!graph.title.empty()) {
    const std::int32_t width = surface.MeasureText(graph.title).width;
    surface.DrawText({cx - width / 2, graph.DataToDeviceY(graph.yMax) + 20}, graph.title);
  }
  if (!graph.xLabel.empty()) {
    const std::int32_t width = surface.MeasureText(graph.xLabel).width;
    surface.DrawText({cx - width / 2, graph.DataToDeviceY(graph.yMin) - 30}, graph.xLabel);
  }
  if (!graph.yLabel.empty()) {
    const auto characters = SplitCharacters(graph.yLabel);
    const std::int32_t x = graph.DataToDeviceX(graph.xMin) - 75;
    const std::int64_t middle = (std::int64_t{graph.DataToDeviceY(graph.yMin)} + graph.DataToDeviceY(graph.yMax)) / 2;
    std::int64_t y = middle + 8 * static_cast<std::int64_t>(characters.size());
    for (const auto& character : characters) {
      surface.DrawText({x, ToDevice(static_cast<double>(y))}, character);
      y -= 16;
    }
  }
}

void DrawPolarGrid(Surface& surface, Graph& graph) {
  PenScope pen(surface, kPolarGridGrey);
  const double fullTurn = graph.radians ? 6.2831854 : 360.0;
  const double spokeStep = graph.radians ? 0.785398175 : 45.0;
  const double radius =
      std::max({std::fabs(graph.xMin), std::fabs(graph.xMax), std::fabs(graph.yMin), std::fabs(graph.yMax)});
  const auto at = [&](double angle, double r) {
    return DevicePoint{graph.PolarToDeviceX(angle, r), graph.PolarToDeviceY(angle, r)};
  };
  std::vector<DeviceSegment> segments;
  const auto addClipped = [&](DevicePoint from, DevicePoint to) {
    if (auto clipped = ClipToPlot(graph, from, to)) segments.push_back(*clipped);
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

std::optional<DeviceSegment> ClipToPlot(const Graph& graph, DevicePoint from, DevicePoint to) {
  if (graph.InsidePlot(from) && graph.InsidePlot(to)) return DeviceSegment{from, to};
  const DeviceRect& r = graph.plotRect;
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

void DrawClippedLine(Surface& surface, const Graph& graph, DevicePoint from, DevicePoint to) {
  if (auto clipped = ClipToPlot(graph, from, to)) surface.DrawLine(clipped->from, clipped->to);
}

void DrawAxes(Surface& surface, Graph& graph, const DeviceRect& page, bool useAbbreviations) {
  graph.LayoutPlot(page);
  if (graph.polar) {
    DrawPolarGrid(surface, graph);
    return;
  }
  surface.DrawRectangle(graph.plotRect);
  if (graph.logX)
    DrawLogTicks(surface, graph, Axis::X);
  else
    DrawLinearTicks(surface, graph, Axis::X, useAbbreviations);
  if (graph.logY)
    DrawLogTicks(surface, graph, Axis::Y);
  else
    DrawLinearTicks(surface, graph, Axis::Y, useAbbreviations);
  DrawLabels(surface, graph);
}

}  // namespace zentrel
