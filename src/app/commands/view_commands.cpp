// Commands that change what is visible: ranges and display switches.

#include <algorithm>
#include <cmath>

#include "app/commands/bindings.h"
#include "app/commands/handlers.h"
#include "app/ui.h"
#include "model/document.h"
#include "model/fit.h"

namespace zentrel {

CommandOutcome OnAutoscale(CZentrelDoc&, Ui&) { return Outcome::Autoscale().Status("Graph Autoscaled").Redraw(); }

namespace {

// Stores a zoomed range only when all of it is finite: a zoom about a
// point or over an extent that is not a number would leave a graph that
// shows nothing.
void SetFiniteRange(Graph& graph, double xLo, double yLo, double xHi, double yHi) {
  for (double v : {xLo, yLo, xHi, yHi, xHi - xLo, yHi - yLo})
    if (!std::isfinite(v)) return;
  graph.SetRange(xLo, yLo, xHi, yHi);
}

}  // namespace

CommandOutcome OnZoom(CZentrelDoc& doc, Ui&) {
  Graph& g = doc.graph;
  const double dx = g.xMax - g.xMin;
  const double dy = g.yMax - g.yMin;
  const bool xEqual = doc.selectionX1 == doc.selectionX2;
  const bool yEqual = doc.selectionY1 == doc.selectionY2;
  if (xEqual && yEqual) {
    // Twofold about the cursor.
    const double cx = doc.cursorX, cy = doc.cursorY;
    SetFiniteRange(g, cx - dx / 4, cy - dy / 4, cx + dx / 4, cy + dy / 4);
  } else if (xEqual) {
    // The unchanged direction is recomputed as its centre +- half the extent.
    const double cy = (g.yMin + g.yMax) / 2;
    SetFiniteRange(g, doc.selectionX1 - dx / 4, cy - dy / 2, doc.selectionX1 + dx / 4, cy + dy / 2);
  } else if (yEqual) {
    const double cx = (g.xMin + g.xMax) / 2;
    SetFiniteRange(g, cx - dx / 2, doc.selectionY1 - dy / 4, cx + dx / 2, doc.selectionY1 + dy / 4);
  } else {
    const double x1 = std::min(doc.selectionX1, doc.selectionX2), x2 = std::max(doc.selectionX1, doc.selectionX2);
    const double y1 = std::min(doc.selectionY1, doc.selectionY2), y2 = std::max(doc.selectionY1, doc.selectionY2);
    if (x2 - x1 != 0.0 && y2 - y1 != 0.0) SetFiniteRange(g, x1, y1, x2, y2);
  }
  return Outcome::Redraw();
}

CommandOutcome OnUnzoom(CZentrelDoc& doc, Ui&) {
  doc.graph.Unzoom();
  return Outcome::Redraw();
}

namespace {

CommandOutcome Toggle(CZentrelDoc& doc, std::int32_t Graph::*flag) {
  doc.graph.*flag = !(doc.graph.*flag);
  return Outcome::Redraw();
}

}  // namespace

CommandOutcome OnShowPointMarkers(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::showMarkers); }
CommandOutcome OnShowFitEquations(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::showFitEquations); }
CommandOutcome OnShowYErrorBars(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::showYErrorBars); }
CommandOutcome OnShowXErrorBars(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::showXErrorBars); }
CommandOutcome OnPolarPlot(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::polar); }
CommandOutcome OnUseRadians(CZentrelDoc& doc, Ui&) { return Toggle(doc, &Graph::radians); }

// The drawing style and the legend are the window's settings, not the
// graph's: switching them redraws but leaves the document unmodified.
CommandOutcome OnPaperStyle(CZentrelDoc& doc, Ui&) {
  DrawStyle& style = doc.drawPreferences.style;
  style = style == DrawStyle::Paper ? DrawStyle::Classic : DrawStyle::Paper;
  return Outcome::Redraw();
}

CommandOutcome OnShowLegend(CZentrelDoc& doc, Ui&) {
  doc.drawPreferences.showLegend = !doc.drawPreferences.showLegend;
  return Outcome::Redraw();
}

CommandOutcome OnUseAxisAbbreviations(CZentrelDoc& doc, Ui&) {
  // Shows at the next repaint; no redraw of its own.
  doc.useAbbreviations = !doc.useAbbreviations;
  return {};
}

CommandOutcome OnShowZeroLines(CZentrelDoc& doc, Ui&) {
  doc.graph.showZeroLines = !doc.graph.showZeroLines;
  return Outcome::Status(doc.graph.showZeroLines ? "Zero lines on" : "Zero lines off").Redraw();
}

