#include "view/draw_graph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "fit/catalogue.h"
#include "fit/fit_curves.h"
#include "model/document.h"
#include "model/fit.h"
#include "fit/model_table.h"
#include "view/axes.h"

namespace zentrel {

namespace {

// Device positions of a series: polar, translated with the cursor, or plain.
std::vector<DevicePoint> SeriesPositions(const DrawContext& context, const double* x, const double* y, int n) {
  const Graph& graph = context.graph;
  const Viewport& v = context.viewport;
  std::vector<DevicePoint> points(static_cast<size_t>(n));
  if (v.polar) {
    for (int k = 0; k < n; ++k) points[k] = {v.PolarToDeviceX(x[k], y[k]), v.PolarToDeviceY(x[k], y[k])};
  } else if (graph.translating) {
    const double dx = context.cursorX - graph.translateAnchorX;
    const double dy = context.cursorY - graph.translateAnchorY;
    for (int k = 0; k < n; ++k) points[k] = {v.DataToDeviceX(dx + x[k]), v.DataToDeviceY(dy + y[k])};
  } else {
    for (int k = 0; k < n; ++k) points[k] = {v.DataToDeviceX(x[k]), v.DataToDeviceY(y[k])};
  }
  return points;
}

// Whether each point has a place on the page: a NaN or an infinity (a -inf
// dB bin of a power spectrum, a fit undefined at a point) has none, so it
// gets no marker and the connecting line breaks there instead of running
// off to the page's edge.
std::vector<std::uint8_t> Placeable(const double* x, const double* y, int n) {
  std::vector<std::uint8_t> placeable(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) placeable[static_cast<size_t>(k)] = std::isfinite(x[k]) && std::isfinite(y[k]);
  return placeable;
}

// Marker outlines reach 4 * size from the centre; offsets are truncated
// like every device coordinate.
class MarkerBatch {
 public:
  MarkerBatch(int shape, double size) : shape_(shape), s_(size) {}

  void add(DevicePoint p) {
    const auto at = [&](double dx, double dy) { return DevicePoint{ToDevice(p.x + dx), ToDevice(p.y + dy)}; };
    const double r = 4.0 * s_, t = 3.464 * s_, h = 2.0 * s_;
    switch (shape_) {
      case 1:
      case 2: {
        const DevicePoint lo = at(-r, -r), hi = at(r, r);
        (shape_ == 1 ? rects_ : ellipses_).push_back(DeviceRect{lo.x, hi.y, hi.x, lo.y});
        break;
      }
      case 3:
        closed({at(0, r), at(t, -h), at(-t, -h)});
        break;
      case 4:
        cross(at);
        break;
      case 5:
        closed({at(0, r), at(r, 0), at(0, -r), at(-r, 0)});
        break;
      case 6:
        closed({at(0, -r), at(t, h), at(-t, h)});
        break;
      case 7:
        cross(at);
        segments_.push_back({at(-r, 0), at(r, 0)});
        segments_.push_back({at(0, -r), at(0, r)});
        break;
      default:
        break;
    }
  }

  void draw(Surface& surface) const {
    if (!rects_.empty()) surface.DrawRectangles(rects_);
    if (!ellipses_.empty()) surface.DrawEllipses(ellipses_);
    if (!segments_.empty()) surface.DrawSegments(segments_);
  }

 private:
  template <typename At>
  void cross(const At& at) {
    const double d = 2.828 * s_;
    segments_.push_back({at(-d, d), at(d, -d)});
    segments_.push_back({at(-d, -d), at(d, d)});
  }
  void closed(std::initializer_list<DevicePoint> corners) {
    const DevicePoint* p = corners.begin();
    for (size_t k = 0; k < corners.size(); ++k) segments_.push_back({p[k], p[(k + 1) % corners.size()]});
  }

