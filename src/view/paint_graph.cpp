#include "view/paint_graph.h"

#include "model/document.h"
#include "view/axes.h"

namespace zentrel {

DeviceRect WindowPageRect(std::int32_t widthUnits, std::int32_t heightUnits) {
  return {0, 0, widthUnits, -heightUnits};
}

DeviceRect PrintPageRect(const CZentrelDoc& doc) {
  return {ToDevice(doc.printXMin * 100.0), ToDevice(-doc.printYMin * 100.0), ToDevice(doc.printXMax * 100.0),
          ToDevice(-doc.printYMax * 100.0)};
}

void PaintGraph(Surface& surface, const CZentrelDoc& doc, const Viewport& viewport, const DrawOptions& options) {
  PenScope pen(surface, kBlack);
  DrawAxes(surface, doc.graph, viewport, doc.useAbbreviations != 0);
  DrawGraph(surface, doc, viewport, options);
}

}  // namespace zentrel
