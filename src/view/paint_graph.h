#pragma once
// The paint entry shared by window, printer and image export: axes first,
// then the document's data, in the viewport of the target.

#include <optional>
#include <string>

#include "model/graph.h"
#include "view/draw_graph.h"
#include "view/surface.h"
#include "view/viewport.h"

namespace zentrel {

class CZentrelDoc;

// A window or image of the given size in device units: the page runs from
// (0, 0) at its top-left corner down to (width, -height).
DeviceRect WindowPageRect(std::int32_t widthUnits, std::int32_t heightUnits);
// The printed page: the print placement in inches from the page's top-left
// corner.
DeviceRect PrintPageRect(const CZentrelDoc& doc);

// Draws the whole graph in black in the viewport (MakeViewport of the
// document and the target's page); the surface's pen is the same
// afterwards and the document is only read.
void PaintGraph(Surface& surface, const CZentrelDoc& doc, const Viewport& viewport, const DrawOptions& options = {});

// Draws the graph on a page in the options' style. The classic style lays
// out MakeViewport(doc, page) and paints as PaintGraph; the paper style
// lays out its own frame. Returns the main plot's viewport (for the mouse)
// and the drawing's status note (empty when it has none).
struct PaintedPage {
  Viewport viewport;
  std::string note;
  std::optional<DeviceRect> legend;  // the paper style's legend box, when drawn
};
PaintedPage PaintPage(Surface& surface, const CZentrelDoc& doc, const DeviceRect& page,
                      const DrawOptions& options = {});

}  // namespace zentrel
