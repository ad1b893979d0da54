#pragma once
// The plot frame and what surrounds it: ticks and their labels, title and
// axis labels, or the grey polar grid; and lines clipped to the frame.

#include <optional>

#include "model/graph.h"
#include "view/surface.h"

namespace zentrel {

// Stores the page, lays out the plot rectangle and draws the axes (or, in
// polar mode, only the polar grid) with the surface's current pen.
void DrawAxes(Surface& surface, Graph& graph, const DeviceRect& page, bool useAbbreviations);

// The part of a line inside the plot rectangle (Liang-Barsky); none when it
// misses the plot. A line with both ends inside comes back unchanged.
std::optional<DeviceSegment> ClipToPlot(const Graph& graph, DevicePoint from, DevicePoint to);
void DrawClippedLine(Surface& surface, const Graph& graph, DevicePoint from, DevicePoint to);

}  // namespace zentrel
