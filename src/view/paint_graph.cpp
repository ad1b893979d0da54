#include "view/paint_graph.h"

#include "model/document.h"
#include "view/axes.h"
#include "view/paper_graph.h"

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

PaintedPage PaintPage(Surface& surface, const CZentrelDoc& doc, const DeviceRect& page, const DrawOptions& options) {
  // A polar graph has no axes to tick: it keeps the classic drawing.
  if (options.style == DrawStyle::Paper && !doc.graph.polar) {
    PaperDrawing drawing = DrawPaperGraph(surface, doc, page, options);
    return {drawing.viewport, std::move(drawing.note), drawing.legend};
  }
  const Viewport viewport = MakeViewport(doc, page);
  PaintGraph(surface, doc, viewport, options);
  return {viewport, {}, std::nullopt};
}

}  // namespace zentrel
