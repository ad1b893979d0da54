#include "view/zoom_pan.h"

#include <cmath>
#include <utility>

namespace zentrel {

namespace {

// One axis in the space the page maps linearly: the value itself, or its
// logarithm on a log axis.
struct AxisSpan {
  double lo, hi;
  bool log;
};

AxisSpan Linearised(double lo, double hi, bool log) {
  if (log) return {std::log10(lo), std::log10(hi), true};
  return {lo, hi, false};
}

double Unlinearised(double u, bool log) { return log ? std::pow(10.0, u) : u; }

// The new ends in data units, when both are finite, in order and apart.
std::optional<std::pair<double, double>> Ends(double uLo, double uHi, bool log) {
  const double lo = Unlinearised(uLo, log), hi = Unlinearised(uHi, log);
  if (!std::isfinite(lo) || !std::isfinite(hi) || !std::isfinite(hi - lo) || !(lo < hi)) return std::nullopt;
  // Ends this close would draw every point on one device position.
  const double scale = std::fmax(std::fabs(lo), std::fabs(hi));
  if (hi - lo <= scale * 1e-12) return std::nullopt;
  if (log && lo <= 0.0) return std::nullopt;
  return std::pair{lo, hi};
}

// `at` is the fraction of the axis (0 at its start) that stays put.
std::optional<std::pair<double, double>> ZoomAxis(const AxisSpan& span, double at, double factor) {
  const double centre = span.lo + at * (span.hi - span.lo);
  return Ends(centre - (centre - span.lo) * factor, centre + (span.hi - centre) * factor, span.log);
}

std::optional<std::pair<double, double>> ShiftAxis(const AxisSpan& span, double fraction) {
  const double shift = fraction * (span.hi - span.lo);
  return Ends(span.lo + shift, span.hi + shift, span.log);
}

std::optional<DataRange> Combine(const std::optional<std::pair<double, double>>& x,
                                 const std::optional<std::pair<double, double>>& y) {
  if (!x || !y) return std::nullopt;
  return DataRange{x->first, y->first, x->second, y->second};
}

}  // namespace

std::optional<DataRange> ZoomedAbout(const Viewport& viewport, double deviceX, double deviceY, double factor) {
  const DeviceRect& plot = viewport.plotRect;
  const double width = static_cast<double>(plot.right) - plot.left;
  const double height = static_cast<double>(plot.top) - plot.bottom;
  if (width <= 0.0 || height <= 0.0 || !(factor > 0.0) || !std::isfinite(factor)) return std::nullopt;
  const DataRange& r = viewport.range;
  return Combine(ZoomAxis(Linearised(r.xMin, r.xMax, viewport.logX), (deviceX - plot.left) / width, factor),
                 ZoomAxis(Linearised(r.yMin, r.yMax, viewport.logY), (deviceY - plot.bottom) / height, factor));
}

std::optional<DataRange> PannedBy(const Viewport& viewport, DevicePoint from, DevicePoint to) {
  const DeviceRect& plot = viewport.plotRect;
  const double width = static_cast<double>(plot.right) - plot.left;
  const double height = static_cast<double>(plot.top) - plot.bottom;
  if (width <= 0.0 || height <= 0.0) return std::nullopt;
  const DataRange& r = viewport.range;
  // Dragging right brings what lies left into view: the range moves against the cursor.
  const double fx = -(static_cast<double>(to.x) - from.x) / width;
  const double fy = -(static_cast<double>(to.y) - from.y) / height;
  return Combine(ShiftAxis(Linearised(r.xMin, r.xMax, viewport.logX), fx),
                 ShiftAxis(Linearised(r.yMin, r.yMax, viewport.logY), fy));
}

}  // namespace zentrel
