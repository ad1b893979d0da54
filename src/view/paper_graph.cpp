#include "view/paper_graph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "fit/catalogue.h"
#include "fit/fit_curves.h"
#include "model/document.h"
#include "model/fit.h"
#include "view/axes.h"
#include "view/paper_legend.h"
#include "view/paper_text.h"
#include "view/paper_ticks.h"

namespace zentrel {

namespace {

// Sizes in points, turned into device units (hundredths of an inch) where
// they are used, so every resolution draws the same page.
constexpr double kTickPoints = 10.0;
constexpr double kLabelPoints = 11.0;
constexpr double kTitlePoints = 12.0;
constexpr double kLegendPoints = 9.0;
constexpr double kFrameWidth = 0.8;
constexpr double kDataWidth = 1.0;
constexpr double kFitWidth = 1.2;
constexpr double kTickWidth = 0.6;
constexpr double kMarkerScale = 0.8;  // of the classic marker, per symbol size
// Points per device column above which a set is drawn as a dense band.
constexpr int kDenseColumns = 4;

std::int32_t Units(double points) { return static_cast<std::int32_t>(std::lround(points * kUnitsPerPoint)); }

const std::int32_t kMargin = Units(9);
const std::int32_t kGap = Units(3);
const std::int32_t kMajorTick = Units(4);
const std::int32_t kMinorTick = Units(2);
const std::int32_t kLegendInset = Units(6);
const std::int32_t kLegendPadding = Units(4);
const std::int32_t kLegendSample = Units(22);

constexpr std::array<Colour, 10> kPalette{
    MakeColour(31, 94, 168),  MakeColour(224, 110, 20), MakeColour(44, 140, 60),  MakeColour(200, 40, 50),
    MakeColour(124, 82, 176), MakeColour(140, 86, 60),  MakeColour(214, 90, 170), MakeColour(90, 90, 90),
    MakeColour(160, 160, 20), MakeColour(20, 160, 180)};
constexpr Colour kZeroLineGrey = MakeColour(150, 150, 150);
constexpr Colour kLegendFrameGrey = MakeColour(180, 180, 180);

TextStyle Style(double points, bool upward = false) { return TextStyle{points, upward, false}; }

enum class Axis { X, Y };

// One axis of one panel: the ticks and how wide (x) or tall (y) their
// labels are.
struct AxisPlan {
  AxisTicks ticks;
  std::int32_t labelWidth = 0;   // widest label
  std::int32_t labelHeight = 0;  // tallest label
};

TextExtent MeasureLabel(Surface& surface, const TickLabel& label) {
  return MeasureRaised(surface, {label.text, label.superscript}, Style(kTickPoints));
}

AxisTicks TicksFor(double lo, double hi, bool log, int maxTicks, bool abbreviations) {
  return log ? LogTicks(lo, hi, maxTicks) : LinearTicks(lo, hi, maxTicks, abbreviations);
}

AxisPlan Measure(Surface& surface, AxisTicks ticks) {
  AxisPlan plan;
  plan.ticks = std::move(ticks);
  for (const auto& label : plan.ticks.labels) {
    const TextExtent e = MeasureLabel(surface, label);
    plan.labelWidth = std::max(plan.labelWidth, e.width);
    plan.labelHeight = std::max(plan.labelHeight, e.height);
  }
  return plan;
}

// Device position of a value along an axis of the viewport.
std::int32_t Position(const Viewport& v, Axis axis, double value) {
  return axis == Axis::X ? v.DataToDeviceX(value) : v.DataToDeviceY(value);
}

// The y ticks of a panel `height` units tall: as many as fit with a
// label's height between them.
AxisPlan PlanY(Surface& surface, double lo, double hi, bool log, std::int32_t height, bool abbreviations) {
  const std::int32_t textHeight = std::max(1, MeasureLabel(surface, {"0", ""}).height);
  const int maxTicks = std::clamp(static_cast<int>(height / (textHeight * 2.0)), 3, 12);
  return Measure(surface, TicksFor(lo, hi, log, maxTicks, abbreviations));
}

// Whether the x labels, centred on their ticks, keep a gap between
// neighbours and stay inside [minX, maxX].
bool XLabelsFit(Surface& surface, const Viewport& v, const AxisPlan& plan, std::int32_t gap) {
  std::int64_t previousRight = INT64_MIN;
  for (size_t k = 0; k < plan.ticks.major.size(); ++k) {
    const std::int32_t w = MeasureLabel(surface, plan.ticks.labels[k]).width;
    const std::int64_t left = std::int64_t{v.DataToDeviceX(plan.ticks.major[k])} - w / 2;
    if (previousRight != INT64_MIN && left < previousRight + gap) return false;
    previousRight = left + w;
  }
  return true;
}

// The x ticks for a plot of the viewport's width: the most that leave a
// gap of a label's height between labels.
AxisPlan PlanX(Surface& surface, const Viewport& v, bool abbreviations) {
  const std::int32_t width = v.plotRect.right - v.plotRect.left;
  const std::int32_t gap = MeasureLabel(surface, {"0", ""}).height;
  int maxTicks = std::clamp(width / Units(40), 2, 15);
  AxisPlan plan;
  for (; maxTicks >= 2; --maxTicks) {
    plan = Measure(surface, TicksFor(v.range.xMin, v.range.xMax, v.logX, maxTicks, abbreviations));
    if (XLabelsFit(surface, v, plan, gap)) return plan;
  }
  // Not even two labels fit: keep the ends' ticks only when they fit, else none.
  plan = Measure(surface, TicksFor(v.range.xMin, v.range.xMax, v.logX, 2, abbreviations));
  if (!XLabelsFit(surface, v, plan, gap)) {
    plan.ticks.labels.clear();
    plan.ticks.major.clear();
  }
  return plan;
}

// Tick marks outward from the frame's bottom (x) or left (y) edge.
void DrawTickMarks(Surface& surface, const Viewport& v, Axis axis, const AxisTicks& ticks) {
  std::vector<DeviceSegment> marks;
  const DeviceRect& plot = v.plotRect;
  const auto add = [&](double value, std::int32_t length) {
    const std::int32_t p = Position(v, axis, value);
    if (axis == Axis::X) {
      if (p < plot.left || p > plot.right) return;
      marks.push_back({{p, plot.bottom}, {p, plot.bottom - length}});
    } else {
      if (p < plot.bottom || p > plot.top) return;
      marks.push_back({{plot.left, p}, {plot.left - length, p}});
    }
  };
  for (const double value : ticks.major) add(value, kMajorTick);
  for (const double value : ticks.minor) add(value, kMinorTick);
  if (!marks.empty()) surface.DrawSegments(marks);
}

void DrawTickLabels(Surface& surface, const Viewport& v, Axis axis, const AxisTicks& ticks) {
  const DeviceRect& plot = v.plotRect;
  for (size_t k = 0; k < ticks.major.size() && k < ticks.labels.size(); ++k) {
    const TickLabel& label = ticks.labels[k];
    const TextExtent e = MeasureLabel(surface, label);
    const std::int32_t p = Position(v, axis, ticks.major[k]);
    if (axis == Axis::X)
      DrawRaised(surface, {p - e.width / 2, plot.bottom - kMajorTick - kGap}, {label.text, label.superscript},
                 Style(kTickPoints));
    else
      DrawRaised(surface, {plot.left - kMajorTick - kGap - e.width, p + e.height / 2},
                 {label.text, label.superscript}, Style(kTickPoints));
  }
}

// The axis label with the factored power of ten after it.
struct AxisTitle {
  std::string text;
  std::string exponent;
  bool empty() const { return text.empty() && exponent.empty(); }
};

AxisTitle TitleOf(const std::string& label, int powerOfTen) {
  AxisTitle title{label, {}};
  if (powerOfTen != 0) {
    title.text += label.empty() ? "×10" : " (×10";
    title.exponent = std::to_string(powerOfTen);
  }
  return title;
}

// The closing bracket after a raised exponent is drawn as a piece of its own.
void DrawAxisTitle(Surface& surface, DevicePoint topLeft, const AxisTitle& title, const std::string& label,
                   bool upward) {
  const TextStyle style = Style(kLabelPoints, upward);
  DrawRaised(surface, topLeft, {title.text, title.exponent}, style);
  if (title.exponent.empty() || label.empty()) return;
  const TextExtent e = MeasureRaised(surface, {title.text, title.exponent}, style);
  const TextExtent rise{0, e.height - surface.MeasureStyledText(title.text, style).height};
  if (!upward)
    surface.DrawStyledText({topLeft.x + e.width, topLeft.y - rise.height}, ")", style);
  else
    surface.DrawStyledText({topLeft.x + rise.height, topLeft.y + surface.MeasureStyledText(")", style).width}, ")",
                           style);
}

TextExtent MeasureAxisTitle(Surface& surface, const AxisTitle& title, const std::string& label) {
  const TextStyle style = Style(kLabelPoints);
  TextExtent e = MeasureRaised(surface, {title.text, title.exponent}, style);
  if (!title.exponent.empty() && !label.empty()) e.width += surface.MeasureStyledText(")", style).width;
  return e;
}

struct LegendEntry {
  std::string text;
  Colour colour = kBlack;
  int marker = 0;  // classic marker shape, 0 for none
  bool line = false;
  double symbolSize = 1.0;
};

// Positions of points of every drawn set, every so many of a large set:
// enough to find the corner the legend hides least.
std::vector<DevicePoint> SampledPositions(const CZentrelDoc& doc, const Viewport& v) {
  std::vector<DevicePoint> points;
  for (const auto& set : doc.sets) {
    if (!set || set->ColumnCount() <= 1 || !set->active) continue;
    const int n = set->DrawablePointCount();
    const int stride = std::max(1, n / 4000);
    const double* x = set->ColumnData(0);
    const double* y = set->ColumnData(1);
    for (int k = 0; k < n; k += stride) {
      const DevicePoint p{v.DataToDeviceX(x[k]), v.DataToDeviceY(y[k])};
      if (v.InsidePlot(p)) points.push_back(p);
    }
  }
  return points;
}

std::vector<LegendEntry> LegendEntries(const CZentrelDoc& doc) {
  std::vector<LegendEntry> entries;
  const Graph& graph = doc.graph;
  for (size_t i = 0; i < doc.sets.size(); ++i) {
    const Data_Set* set = doc.sets[i].get();
    if (set == nullptr || set->ColumnCount() <= 1 || !set->active) continue;
    const int marker = graph.showMarkers ? static_cast<int>((i + 1) % 8) : 0;
    entries.push_back({set->name.empty() ? "Set " + std::to_string(i + 1) : set->name,
                       PaperSetColour(set->color, i), marker, set->connectLines != 0, set->symbolSize});
    for (const auto& fit : set->fits) {
      if (fit->hidden) continue;
      std::string text = graph.showFitEquations ? EquationText(*fit) : fit->name;
      entries.push_back({std::move(text), fit->colour, 0, true, 1.0});
    }
  }
  return entries;
}

// Cuts text to at most `width` units, ending in an ellipsis.
std::string Elide(Surface& surface, std::string text, std::int32_t width, const TextStyle& style) {
  if (surface.MeasureStyledText(text, style).width <= width) return text;
  while (!text.empty()) {
    // Drop whole UTF-8 characters.
    do text.pop_back();
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80);
    if (surface.MeasureStyledText(text + "…", style).width <= width) return text + "…";
  }
  return text;
}

struct LegendPlan {
  std::vector<LegendEntry> entries;
  TextExtent size;
  std::int32_t rowHeight = 0;
};

LegendPlan PlanLegend(Surface& surface, const CZentrelDoc& doc, std::int32_t maxTextWidth) {
  LegendPlan plan;
  plan.entries = LegendEntries(doc);
  if (plan.entries.empty()) return plan;
  const TextStyle style = Style(kLegendPoints);
  std::int32_t textWidth = 0;
  for (auto& entry : plan.entries) {
    entry.text = Elide(surface, entry.text, maxTextWidth, style);
    const TextExtent e = surface.MeasureStyledText(entry.text, style);
    textWidth = std::max(textWidth, e.width);
    plan.rowHeight = std::max(plan.rowHeight, e.height);
  }
  plan.size.width = 2 * kLegendPadding + kLegendSample + kGap + textWidth;
  plan.size.height = 2 * kLegendPadding + plan.rowHeight * static_cast<std::int32_t>(plan.entries.size());
  return plan;
}

void DrawLegend(Surface& surface, const LegendPlan& plan, const DeviceRect& box) {
  {
    PenScope pen(surface, kLegendFrameGrey);
    surface.SetLineWidth(kTickWidth * kUnitsPerPoint);
    surface.DrawRectangle(box);
  }
  const TextStyle style = Style(kLegendPoints);
  std::int32_t top = box.top - kLegendPadding;
  const std::int32_t sampleLeft = box.left + kLegendPadding;
  for (const auto& entry : plan.entries) {
    const std::int32_t middle = top - plan.rowHeight / 2;
    PenScope pen(surface, entry.colour);
    if (entry.line) {
      surface.SetLineWidth(kDataWidth * kUnitsPerPoint);
      surface.DrawLine({sampleLeft, middle}, {sampleLeft + kLegendSample, middle});
    }
    if (entry.marker > 0) {
      // A one-point series draws the marker exactly as the plot does.
      Viewport at;
      at.plotRect = box;
      at.range = {static_cast<double>(box.left), static_cast<double>(box.bottom), static_cast<double>(box.right),
                  static_cast<double>(box.top)};
      Graph graph;
      const DrawContext context{surface, graph, at, 0.0, 0.0, {}};
      const double x = sampleLeft + kLegendSample / 2.0, y = middle;
      surface.SetLineWidth(kFrameWidth * kUnitsPerPoint);
      DrawSeries(context, &x, &y, 1, entry.symbolSize * kMarkerScale, entry.marker, false, entry.colour);
    }
    surface.DrawStyledText({sampleLeft + kLegendSample + kGap, top}, entry.text, style);
    top -= plan.rowHeight;
  }
}

// The set's points that a logarithmic axis can show, and the count of
// those it cannot. Without a logarithmic axis they are the set's own
// columns; with one, copies of what can be shown.
struct Drawable {
  const double* x = nullptr;
  const double* y = nullptr;
  const double* yErrors = nullptr;
  const double* xErrors = nullptr;
  int n = 0, yErrorCount = 0, xErrorCount = 0;
  int hidden = 0;
  std::vector<double> keptX, keptY, keptYErrors, keptXErrors;
};

Drawable DrawablePoints(const Data_Set& set, bool logX, bool logY) {
  Drawable d;
  const int n = set.DrawablePointCount();
  const double* x = set.ColumnData(0);
  const double* y = set.ColumnData(1);
  const double* ye = set.ColumnCount() > 2 ? set.ColumnData(2) : nullptr;
  const double* xe = set.ColumnCount() > 3 ? set.ColumnData(3) : nullptr;
  const int yeCount = ye ? set.PointCount(2) : 0, xeCount = xe ? set.PointCount(3) : 0;
  if (!logX && !logY) return {x, y, ye, xe, n, yeCount, xeCount, 0, {}, {}, {}, {}};
  d.keptX.reserve(static_cast<size_t>(n));
  d.keptY.reserve(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    if ((logX && !(x[k] > 0.0)) || (logY && !(y[k] > 0.0))) {
      // A NaN has no value to report; it is left out all the same.
      if ((logX && x[k] <= 0.0) || (logY && y[k] <= 0.0)) ++d.hidden;
      continue;
    }
    d.keptX.push_back(x[k]);
    d.keptY.push_back(y[k]);
    if (ye) d.keptYErrors.push_back(k < yeCount ? ye[k] : 0.0);
    if (xe) d.keptXErrors.push_back(k < xeCount ? xe[k] : 0.0);
  }
  d.x = d.keptX.data();
  d.y = d.keptY.data();
  d.n = static_cast<int>(d.keptX.size());
  d.yErrors = ye ? d.keptYErrors.data() : nullptr;
  d.xErrors = xe ? d.keptXErrors.data() : nullptr;
  d.yErrorCount = ye ? d.n : 0;
  d.xErrorCount = xe ? d.n : 0;
  return d;
}

// A curve in data units as clipped device segments; points off a
// logarithmic axis break it.
std::vector<DeviceSegment> CurveSegments(const Viewport& v, const std::vector<double>& x,
                                         const std::vector<double>& y) {
  std::vector<DeviceSegment> segments;
  bool havePrevious = false;
  DevicePoint previous;
  for (size_t k = 0; k < x.size(); ++k) {
    if ((v.logX && !(x[k] > 0.0)) || (v.logY && !(y[k] > 0.0)) || !std::isfinite(y[k])) {
      havePrevious = false;
      continue;
    }
    const DevicePoint p{v.DataToDeviceX(x[k]), v.DataToDeviceY(y[k])};
    if (havePrevious && p != previous)
      if (auto clipped = ClipToPlot(v, previous, p)) segments.push_back(*clipped);
    previous = p;
    havePrevious = true;
  }
  return segments;
}

bool AnyVisibleFit(const CZentrelDoc& doc) {
  for (const auto& set : doc.sets)
    if (set && set->active && set->ColumnCount() > 1)
      for (const auto& fit : set->fits)
        if (!fit->hidden) return true;
  return false;
}

// The residuals of every visible fit at its set's x inside the fit range.
struct ResidualSeries {
  std::vector<double> x, y;
  Colour colour;
};

std::vector<ResidualSeries> Residuals(const CZentrelDoc& doc) {
  std::vector<ResidualSeries> out;
  for (const auto& set : doc.sets) {
    if (!set || !set->active || set->ColumnCount() <= 1) continue;
    const double* x = set->ColumnData(0);
    const int n = set->DrawablePointCount();
    for (const auto& fit : set->fits) {
      if (fit->hidden) continue;
      const std::vector<double> r = FitResidualValues(*fit, *set, 0.0, 1.0);
      ResidualSeries series{{}, {}, fit->colour};
      for (int k = 0; k < n && k < static_cast<int>(r.size()); ++k)
        if (fit->fitStart < x[k] && x[k] < fit->fitEnd && std::isfinite(r[static_cast<size_t>(k)])) {
          series.x.push_back(x[k]);
          // The panel shows data minus model.
          series.y.push_back(-r[static_cast<size_t>(k)]);
        }
      out.push_back(std::move(series));
    }
  }
  return out;
}

}  // namespace

