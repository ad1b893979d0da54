// Commands that change what is visible: ranges and display switches.

#include <algorithm>

#include "app/commands/bindings.h"
#include "app/commands/handlers.h"
#include "app/ui.h"
#include "model/document.h"
#include "model/fit.h"
#include "model/autoscale.h"

namespace zentrel {

void OnAutoscale(CZentrelDoc& doc, Ui& ui) {
  Autoscale(doc);
  doc.statusText = "Graph Autoscaled";
  ui.redraw();
}

void OnZoom(CZentrelDoc& doc, Ui& ui) {
  Graph& g = doc.graph;
  const double dx = g.xMax - g.xMin;
  const double dy = g.yMax - g.yMin;
  const bool xEqual = doc.selectionX1 == doc.selectionX2;
  const bool yEqual = doc.selectionY1 == doc.selectionY2;
  if (xEqual && yEqual) {
    // Twofold about the cursor.
    const double cx = doc.cursorX, cy = doc.cursorY;
    g.SetRange(cx - dx / 4, cy - dy / 4, cx + dx / 4, cy + dy / 4);
  } else if (xEqual) {
    // The unchanged direction is recomputed as its centre +- half the extent.
    const double cy = (g.yMin + g.yMax) / 2;
    g.SetRange(doc.selectionX1 - dx / 4, cy - dy / 2, doc.selectionX1 + dx / 4, cy + dy / 2);
  } else if (yEqual) {
    const double cx = (g.xMin + g.xMax) / 2;
    g.SetRange(cx - dx / 2, doc.selectionY1 - dy / 4, cx + dx / 2, doc.selectionY1 + dy / 4);
  } else {
    const double x1 = std::min(doc.selectionX1, doc.selectionX2), x2 = std::max(doc.selectionX1, doc.selectionX2);
    const double y1 = std::min(doc.selectionY1, doc.selectionY2), y2 = std::max(doc.selectionY1, doc.selectionY2);
    if (x2 - x1 != 0.0 && y2 - y1 != 0.0) g.SetRange(x1, y1, x2, y2);
  }
  ui.redraw();
}

void OnUnzoom(CZentrelDoc& doc, Ui& ui) {
  doc.graph.SwapRanges();
  ui.redraw();
}

namespace {

void Toggle(CZentrelDoc& doc, Ui& ui, std::int32_t Graph::*flag) {
  doc.graph.*flag = !(doc.graph.*flag);
  ui.redraw();
}

}  // namespace

void OnShowPointMarkers(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::showMarkers); }
void OnShowFitEquations(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::showFitEquations); }
void OnShowYErrorBars(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::showYErrorBars); }
void OnShowXErrorBars(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::showXErrorBars); }
void OnPolarPlot(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::polar); }
void OnUseRadians(CZentrelDoc& doc, Ui& ui) { Toggle(doc, ui, &Graph::radians); }

void OnUseAxisAbbreviations(CZentrelDoc& doc, Ui&) {
  // Shows at the next repaint; no redraw of its own.
  doc.useAbbreviations = !doc.useAbbreviations;
}

void OnShowZeroLines(CZentrelDoc& doc, Ui& ui) {
  doc.graph.showZeroLines = !doc.graph.showZeroLines;
  doc.statusText = doc.graph.showZeroLines ? "Zero lines on" : "Zero lines off";
  ui.redraw();
}

void OnDrawResiduals(CZentrelDoc& doc, Ui& ui) {
  doc.graph.showResiduals = !doc.graph.showResiduals;
  doc.graph.residualScale = 1.0;
  int visibleFits = 0;
  for (const auto& set : doc.sets)
    if (set->active)
      for (const auto& fit : set->fits) visibleFits += fit->hidden ? 0 : 1;
  if (visibleFits > 0) ui.redraw();
}

void OnEnlargeResidual(CZentrelDoc& doc, Ui& ui) {
  doc.graph.residualScale += 1.0;
  ui.redraw();
}

void OnShrinkResidual(CZentrelDoc& doc, Ui& ui) {
  if (doc.graph.residualScale > 1.0) doc.graph.residualScale -= 1.0;
  ui.redraw();
}

void OnLogXAxis(CZentrelDoc& doc, Ui& ui) {
  doc.graph.logX = !doc.graph.logX;
  if (doc.graph.logX && doc.graph.xMin <= 0.0) Autoscale(doc);
  ui.redraw();
}

void OnLogYAxis(CZentrelDoc& doc, Ui& ui) {
  doc.graph.logY = !doc.graph.logY;
  if (doc.graph.logY && doc.graph.yMin <= 0.0) Autoscale(doc);
  ui.redraw();
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

std::span<const CommandBinding> ViewCommandBindings() {
  static const CommandBinding bindings[] = {
      {32777, &OnAutoscale},
      {32778, &OnZoom},
      {32809, &OnUnzoom},
      {32781, &OnShowPointMarkers, &ShowingMarkers},
      {32871, &OnUseAxisAbbreviations, &UsingAbbreviations},
      {32796, &OnShowZeroLines, &ShowingZeroLines},
      {32823, &OnShowFitEquations, &ShowingFitEquations},
      {32824, &OnShowYErrorBars, &ShowingYErrorBars},
      {32825, &OnShowXErrorBars, &ShowingXErrorBars},
      {32791, &OnDrawResiduals, &ShowingResiduals},
      {32794, &OnShrinkResidual},
      {32793, &OnEnlargeResidual},
      {32775, &OnLogXAxis, &LogX},
      {32782, &OnLogYAxis, &LogY},
      {32836, &OnPolarPlot, &Polar},
      {32838, &OnUseRadians, &Radians},
  };
  return bindings;
}

}  // namespace zentrel
