#pragma once
// Where the legend of the paper style goes: the corner of the plot whose
// box covers the fewest drawn points.

#include <cstddef>
#include <cstdint>
#include <span>

#include "model/graph.h"
#include "view/surface.h"

namespace zentrel {

enum class LegendCorner { TopRight, TopLeft, BottomRight, BottomLeft };

// The legend's box of the given size in a corner of the plot, `inset`
// units in from the frame.
DeviceRect LegendBox(const DeviceRect& plot, TextExtent size, std::int32_t inset, LegendCorner corner);

// The corner whose box covers the fewest points, and how many; ties go to
// the first in the order top right, top left, bottom right, bottom left.
struct LegendSpot {
  LegendCorner corner;
  std::size_t covered;
};
LegendSpot QuietestCorner(const DeviceRect& plot, TextExtent size, std::int32_t inset,
                            std::span<const DevicePoint> points);

}  // namespace zentrel
