#include "view/paper_legend.h"

#include <array>

namespace zentrel {

DeviceRect LegendBox(const DeviceRect& plot, TextExtent size, std::int32_t inset, LegendCorner corner) {
  const bool left = corner == LegendCorner::TopLeft || corner == LegendCorner::BottomLeft;
  const bool top = corner == LegendCorner::TopRight || corner == LegendCorner::TopLeft;
  DeviceRect box;
  box.left = left ? plot.left + inset : plot.right - inset - size.width;
  box.right = box.left + size.width;
  box.top = top ? plot.top - inset : plot.bottom + inset + size.height;
  box.bottom = box.top - size.height;
  return box;
}

LegendSpot QuietestCorner(const DeviceRect& plot, TextExtent size, std::int32_t inset,
                            std::span<const DevicePoint> points) {
  constexpr std::array corners{LegendCorner::TopRight, LegendCorner::TopLeft, LegendCorner::BottomRight,
                               LegendCorner::BottomLeft};
  std::array<std::size_t, 4> covered{};
  std::array<DeviceRect, 4> boxes{};
  for (size_t c = 0; c < corners.size(); ++c) boxes[c] = LegendBox(plot, size, inset, corners[c]);
  for (const DevicePoint p : points)
    for (size_t c = 0; c < corners.size(); ++c) {
      const DeviceRect& b = boxes[c];
      if (b.left <= p.x && p.x <= b.right && b.bottom <= p.y && p.y <= b.top) ++covered[c];
    }
  size_t best = 0;
  for (size_t c = 1; c < corners.size(); ++c)
    if (covered[c] < covered[best]) best = c;
  return {corners[best], covered[best]};
}

}  // namespace zentrel