CommandOutcome OnDrawResiduals(CZentrelDoc& doc, Ui&) {
  doc.graph.showResiduals = !doc.graph.showResiduals;
  doc.graph.residualScale = 1.0;
  int visibleFits = 0;
  for (const auto& set : doc.sets)
    if (set->active)
      for (const auto& fit : set->fits) visibleFits += fit->hidden ? 0 : 1;
  if (visibleFits > 0) return Outcome::Redraw();
  return {};
}

CommandOutcome OnEnlargeResidual(CZentrelDoc& doc, Ui&) {
  doc.graph.residualScale += 1.0;
  return Outcome::Redraw();
}

CommandOutcome OnShrinkResidual(CZentrelDoc& doc, Ui&) {
  if (doc.graph.residualScale > 1.0) doc.graph.residualScale -= 1.0;
  return Outcome::Redraw();
}

CommandOutcome OnLogXAxis(CZentrelDoc& doc, Ui&) {
  doc.graph.logX = !doc.graph.logX;
  CommandOutcome outcome = Outcome::Redraw();
  outcome.autoscale = doc.graph.logX && doc.graph.xMin <= 0.0;
  return outcome;
}

CommandOutcome OnLogYAxis(CZentrelDoc& doc, Ui&) {
  doc.graph.logY = !doc.graph.logY;
  CommandOutcome outcome = Outcome::Redraw();
  outcome.autoscale = doc.graph.logY && doc.graph.yMin <= 0.0;
  return outcome;
}

bool ShowingMarkers(const CZentrelDoc& doc) { return doc.graph.showMarkers != 0; }
bool UsingAbbreviations(const CZentrelDoc& doc) { return doc.useAbbreviations != 0; }
bool ShowingZeroLines(const CZentrelDoc& doc) { return doc.graph.showZeroLines != 0; }
bool ShowingFitEquations(const CZentrelDoc& doc) { return doc.graph.showFitEquations != 0; }
bool ShowingYErrorBars(const CZentrelDoc& doc) { return doc.graph.showYErrorBars != 0; }
bool ShowingXErrorBars(const CZentrelDoc& doc) { return doc.graph.showXErrorBars != 0; }
bool ShowingResiduals(const CZentrelDoc& doc) { return doc.graph.showResiduals != 0; }
bool LogX(const CZentrelDoc& doc) { return doc.graph.logX != 0; }
bool LogY(const CZentrelDoc& doc) { return doc.graph.logY != 0; }
bool Polar(const CZentrelDoc& doc) { return doc.graph.polar != 0; }
bool Radians(const CZentrelDoc& doc) { return doc.graph.radians != 0; }
bool PaperStyle(const CZentrelDoc& doc) { return doc.drawPreferences.style == DrawStyle::Paper; }
bool ShowingLegend(const CZentrelDoc& doc) { return doc.drawPreferences.showLegend; }

std::span<const CommandBinding> ViewCommandBindings() {
  static const CommandBinding bindings[] = {
      {Cmd::Autoscale, &OnAutoscale},
      {Cmd::Zoom, &OnZoom},
      {Cmd::Unzoom, &OnUnzoom},
      {Cmd::ShowPointMarkers, &OnShowPointMarkers, &ShowingMarkers},
      {Cmd::UseAxisAbbreviations, &OnUseAxisAbbreviations, &UsingAbbreviations},
      {Cmd::ShowZeroLines, &OnShowZeroLines, &ShowingZeroLines},
      {Cmd::ShowFitEquations, &OnShowFitEquations, &ShowingFitEquations},
      {Cmd::ShowYErrorBars, &OnShowYErrorBars, &ShowingYErrorBars},
      {Cmd::ShowXErrorBars, &OnShowXErrorBars, &ShowingXErrorBars},
      {Cmd::DrawResiduals, &OnDrawResiduals, &ShowingResiduals},
      {Cmd::ShrinkResidual, &OnShrinkResidual},
      {Cmd::EnlargeResidual, &OnEnlargeResidual},
      {Cmd::LogXAxis, &OnLogXAxis, &LogX},
      {Cmd::LogYAxis, &OnLogYAxis, &LogY},
      {Cmd::PolarPlot, &OnPolarPlot, &Polar},
      {Cmd::UseRadians, &OnUseRadians, &Radians},
      {Cmd::PaperStyle, &OnPaperStyle, &PaperStyle},
      {Cmd::ShowLegend, &OnShowLegend, &ShowingLegend},
  };
  return bindings;
}

}  // namespace zentrel
