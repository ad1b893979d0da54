#pragma once
// The plot frame and what surrounds it: ticks and their labels, title and
// axis labels, or the grey polar grid; and lines clipped to the frame.

#include <optional>

#include "model/graph.h"
#include "view/surface.h"
#include "view/viewport.h"

namespace zentrel {

// Draws the axes of the viewport's plot rectangle (or, in polar mode, only
// the polar grid) with the surface's current pen; texts and the tick rule
// come from the graph's settings.
void DrawAxes(Surface& surface, const Graph& graph, const Viewport& viewport, bool useAbbreviations);

// The part of a line inside the plot rectangle (Liang-Barsky); none when it
// misses the plot. A line with both ends inside comes back unchanged.
std::optional<DeviceSegment> ClipToPlot(const Viewport& viewport, DevicePoint from, DevicePoint to);
void DrawClippedLine(Surface& surface, const Viewport& viewport, DevicePoint from, DevicePoint to);

}  // namespace zentrel
