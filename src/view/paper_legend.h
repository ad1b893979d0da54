#pragma once
// Where the legend of the paper style goes: the corner of the plot whose
// box covers the fewest drawn points.

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/draw_preferences.h"
#include "model/graph.h"
#include "view/surface.h"

namespace zentrel {

enum class LegendCorner { TopRight, TopLeft, BottomRight, BottomLeft };

// The legend's box of the given size in a corner of the plot, `inset`
// units in from the frame.
DeviceRect LegendBox(const DeviceRect& plot, TextExtent size, std::int32_t inset, LegendCorner corner);

// The box with its top-left corner at `place` (fractions of the plot's
// width and height from its top-left corner), moved inside the plot where
// it would stick out.
DeviceRect PlacedLegendBox(const DeviceRect& plot, TextExtent size, const LegendPlace& place);
// The place of a box's top-left corner in the plot, as PlacedLegendBox reads it.
LegendPlace LegendPlaceOf(const DeviceRect& plot, DevicePoint topLeft);

// The corner whose box covers the fewest points, and how many; ties go to
// the first in the order top right, top left, bottom right, bottom left.
struct LegendSpot {
  LegendCorner corner;
  std::size_t covered;
};
LegendSpot QuietestCorner(const DeviceRect& plot, TextExtent size, std::int32_t inset,
                            std::span<const DevicePoint> points);

}  // namespace zentrel
