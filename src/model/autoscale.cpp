#include "model/autoscale.h"

#include <algorithm>
#include <cmath>

#include "model/document.h"

namespace zentrel {

void Autoscale(CZentrelDoc& doc) {
  Graph& graph = doc.graph;
  double xLo = 0.0, xHi = 0.0, yLo = 0.0, yHi = 0.0;
  bool first = true;
  for (const auto& set : doc.sets) {
    if (!set || set->ColumnCount() <= 1 || !set->active) continue;
    if (first) {
      first = false;
      xLo = xHi = set->GetValue(0, 0);
      yLo = yHi = set->GetValue(1, 0);
      if (graph.logX && xLo <= 0.0) xLo = 1.0;
      if (graph.logY && yLo <= 0.0) yLo = 1.0;
    }
    xLo = std::min(xLo, graph.logX ? set->NextAbove(0, 0.0) : set->ColumnMin(0));
    xHi = std::max(xHi, set->ColumnMax(0));
    yLo = std::min(yLo, graph.logY ? set->NextAbove(1, 0.0) : set->ColumnMin(1));
    yHi = std::max(yHi, set->ColumnMax(1));
  }
  if (graph.polar) {
    const double radius = std::max(std::fabs(yLo), std::fabs(yHi));
    xLo = yLo = -radius;
    xHi = yHi = radius;
  }
  if (xHi == xLo) xHi += 1.0;
  if (yHi == yLo) yHi += 1.0;
  if (!graph.logX) {
    const double d = xHi - xLo;
    xHi += 0.05 * d;
    xLo -= 0.05 * d;
  }
  if (!graph.logY) {
    const double d = yHi - yLo;
    yHi += 0.05 * d;
    yLo -= 0.05 * d;
  }
  doc.selectionX1 = doc.selectionX2 = (xLo + xHi) / 2.0;
  doc.selectionY1 = doc.selectionY2 = (yLo + yHi) / 2.0;
  graph.SetRange(xLo, yLo, xHi, yHi);
}

}  // namespace zentrel
