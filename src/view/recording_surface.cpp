#include "view/recording_surface.h"

#include <utility>

namespace zentrel {

namespace {

// Counts UTF-8 characters, not bytes: a measured label is as wide as what
// a reader sees.
int CharacterCount(std::string_view text) {
  int count = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

Colour RecordingSurface::SelectPen(Colour colour) { return std::exchange(pen_, colour); }

void RecordingSurface::add(Kind kind, DevicePoint a, DevicePoint b, std::string text) {
  items_.push_back(Item{kind, pen_, a, b, std::move(text)});
}

void RecordingSurface::DrawLine(DevicePoint from, DevicePoint to) {
  ++drawCalls_;
  add(Kind::Line, from, to);
}

void RecordingSurface::DrawSegments(std::span<const DeviceSegment> segments) {
  ++drawCalls_;
  for (const auto& s : segments) add(Kind::Line, s.from, s.to);
}

void RecordingSurface::DrawRectangles(std::span<const DeviceRect> rects) {
  ++drawCalls_;
  for (const auto& r : rects) add(Kind::Rectangle, {r.left, r.top}, {r.right, r.bottom});
}

void RecordingSurface::DrawEllipses(std::span<const DeviceRect> boxes) {
  ++drawCalls_;
  for (const auto& r : boxes) add(Kind::Ellipse, {r.left, r.top}, {r.right, r.bottom});
}

void RecordingSurface::DrawText(DevicePoint topLeft, std::string_view text) {
  ++drawCalls_;
  add(Kind::Text, topLeft, topLeft, std::string(text));
}

TextExtent RecordingSurface::MeasureText(std::string_view text) {
  return {CharacterCount(text) * charWidth_, lineHeight_};
}

TextExtent RecordingSurface::MeasureStyledText(std::string_view text, const TextStyle& style) {
  const double scale = style.points / 12.0;
  return {static_cast<std::int32_t>(CharacterCount(text) * charWidth_ * scale + 0.5),
          static_cast<std::int32_t>(lineHeight_ * scale + 0.5)};
}

void RecordingSurface::DrawStyledText(DevicePoint topLeft, std::string_view text, const TextStyle& style) {
  ++drawCalls_;
  const TextExtent extent = MeasureStyledText(text, style);
  const std::int32_t across = style.upward ? extent.height : extent.width;
  const std::int32_t down = style.upward ? extent.width : extent.height;
  add(Kind::Text, topLeft, {topLeft.x + across, topLeft.y - down}, std::string(text));
}

std::vector<RecordingSurface::Item> RecordingSurface::itemsOfKind(Kind kind) const {
  std::vector<Item> out;
  for (const auto& item : items_)
    if (item.kind == kind) out.push_back(item);
  return out;
}

std::vector<std::string> RecordingSurface::texts() const {
  std::vector<std::string> out;
  for (const auto& item : items_)
    if (item.kind == Kind::Text) out.push_back(item.text);
  return out;
}

std::vector<DeviceSegment> RecordingSurface::lines(Colour pen) const {
  std::vector<DeviceSegment> out;
  for (const auto& item : items_)
    if (item.kind == Kind::Line && item.pen == pen) out.push_back({item.a, item.b});
  return out;
}

void RecordingSurface::clear() {
  items_.clear();
  drawCalls_ = 0;
}

}  // namespace zentrel
