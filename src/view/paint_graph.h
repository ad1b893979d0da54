#pragma once
// The paint entry shared by window, printer and image export: axes first,
// then the document's data, on the page rectangle of the target.

#include "model/graph.h"
#include "view/draw_graph.h"
#include "view/surface.h"

namespace zentrel {

class CZentrelDoc;

// A window or image of the given size in device units: the page runs from
// (0, 0) at its top-left corner down to (width, -height).
DeviceRect WindowPageRect(std::int32_t widthUnits, std::int32_t heightUnits);
// The printed page: the print placement in inches from the page's top-left
// corner.
DeviceRect PrintPageRect(const CZentrelDoc& doc);

// Draws the whole graph in black on the page; the surface's pen is the same
// afterwards.
void PaintGraph(Surface& surface, CZentrelDoc& doc, const DeviceRect& page, const DrawOptions& options = {});

}  // namespace zentrel
