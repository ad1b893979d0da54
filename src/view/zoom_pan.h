#pragma once
// The ranges the mouse wheel and a pan drag show, worked out on the
// viewport of the last drawing: a wheel zoom keeps the data under the
// cursor where it is, a pan moves the data with the cursor. Logarithmic
// axes zoom and pan in decades, so the picture behaves alike on both.

#include <optional>

#include "model/graph.h"
#include "view/viewport.h"

namespace zentrel {

// The wheel: each notch shows this fraction of the range (or its inverse
// when turned the other way).
inline constexpr double kWheelZoomStep = 0.8;

// The range that shows `factor` times the current extent on each axis
// (below 1 zooms in) with the data at device position (x, y) staying at
// that position. Nothing when the result could not be drawn: an axis of no
// length, or an extent too small for doubles to tell its ends apart, or
// too large to hold.
std::optional<DataRange> ZoomedAbout(const Viewport& viewport, double deviceX, double deviceY, double factor);

// The range that moves what was drawn at `from` to `to` (device units).
// Nothing when the plot has no size or the result cannot be held.
std::optional<DataRange> PannedBy(const Viewport& viewport, DevicePoint from, DevicePoint to);

}  // namespace zentrel
