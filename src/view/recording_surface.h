#pragma once
// A Surface that remembers what was drawn instead of drawing it: tests read
// back device coordinates, colours and texts. Text is measured with a fixed
// advance per character, so layouts that depend on widths are predictable.

#include <cstddef>
#include <string>
#include <vector>

#include "view/surface.h"

namespace zentrel {

class RecordingSurface : public Surface {
 public:
  enum class Kind { Line, Rectangle, Ellipse, Text };

  struct Item {
    Kind kind = Kind::Line;
    Colour pen = kBlack;
    DevicePoint a;  // line start, rectangle/ellipse (left, top), text top-left
    DevicePoint b;  // line end, rectangle/ellipse (right, bottom), styled text's bottom-right
    std::string text;
  };

  explicit RecordingSurface(int charWidth = 8, int lineHeight = 16) : charWidth_(charWidth), lineHeight_(lineHeight) {}

  Colour SelectPen(Colour colour) override;
  Colour CurrentPen() const override { return pen_; }
  void DrawLine(DevicePoint from, DevicePoint to) override;
  void DrawSegments(std::span<const DeviceSegment> segments) override;
  void DrawRectangles(std::span<const DeviceRect> rects) override;
  void DrawEllipses(std::span<const DeviceRect> boxes) override;
  void DrawText(DevicePoint topLeft, std::string_view text) override;
  TextExtent MeasureText(std::string_view text) override;
  // Styled text scales the fixed advance and height by points / 12.
  void DrawStyledText(DevicePoint topLeft, std::string_view text, const TextStyle& style) override;
  TextExtent MeasureStyledText(std::string_view text, const TextStyle& style) override;

  // Everything drawn, in order; batches are split into single items.
  const std::vector<Item>& items() const { return items_; }
  std::vector<Item> itemsOfKind(Kind kind) const;
  std::vector<std::string> texts() const;
  // Lines drawn in one colour, in order.
  std::vector<DeviceSegment> lines(Colour pen) const;
  // Number of calls that reached the surface (a batch counts once).
  std::size_t drawCalls() const { return drawCalls_; }
  void clear();

 private:
  void add(Kind kind, DevicePoint a, DevicePoint b, std::string text = {});

  int charWidth_;
  int lineHeight_;
  Colour pen_ = kBlack;
  std::vector<Item> items_;
  std::size_t drawCalls_ = 0;
};

}  // namespace zentrel
