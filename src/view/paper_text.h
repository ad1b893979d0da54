#pragma once
// Text of the paper style: a line with an optional raised exponent after
// it ("x10" then a small "3"), measured and drawn as one box, level or
// reading upward.

#include <string_view>

#include "view/surface.h"

namespace zentrel {

struct RaisedText {
  std::string_view text;
  std::string_view superscript;  // empty: none
};

// The box the text covers, along the reading direction (width) and across
// it (height, the exponent's rise included).
TextExtent MeasureRaised(Surface& surface, RaisedText text, const TextStyle& style);

// Draws it with its box's top-left corner at topLeft (for upward text, the
// box is the extent's height wide and its width tall).
void DrawRaised(Surface& surface, DevicePoint topLeft, RaisedText text, const TextStyle& style);

}  // namespace zentrel
