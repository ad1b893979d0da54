#include "view/paper_legend.h"

#include <algorithm>
#include <array>
#include <cmath>

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

DeviceRect PlacedLegendBox(const DeviceRect& plot, TextExtent size, const LegendPlace& place) {
  const double width = plot.right - plot.left, height = plot.top - plot.bottom;
  const double wantedLeft = plot.left + place.left * width;
  const double wantedTop = plot.top - place.top * height;
  // Within the plot; a box larger than the plot keeps its top-left corner there.
  const double left = std::max<double>(plot.left, std::min<double>(wantedLeft, plot.right - size.width));
  const double top = std::min<double>(plot.top, std::max<double>(wantedTop, plot.bottom + size.height));
  DeviceRect box;
  box.left = static_cast<std::int32_t>(std::lround(std::isfinite(left) ? left : plot.left));
  box.top = static_cast<std::int32_t>(std::lround(std::isfinite(top) ? top : plot.top));
  box.right = box.left + size.width;
  box.bottom = box.top - size.height;
  return box;
}

LegendPlace LegendPlaceOf(const DeviceRect& plot, DevicePoint topLeft) {
  const double width = std::max(1, plot.right - plot.left), height = std::max(1, plot.top - plot.bottom);
  return {(topLeft.x - plot.left) / width, (plot.top - topLeft.y) / height};
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