  int shape_;
  double s_;
  std::vector<DeviceRect> rects_;
  std::vector<DeviceRect> ellipses_;
  std::vector<DeviceSegment> segments_;
};

// Appends the connecting lines from each position to the next different
// one, clipped to the plot. With merging on, three or more consecutive points in one
// device column inside the plot give one line from the lowest to the
// highest: their segments are vertical, unclipped and overlap, so the one
// line covers exactly what they covered. Dense sets then cost one line per
// column instead of one per point.
void ConnectingLines(const Viewport& viewport, std::span<const DevicePoint> points, bool merge,
                     std::vector<DeviceSegment>& segments) {
  const size_t n = points.size();
  if (n < 2) return;
  segments.reserve(segments.size() + std::min<size_t>(n, 1u << 20));
  DevicePoint previous = points[0];
  size_t k = 1;
  while (k < n) {
    const DevicePoint p = points[k];
    if (p == previous) {
      ++k;
      continue;
    }
    if (merge && p.x == previous.x && viewport.InsidePlot(previous) && viewport.InsidePlot(p)) {
      std::int32_t lo = std::min(previous.y, p.y), hi = std::max(previous.y, p.y);
      size_t next = k + 1;
      while (next < n && points[next].x == p.x && viewport.InsidePlot(points[next])) {
        lo = std::min(lo, points[next].y);
        hi = std::max(hi, points[next].y);
        ++next;
      }
      if (next - k >= 2)
        segments.push_back({{p.x, lo}, {p.x, hi}});
      else
        segments.push_back({previous, p});
      previous = points[next - 1];
      k = next;
      continue;
    }
    if (auto clipped = ClipToPlot(viewport, previous, p)) segments.push_back(*clipped);
    previous = p;
    ++k;
  }
}

// Below this many points the plain marker loop is cheaper than the map.
constexpr int kDenseSeries = 1024;
// The position map is one bit per device cell of the plot, at most 8 MB.
constexpr std::int64_t kMaxMapCells = std::int64_t{1} << 26;

// Marks, for each device position inside the plot, the last point drawn
// there; false when the plot is too large to map.
bool LastAtEachPosition(const Viewport& viewport, const std::vector<DevicePoint>& points,
                        const std::vector<std::uint8_t>& placeable, std::vector<std::uint8_t>& keep) {
  const DeviceRect& plot = viewport.plotRect;
  const std::int64_t width = std::int64_t{plot.right} - plot.left + 1;
  const std::int64_t height = std::int64_t{plot.top} - plot.bottom + 1;
  if (width <= 0 || height <= 0 || width * height > kMaxMapCells) return false;
  std::vector<std::uint64_t> taken(static_cast<size_t>((width * height + 63) / 64));
  keep.assign(points.size(), 0);
  for (size_t k = points.size(); k-- > 0;) {
    const DevicePoint p = points[k];
    if (!placeable[k] || !viewport.InsidePlot(p)) continue;
    const auto cell = static_cast<size_t>((std::int64_t{p.y} - plot.bottom) * width + (std::int64_t{p.x} - plot.left));
    const std::uint64_t bit = std::uint64_t{1} << (cell % 64);
    if (taken[cell / 64] & bit) continue;
    taken[cell / 64] |= bit;
    keep[k] = 1;
  }
  return true;
}

}  // namespace

void DrawSeries(const DrawContext& context, const double* x, const double* y, int n, double symbolSize,
                std::int64_t marker, bool connect, Colour colour) {
  if (n <= 0 || x == nullptr || y == nullptr) return;
  const int shape = static_cast<int>(marker % 8);
  if (shape <= 0 && !connect) return;
  const Viewport& viewport = context.viewport;
  Surface& surface = context.surface;
  PenScope pen(surface, colour);
  const std::vector<DevicePoint> points = SeriesPositions(context, x, y, n);
  const std::vector<std::uint8_t> placeable = Placeable(x, y, n);
  if (shape > 0) {
    MarkerBatch markers(shape, symbolSize);
    std::vector<std::uint8_t> keep;
    if (context.options.compactDenseSeries && n >= kDenseSeries &&
        LastAtEachPosition(viewport, points, placeable, keep)) {
      for (int k = 0; k < n; ++k)
        if (keep[k]) markers.add(points[k]);
    } else {
      for (int k = 0; k < n; ++k)
        if (placeable[k] && viewport.InsidePlot(points[k]) && (k == 0 || points[k] != points[k - 1]))
          markers.add(points[k]);
    }
    markers.draw(surface);
  }
  if (connect) {
    // One line through each run of placeable points.
    std::vector<DeviceSegment> segments;
    const std::span<const DevicePoint> all(points);
    for (int k = 0; k < n;) {
      if (!placeable[k]) {
        ++k;
        continue;
      }
      int end = k + 1;
      while (end < n && placeable[end]) ++end;
      ConnectingLines(viewport, all.subspan(k, end - k), context.options.compactDenseSeries, segments);
      k = end;
    }
    if (!segments.empty()) surface.DrawSegments(segments);
  }
}

void DrawErrorBars(const DrawContext& context, const double* x, const double* y, const double* errors, int errorCount,
                   int n, double symbolSize, Colour colour, ErrorDirection direction) {
  if (n <= 0 || x == nullptr || y == nullptr || errors == nullptr) return;
  const Graph& settings = context.graph;
  const Viewport& viewport = context.viewport;
  // The cap follows translate mode; the bar ends use the untranslated values.
  const bool translating = settings.translating != 0;
  const double dx = translating ? context.cursorX - settings.translateAnchorX : 0.0;
  const double dy = translating ? context.cursorY - settings.translateAnchorY : 0.0;
  const double h = 4.0 * symbolSize;
  std::vector<DeviceSegment> segments;
  const auto add = [&](DevicePoint from, DevicePoint to) {
    if (auto clipped = ClipToPlot(viewport, from, to)) segments.push_back(*clipped);
  };
  const int count = std::min(n, std::max(errorCount, 0));
  for (int k = 0; k < count; ++k) {
    const double e = errors[k];
    // An infinite error, or a point with no place on the page, has no bar.
    if (!(e > 0.0) || !std::isfinite(e) || !std::isfinite(x[k]) || !std::isfinite(y[k])) continue;
    const std::int32_t px = translating ? viewport.DataToDeviceX(dx + x[k]) : viewport.DataToDeviceX(x[k]);
    const std::int32_t py = translating ? viewport.DataToDeviceY(dy + y[k]) : viewport.DataToDeviceY(y[k]);
    if (direction == ErrorDirection::Vertical) {
      const std::int32_t lo = viewport.DataToDeviceY(y[k] - e), hi = viewport.DataToDeviceY(y[k] + e);
      const std::int32_t left = ToDevice(px - h), right = ToDevice(px + h);
      add({left, lo}, {right, lo});
      add({left, hi}, {right, hi});
      add({px, lo}, {px, hi});
    } else {
      const std::int32_t lo = viewport.DataToDeviceX(x[k] - e), hi = viewport.DataToDeviceX(x[k] + e);
      const std::int32_t down = ToDevice(py - h), up = ToDevice(py + h);
      add({lo, down}, {lo, up});
      add({hi, up}, {hi, down});
      add({lo, py}, {hi, py});
    }
  }
  if (segments.empty()) return;
  PenScope pen(context.surface, colour);
  context.surface.DrawSegments(segments);
}

void DrawDataLine(Surface& surface, const Viewport& viewport, double x1, double y1, double x2, double y2) {
  const DevicePoint from{viewport.DataToDeviceX(x1), viewport.DataToDeviceY(y1)};
  const DevicePoint to{viewport.DataToDeviceX(x2), viewport.DataToDeviceY(y2)};
  if (!viewport.InsidePlot(from) || !viewport.InsidePlot(to)) return;
  PenScope pen(surface, kBlack);
  surface.DrawLine(from, to);
}

void DrawPageText(Surface& surface, const Viewport& viewport, std::int32_t dx, std::int32_t dy,
                  std::string_view text) {
  const DeviceRect& page = viewport.pageRect;
  const std::int64_t x = (std::int64_t{page.left} + page.right) / 2 + dx;
  const std::int64_t y = std::int64_t{page.top} + dy;
  surface.DrawText({ToDevice(static_cast<double>(x)), ToDevice(static_cast<double>(y))}, text);
}

void DrawEquationText(Surface& surface, const Viewport& viewport, std::string_view text, bool customFunction,
                      std::int32_t& line) {
  if (customFunction) {
    const size_t blank = text.find(' ');
    DrawPageText(surface, viewport, -120, line, text.substr(0, blank));
    line -= 15;
    text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
  }
  DrawPageText(surface, viewport, -120, line, text);
  line -= 15;
}

void DrawGraph(Surface& surface, const CZentrelDoc& doc, const Viewport& viewport, const DrawOptions& options) {
  const Graph& graph = doc.graph;
  // Lines and baselines sit in the range as drawn (a logarithmic one repaired).
  const DataRange& range = viewport.range;
  const DrawContext context{surface, graph, viewport, doc.cursorX, doc.cursorY, options};

  for (size_t i = 0; i < doc.sets.size(); ++i) {
    const Data_Set* set = doc.sets[i].get();
    if (set == nullptr || set->ColumnCount() <= 1 || !set->active) continue;
    const int n = set->DrawablePointCount();
    const double* x = set->ColumnData(0);
    const double* y = set->ColumnData(1);
    // The set's place in the list picks its marker, counting inactive sets.
    const std::int64_t marker = std::int64_t{graph.showMarkers} * static_cast<std::int64_t>(i + 1);
    DrawSeries(context, x, y, n, set->symbolSize, marker, set->connectLines != 0, set->color);
    if (set->ColumnCount() > 2 && graph.showYErrorBars)
      DrawErrorBars(context, x, y, set->ColumnData(2), set->PointCount(2), n, set->symbolSize, set->color,
                    ErrorDirection::Vertical);
    if (set->ColumnCount() > 3 && graph.showXErrorBars)
      DrawErrorBars(context, x, y, set->ColumnData(3), set->PointCount(3), n, set->symbolSize, set->color,
                    ErrorDirection::Horizontal);

    // The fits, over their set: curve, residuals around a baseline nine
    // tenths up the visible range, equation texts from 30 units below the
    // page top (for every set again).
    std::int32_t line = -30;
    const int m = set->PointCount(0);
    for (const auto& fit : set->fits) {
      if (fit->hidden) continue;
      const std::vector<double> curve = FitCurveValues(*fit, *set);
      DrawSeries(context, x, curve.data(), m, 1.0, 0, true, fit->colour);
      if (graph.showResiduals) {
        const double baseline = 0.9 * range.yMax + 0.1 * range.yMin;
        const std::vector<double> residuals = FitResidualValues(*fit, *set, baseline, graph.residualScale);
        DrawSeries(context, x, residuals.data(), m, 1.0, 0, true, fit->colour);
        if (graph.showZeroLines) DrawDataLine(surface, viewport, range.xMin, baseline, range.xMax, baseline);
      }
      if (graph.showFitEquations)
        DrawEquationText(surface, viewport, EquationText(*fit), fit->modelKind == kCustomFunction, line);
    }
  }

  if (graph.showZeroLines) {
    const double xMargin = 0.01 * (range.xMax - range.xMin);
    const double yMargin = 0.01 * (range.yMax - range.yMin);
    DrawDataLine(surface, viewport, range.xMin + xMargin, 0.0, range.xMax - xMargin, 0.0);
    DrawDataLine(surface, viewport, 0.0, range.yMin + yMargin, 0.0, range.yMax - yMargin);
  }

  if (doc.scaledPreviewActive) {
    const Data_Set& preview = doc.scaledPreview;
    DrawSeries(context, preview.ColumnData(0), preview.ColumnData(1), preview.DrawablePointCount(), 0.0, 0, true,
               kPureRed);
  }
}

}  // namespace zentrel