Colour PaperSetColour(Colour stored, std::size_t index) {
  return stored == kBlack ? kPalette[index % kPalette.size()] : stored;
}

PaperDrawing DrawPaperGraph(Surface& surface, const CZentrelDoc& doc, const DeviceRect& page,
                            const DrawOptions& options) {
  const Graph& graph = doc.graph;
  PaperDrawing drawing;
  Viewport main = MakeViewport(graph, page);
  surface.SetAntialiasing(true);
  PenScope black(surface, kBlack);

  const bool abbreviations = doc.useAbbreviations != 0;
  const std::int32_t tickTextHeight = MeasureLabel(surface, {"0", ""}).height;
  const bool raisedX = main.logX;  // decade labels carry an exponent
  const std::int32_t xTickHeight =
      raisedX ? MeasureLabel(surface, {"10", "3"}).height : tickTextHeight;
  const std::int32_t labelHeight = surface.MeasureStyledText("0", Style(kLabelPoints)).height;
  const std::int32_t titleHeight = surface.MeasureStyledText("0", Style(kTitlePoints)).height;

  const std::int32_t pageWidth = page.right - page.left;
  LegendPlan legend;
  if (options.showLegend) legend = PlanLegend(surface, doc, std::max<std::int32_t>(pageWidth / 3, Units(40)));
  // The x label's height is known before the ticks: an exponent only makes it taller.
  const bool xTitleShown =
      !graph.xLabel.empty() ||
      (!main.logX && LinearTicks(main.range.xMin, main.range.xMax, 5, abbreviations).powerOfTen != 0);
  const std::int32_t xTitleHeight = labelHeight + labelHeight / 3;

  const bool residualPanel = graph.showResiduals != 0 && AnyVisibleFit(doc);
  DataRange residualRange{main.range.xMin, -1.0, main.range.xMax, 1.0};
  std::vector<ResidualSeries> residuals;
  if (residualPanel) {
    residuals = Residuals(doc);
    double largest = 0.0;
    for (const auto& series : residuals)
      for (const double r : series.y) largest = std::max(largest, std::fabs(r));
    // From -s to s for the round step s that covers the largest residual:
    // the panel's ticks are then -s, 0 and s, at its edges and middle.
    if (largest > 0.0 && std::isfinite(largest)) {
      residualRange.yMax = RoundStep(2.0 * largest, 2);
      residualRange.yMin = -residualRange.yMax;
    }
  }

  // The frames and ticks for a legend inside the plot or beside it.
  struct Layout {
    Viewport main, residuals;
    AxisPlan x, y, r;
    std::int32_t xTickLabelTop = 0;
    bool legendInside = true;
  };
  const std::int32_t xTickLabelTop = kMajorTick + std::max(kGap, tickTextHeight * 6 / 10);
  const auto layOut = [&](bool legendInside) {
    Layout layout;
    layout.legendInside = legendInside;
    layout.xTickLabelTop = xTickLabelTop;
    Viewport view = main;
    // Vertical: title, plot (and residual panel), x tick labels, x label.
    std::int32_t top = page.top - kMargin - (graph.title.empty() ? 0 : titleHeight + kGap);
    // Room for the half of the top y label above the frame.
    top -= tickTextHeight / 2 + 1;
    std::int32_t bottom = page.bottom + kMargin + xTickLabelTop + xTickHeight;
    if (xTitleShown) bottom += xTitleHeight + kGap;
    std::int32_t residualTop = bottom, residualBottom = bottom;
    if (residualPanel) {
      const std::int32_t panel = std::max<std::int32_t>((top - bottom) / 4, 3 * tickTextHeight);
      residualBottom = bottom;
      residualTop = bottom + panel;
      bottom = residualTop + kGap + tickTextHeight;
    }
    // Horizontal: y label, y tick labels, plot, the legend when beside it.
    layout.y = PlanY(surface, view.range.yMin, view.range.yMax, view.logY, top - bottom, abbreviations);
    if (residualPanel)
      layout.r =
          PlanY(surface, residualRange.yMin, residualRange.yMax, false, residualTop - residualBottom, abbreviations);
    const bool yTitleShown = !TitleOf(graph.yLabel, layout.y.ticks.powerOfTen).empty() || residualPanel;
    std::int32_t left = page.left + kMargin + std::max(layout.y.labelWidth, layout.r.labelWidth) + kGap + kMajorTick;
    if (yTitleShown) left += xTitleHeight + kGap;
    std::int32_t right = page.right - kMargin;
    if (!legendInside) right -= legend.size.width + kGap;
    // A page too small for the texts still gets a frame, if only a sliver.
    right = std::max(right, left + 1);
    top = std::max(top, bottom + 1);
    view.plotRect = {left, top, right, bottom};
    layout.x = PlanX(surface, view, abbreviations);
    // The last x label may reach past the page's margin: pull the frame in.
    for (int pass = 0; pass < 2 && !layout.x.ticks.major.empty(); ++pass) {
      const TextExtent last = MeasureLabel(surface, layout.x.ticks.labels.back());
      const std::int32_t overhang =
          view.DataToDeviceX(layout.x.ticks.major.back()) + last.width / 2 - (page.right - kMargin);
      if (overhang <= 0 || view.plotRect.right - overhang <= view.plotRect.left) break;
      view.plotRect.right -= overhang;
      layout.x = PlanX(surface, view, abbreviations);
    }
    layout.main = view;
    layout.residuals = view;
    layout.residuals.plotRect = {view.plotRect.left, residualTop, view.plotRect.right, residualBottom};
    layout.residuals.range = residualRange;
    layout.residuals.logY = false;
    return layout;
  };

  // The legend goes inside when it fits and a corner leaves every point
  // visible; else beside the plot, when that leaves the plot most of the page.
  Layout layout = layOut(true);
  std::optional<DeviceRect> legendBox;
  if (!legend.entries.empty()) {
    const DeviceRect& plot = layout.main.plotRect;
    const bool fits = legend.size.width <= (plot.right - plot.left) * 45 / 100 &&
                      legend.size.height <= plot.top - plot.bottom - 2 * kLegendInset;
    LegendSpot spot{LegendCorner::TopRight, 0};
    // A legend the person placed stays where they put it, inside the plot.
    if (fits && options.legendAt) spot.covered = 0;
    else if (fits) spot = QuietestCorner(plot, legend.size, kLegendInset, SampledPositions(doc, layout.main));
    const bool besideLeavesRoom = (plot.right - plot.left) - legend.size.width > pageWidth / 2;
    if ((!fits || spot.covered > 0) && besideLeavesRoom) {
      layout = layOut(false);
      const DeviceRect& narrower = layout.main.plotRect;
      legendBox = DeviceRect{narrower.right + kGap, narrower.top, narrower.right + kGap + legend.size.width,
                             narrower.top - legend.size.height};
    } else if (fits && options.legendAt) {
      legendBox = PlacedLegendBox(plot, legend.size, *options.legendAt);
    } else {
      legendBox = LegendBox(plot, legend.size, kLegendInset, spot.corner);
    }
  }
  main = layout.main;
  const Viewport& residualView = layout.residuals;
  const AxisPlan& xPlan = layout.x;
  const AxisPlan& yPlan = layout.y;
  const AxisPlan& rPlan = layout.r;
  drawing.viewport = main;
  const DeviceRect& plot = main.plotRect;
  if (residualPanel) drawing.residuals = residualView;

  // Frames, ticks and tick labels.
  surface.SetLineWidth(kFrameWidth * kUnitsPerPoint);
  surface.DrawRectangle(plot);
  if (residualPanel) surface.DrawRectangle(residualView.plotRect);
  surface.SetLineWidth(kTickWidth * kUnitsPerPoint);
  const Viewport& xAxisView = residualPanel ? residualView : main;
  DrawTickMarks(surface, main, Axis::X, xPlan.ticks);
  if (residualPanel) DrawTickMarks(surface, residualView, Axis::X, xPlan.ticks);
  DrawTickMarks(surface, main, Axis::Y, yPlan.ticks);
  if (residualPanel) DrawTickMarks(surface, residualView, Axis::Y, rPlan.ticks);
  DrawTickLabels(surface, xAxisView, Axis::X, xPlan.ticks);
  DrawTickLabels(surface, main, Axis::Y, yPlan.ticks);
  if (residualPanel) DrawTickLabels(surface, residualView, Axis::Y, rPlan.ticks);

  // Axis titles and the graph's title.
  const std::int32_t centreX = (plot.left + plot.right) / 2;
  // Titles longer than their room are cut short, and kept on the page.
  const std::int32_t pageRoom = std::max(1, pageWidth - 2 * kMargin);
  const auto fitted = [&](const std::string& label, int powerOfTen, std::int32_t room) {
    const std::int32_t excess = MeasureAxisTitle(surface, TitleOf(label, powerOfTen), label).width - room;
    if (excess <= 0) return label;
    const std::int32_t width = surface.MeasureStyledText(label, Style(kLabelPoints)).width;
    return Elide(surface, label, std::max(0, width - excess), Style(kLabelPoints));
  };
  const auto onPage = [&](std::int32_t centre, std::int32_t width) {
    return std::clamp(centre - width / 2, page.left + kMargin, std::max(page.left + kMargin, page.right - kMargin - width));
  };
  const int xPower = main.logX ? 0 : xPlan.ticks.powerOfTen;
  const std::string xLabel = fitted(graph.xLabel, xPower, pageRoom);
  const AxisTitle xTitle = TitleOf(xLabel, xPower);
  if (!xTitle.empty()) {
    const TextExtent e = MeasureAxisTitle(surface, xTitle, xLabel);
    const std::int32_t y = xAxisView.plotRect.bottom - xTickLabelTop - xTickHeight - kGap;
    DrawAxisTitle(surface, {onPage(centreX, e.width), y}, xTitle, xLabel, false);
  }
  const auto drawYTitle = [&](const std::string& fullLabel, int powerOfTen, const DeviceRect& panel) {
    const std::string label = fitted(fullLabel, powerOfTen, std::max(1, panel.top - panel.bottom));
    const AxisTitle title = TitleOf(label, powerOfTen);
    if (title.empty()) return;
    const TextExtent e = MeasureAxisTitle(surface, title, label);
    const std::int32_t middle = (panel.top + panel.bottom) / 2;
    DrawAxisTitle(surface, {page.left + kMargin, middle + e.width / 2}, title, label, true);
  };
  drawYTitle(graph.yLabel, yPlan.ticks.powerOfTen, plot);
  if (residualPanel) drawYTitle("Residual", rPlan.ticks.powerOfTen, residualView.plotRect);
  if (!graph.title.empty()) {
    const std::string title = Elide(surface, graph.title, pageRoom, Style(kTitlePoints));
    const TextExtent e = surface.MeasureStyledText(title, Style(kTitlePoints));
    surface.DrawStyledText({onPage(centreX, e.width), page.top - kMargin}, title, Style(kTitlePoints));
  }

  // Zero lines under the data.
  if (graph.showZeroLines) {
    PenScope grey(surface, kZeroLineGrey);
    std::vector<DeviceSegment> zero;
    if (!main.logY && main.range.yMin < 0.0 && 0.0 < main.range.yMax)
      zero.push_back({{plot.left, main.DataToDeviceY(0.0)}, {plot.right, main.DataToDeviceY(0.0)}});
    if (!main.logX && main.range.xMin < 0.0 && 0.0 < main.range.xMax)
      zero.push_back({{main.DataToDeviceX(0.0), plot.bottom}, {main.DataToDeviceX(0.0), plot.top}});
    if (!zero.empty()) surface.DrawSegments(zero);
  }
  if (residualPanel) {
    PenScope grey(surface, kZeroLineGrey);
    const std::int32_t y0 = residualView.DataToDeviceY(0.0);
    surface.DrawLine({plot.left, y0}, {plot.right, y0});
  }

  // The data, then the fits over it.
  const DrawContext context{surface, graph, main, doc.cursorX, doc.cursorY, options};
  int hidden = 0;
  // A sample every few device units: finer steps only show the rounding
  // of device positions.
  const int samples = std::clamp((plot.right - plot.left) / 5, 100, 2000);
  for (size_t i = 0; i < doc.sets.size(); ++i) {
    const Data_Set* set = doc.sets[i].get();
    if (set == nullptr || set->ColumnCount() <= 1 || !set->active) continue;
    const Colour colour = PaperSetColour(set->color, i);
    const Drawable points = DrawablePoints(*set, main.logX, main.logY);
    hidden += points.hidden;
    const int n = points.n;
    const std::int64_t marker = std::int64_t{graph.showMarkers} * static_cast<std::int64_t>(i + 1);
    const double size = set->symbolSize * kMarkerScale;
    // A set with several points per device column draws as a band, where
    // smoothing shows nothing but costs much: it gets the classic thin,
    // aliased pen.
    const bool dense = n > kDenseColumns * (plot.right - plot.left);
    surface.SetAntialiasing(!dense);
    surface.SetLineWidth(dense ? 1.0 : (set->connectLines ? kDataWidth : kFrameWidth) * kUnitsPerPoint);
    DrawSeries(context, points.x, points.y, n, size, marker, set->connectLines != 0, colour);
    surface.SetAntialiasing(true);
    surface.SetLineWidth(kTickWidth * kUnitsPerPoint);
    if (points.yErrors && graph.showYErrorBars)
      DrawErrorBars(context, points.x, points.y, points.yErrors, points.yErrorCount, n, size, colour,
                    ErrorDirection::Vertical);
    if (points.xErrors && graph.showXErrorBars)
      DrawErrorBars(context, points.x, points.y, points.xErrors, points.xErrorCount, n, size, colour,
                    ErrorDirection::Horizontal);
    surface.SetLineWidth(kFitWidth * kUnitsPerPoint);
    for (const auto& fit : set->fits) {
      if (fit->hidden) continue;
      FitSampling sampling;
      sampling.samples = samples;
      sampling.visibleMin = main.range.xMin;
      sampling.visibleMax = main.range.xMax;
      sampling.logX = main.logX;
      const CurveSamples curve = SampleFitCurve(*fit, *set, sampling);
      const auto segments = CurveSegments(main, curve.x, curve.y);
      PenScope pen(surface, fit->colour);
      if (!segments.empty()) surface.DrawSegments(segments);
    }
  }
  if (residualPanel) {
    surface.SetLineWidth(kFrameWidth * kUnitsPerPoint);
    for (const auto& series : residuals) {
      Graph plain;  // residuals are never translated
      const DrawContext still{surface, plain, residualView, 0.0, 0.0, options};
      DrawSeries(still, series.x.data(), series.y.data(), static_cast<int>(series.x.size()), 0.5, 2, false,
                 series.colour);
    }
  }
  if (doc.scaledPreviewActive) {
    const Data_Set& preview = doc.scaledPreview;
    surface.SetLineWidth(kDataWidth * kUnitsPerPoint);
    const Drawable points = DrawablePoints(preview, main.logX, main.logY);
    DrawSeries(context, points.x, points.y, points.n, 0.0, 0, true, kPureRed);
  }

  // The legend last, over anything it could not avoid.
  if (legendBox) {
    DrawLegend(surface, legend, *legendBox);
    drawing.legend = legendBox;
  }
  surface.SetLineWidth(1.0);
  surface.SetAntialiasing(false);
  if (hidden > 0) drawing.note = kNonPositiveNote;
  return drawing;
}

}  // namespace zentrel
