#include "view/paper_text.h"

namespace zentrel {

namespace {

TextStyle ExponentStyle(const TextStyle& style) {
  TextStyle small = style;
  small.points = style.points * 0.7;
  return small;
}

struct RaisedParts {
  TextExtent base;
  TextExtent exponent;  // zero when there is none
  std::int32_t rise = 0;
};

RaisedParts Parts(Surface& surface, RaisedText text, const TextStyle& style) {
  RaisedParts parts;
  parts.base = surface.MeasureStyledText(text.text, style);
  if (!text.superscript.empty()) {
    parts.exponent = surface.MeasureStyledText(text.superscript, ExponentStyle(style));
    // The exponent's middle sits level with the top of the line.
    parts.rise = parts.exponent.height / 2;
  }
  return parts;
}

}  // namespace

TextExtent MeasureRaised(Surface& surface, RaisedText text, const TextStyle& style) {
  const RaisedParts parts = Parts(surface, text, style);
  return {parts.base.width + parts.exponent.width, parts.base.height + parts.rise};
}

void DrawRaised(Surface& surface, DevicePoint topLeft, RaisedText text, const TextStyle& style) {
  const RaisedParts parts = Parts(surface, text, style);
  const TextStyle small = ExponentStyle(style);
  if (!style.upward) {
    surface.DrawStyledText({topLeft.x, topLeft.y - parts.rise}, text.text, style);
    if (!text.superscript.empty())
      surface.DrawStyledText({topLeft.x + parts.base.width, topLeft.y}, text.superscript, small);
    return;
  }
  // Reading upward the line starts at the box's bottom; "above the line"
  // is to the left.
  const std::int32_t bottom = topLeft.y - (parts.base.width + parts.exponent.width);
  surface.DrawStyledText({topLeft.x + parts.rise, bottom + parts.base.width}, text.text, style);
  if (!text.superscript.empty())
    surface.DrawStyledText({topLeft.x, bottom + parts.base.width + parts.exponent.width}, text.superscript, small);
}

}  // namespace zentrel
